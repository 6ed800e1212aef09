#include "app/splitter_positions.h"

#include <QSettings>
#include <QStringList>

namespace app {

namespace {

// Wider than any screen: a value beyond it was not written by the program.
constexpr int kMaximumWidth = 100000;

QString Key(Face face)
{
    return face == Face::Administrator ? QStringLiteral("Splitter/AdministratorView")
                                       : QStringLiteral("Splitter/UserView");
}

} // namespace

std::optional<QList<int>> LoadSplitterSizes(QSettings& settings, Face face, int count)
{
    const QStringList words = settings.value(Key(face)).toString().split(QLatin1Char(','));
    if (words.size() != count)
        return std::nullopt;
    QList<int> sizes;
    bool anyShown = false;
    for (const QString& word : words) {
        bool ok = false;
        const int size = word.trimmed().toInt(&ok);
        if (!ok || size < 0 || size > kMaximumWidth)
            return std::nullopt;
        anyShown = anyShown || size > 0;
        sizes << size;
    }
    if (!anyShown)
        return std::nullopt;
    return sizes;
}

void SaveSplitterSizes(QSettings& settings, Face face, const QList<int>& sizes)
{
    QStringList words;
    for (int size : sizes)
        words << QString::number(size);
    settings.setValue(Key(face), words.join(QLatin1Char(',')));
}

} // namespace app
