#pragma once
#include <QList>
#include <QUrl>

class QMimeData;

// Files on the clipboard as desktop file managers put them there: file URLs,
// and whether they were cut or copied in the GNOME and KDE forms.
namespace browser {

struct ClipboardFiles {
    QStringList paths;  // local files only
    bool cut = false;
};

QMimeData* makeFileClipboard(const QStringList& paths, bool cut);
ClipboardFiles readFileClipboard(const QMimeData* data);

} // namespace browser
