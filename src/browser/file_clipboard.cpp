#include "browser/file_clipboard.h"

#include <QMimeData>

namespace browser {

namespace {

const QString kGnomeFormat = QStringLiteral("x-special/gnome-copied-files");
const QString kKdeCutFormat = QStringLiteral("application/x-kde-cutselection");

} // namespace

QMimeData* makeFileClipboard(const QStringList& paths, bool cut)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    QByteArray gnome = cut ? "cut" : "copy";
    for (const QString& path : paths) {
        const QUrl url = QUrl::fromLocalFile(path);
        urls.append(url);
        gnome += '\n' + url.toEncoded();
    }
    data->setUrls(urls);
    data->setData(kGnomeFormat, gnome);
    if (cut)
        data->setData(kKdeCutFormat, "1");
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

ClipboardFiles readFileClipboard(const QMimeData* data)
{
    ClipboardFiles files;
    if (!data)
        return files;
    QList<QUrl> urls;
    if (data->hasFormat(kGnomeFormat)) {
        const QList<QByteArray> lines = data->data(kGnomeFormat).split('\n');
        files.cut = !lines.isEmpty() && lines.first().trimmed() == "cut";
        for (qsizetype i = 1; i < lines.size(); ++i)
            if (!lines[i].trimmed().isEmpty())
                urls.append(QUrl::fromEncoded(lines[i].trimmed()));
    } else {
        urls = data->urls();
        files.cut = data->data(kKdeCutFormat).trimmed() == "1";
    }
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            files.paths.append(url.toLocalFile());
    return files;
}

} // namespace browser
