#pragma once
#include <QString>
#include <QtGlobal>

namespace browser {

// One row: what the lister learns with one lstat (+ stat for a link's target
// kind). Kept small: a folder of 100,000 files holds 100,000 of these.
struct FileEntry {
    QString name;
    qint64 size = 0;
    qint64 mtimeMs = 0;
    bool isDir = false;
    bool isSymLink = false;
    bool isHidden = false;
};

} // namespace browser
