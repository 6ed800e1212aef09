#pragma once
#include <QImage>
#include <QSize>
#include <QString>

namespace browser {

// The desktop's shared thumbnail cache (freedesktop.org): a PNG per file under
// <root>/normal (128 pixels) or <root>/large (256), named by the MD5 of the
// file's URI and valid while its Thumb::MTime matches the file's. Usable from
// any thread; every call works on files only.
class ThumbnailCache {
public:
    enum class Flavor { Normal, Large };

    // `root` is the thumbnails folder; by default $XDG_CACHE_HOME/thumbnails
    // or ~/.cache/thumbnails.
    explicit ThumbnailCache(QString root = defaultRoot());
    static QString defaultRoot();

    static Flavor flavorFor(QSize previewSize);
    static int pixels(Flavor flavor) { return flavor == Flavor::Normal ? 128 : 256; }
    static QString fileUri(const QString& absolutePath);
    QString thumbnailPath(const QString& absolutePath, Flavor flavor) const;
    // Whether a file lies inside this cache (such files get no thumbnails).
    bool contains(const QString& absolutePath) const;

    // The stored thumbnail when it belongs to this file at this modification
    // time (seconds); a null image otherwise.
    QImage load(const QString& absolutePath, qint64 mtimeSecs, Flavor flavor) const;
    // Stores a thumbnail: folder made 0700, file written 0600 under a
    // temporary name and renamed, so no reader ever sees half a file.
    bool store(const QString& absolutePath, qint64 mtimeSecs, qint64 fileSize, Flavor flavor,
               const QImage& thumbnail) const;

private:
    QString m_root;
};

} // namespace browser
