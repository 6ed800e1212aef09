#include "browser/type_table.h"

namespace browser {

TypeTable::TypeTable() : m_types(1) {}

quint16 TypeTable::idFor(const FileEntry& entry)
{
    const TypeLookup::Type type = m_lookup.typeOf(entry);
    const QString name = type.mime.name();
    auto it = m_idByName.constFind(name);
    if (it != m_idByName.constEnd())
        return *it;
    if (m_types.size() > 0xffff)
        return 0;
    const auto id = quint16(m_types.size());
    m_types.push_back({type.mime, type.text, {}, entry.isDir});
    m_idByName.insert(name, id);
    return id;
}

QIcon TypeTable::icon(quint16 id)
{
    Type& type = m_types[id];
    if (type.icon.isNull()) {
        const QIcon fallback = m_provider.icon(type.isDir ? QFileIconProvider::Folder : QFileIconProvider::File);
        type.icon = type.mime.isValid()
            ? QIcon::fromTheme(type.mime.iconName(), QIcon::fromTheme(type.mime.genericIconName(), fallback))
            : fallback;
    }
    return type.icon;
}

} // namespace browser
