#pragma once
#include <QList>
#include <optional>

class QSettings;

namespace app {

// The splitter's column widths of each face, kept in the program's
// settings under "Splitter" so that the next start shows them again. The
// user face keeps its two visible columns (locations and browser) whichever
// frame shows it.
enum class Face { Administrator, User };

// The widths kept for the face, when there are exactly `count` sensible ones.
std::optional<QList<int>> LoadSplitterSizes(QSettings& settings, Face face, int count);
void SaveSplitterSizes(QSettings& settings, Face face, const QList<int>& sizes);

} // namespace app
