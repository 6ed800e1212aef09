#pragma once
#include <QString>
#include <QStringList>

class QSettings;

namespace app {

// The framework's list of recently opened files, kept in the program's
// settings under "Recent File List" as File1 (newest) to FileN.
class RecentFileList {
public:
    explicit RecentFileList(int size) : m_size(size) {}

    void Load(QSettings& settings);
    void Save(QSettings& settings) const;

    // Puts the path first; an entry already there moves up instead of
    // appearing twice, and the oldest falls off the end.
    void Add(const QString& path);
    const QStringList& Entries() const { return m_entries; }
    int Size() const { return m_size; }

private:
    int m_size;
    QStringList m_entries;
};

} // namespace app
