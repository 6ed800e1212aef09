#include "browser/type_lookup.h"

namespace browser {

QMimeType TypeLookup::typeOf(const FileEntry& entry)
{
    if (entry.isDir) {
        if (!m_folder.isValid())
            m_folder = m_db.mimeTypeForName(QStringLiteral("inode/directory"));
        return m_folder;
    }
    const qsizetype dot = entry.name.indexOf(QLatin1Char('.'), 1);
    const QString ending = dot < 0 ? entry.name : entry.name.mid(dot);
    auto it = m_byEnding.constFind(ending);
    if (it != m_byEnding.constEnd())
        return *it;
    QMimeType type = m_db.mimeTypeForFile(entry.name, QMimeDatabase::MatchExtension);
    m_byEnding.insert(ending, type);
    return type;
}

} // namespace browser
