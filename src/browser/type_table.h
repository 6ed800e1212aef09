#pragma once
#include <vector>

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QMimeType>

#include "browser/type_lookup.h"

namespace browser {

// The types the rows of the shown folder have, each with its text and icon,
// so that a row keeps a two-byte number instead of its type. GUI thread only.
class TypeTable {
public:
    TypeTable();
    quint16 idFor(const FileEntry& entry);
    QString text(quint16 id) const { return m_types[id].text; }
    QString mimeName(quint16 id) const { return m_types[id].mime.name(); }
    QIcon icon(quint16 id);

private:
    struct Type {
        QMimeType mime;
        QString text;
        QIcon icon;
        bool isDir = false;
    };
    TypeLookup m_lookup;
    QFileIconProvider m_provider;
    std::vector<Type> m_types;
    QHash<QString, quint16> m_idByName;
};

} // namespace browser
