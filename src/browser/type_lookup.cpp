#include "browser/type_lookup.h"

namespace browser {

TypeLookup::Type TypeLookup::typeOf(const FileEntry& entry)
{
    if (entry.isDir) {
        if (!m_folder.mime.isValid()) {
            m_folder.mime = m_db.mimeTypeForName(QStringLiteral("inode/directory"));
            m_folder.text = m_folder.mime.comment();
        }
        return m_folder;
    }
    const qsizetype dot = entry.name.indexOf(QLatin1Char('.'), 1);
    const QString ending = dot < 0 ? entry.name : entry.name.mid(dot);
    auto it = m_byEnding.constFind(ending);
    if (it != m_byEnding.constEnd())
        return *it;
    Type type;
    type.mime = m_db.mimeTypeForFile(entry.name, QMimeDatabase::MatchExtension);
    type.text = type.mime.comment();
    m_byEnding.insert(ending, type);
    return type;
}

} // namespace browser
