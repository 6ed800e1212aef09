#pragma once
#include <QHash>
#include <QMimeDatabase>
#include <QMimeType>

#include "browser/file_entry.h"

namespace browser {

// The mime type of a row by its name alone (no content is read), with the
// text the Type column shows. A lookup costs about 15 microseconds and a
// type's text more, so both are kept per name ending: the text after the
// first dot, or the whole name when it has none. One per thread.
class TypeLookup {
public:
    struct Type {
        QMimeType mime;
        QString text;
    };
    Type typeOf(const FileEntry& entry);

private:
    QMimeDatabase m_db;
    QHash<QString, Type> m_byEnding;
    Type m_folder;
};

} // namespace browser
