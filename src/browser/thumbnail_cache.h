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
    explicit ThumbnailCache(QString root = DefaultRoot());
    static QString DefaultRoot();

    static Flavor FlavorFor(QSize previewSize);
    static int Pixels(Flavor flavor) { return flavor == Flavor::Normal ? 128 : 256; }
    static QString FileUri(const QString& absolutePath);
    QString ThumbnailPath(const QString& absolutePath, Flavor flavor) const;
    // Whether a file lies inside this cache (such files get no thumbnails).
    bool Contains(const QString& absolutePath) const;

    // The stored thumbnail when it belongs to this file at this modification
    // time (seconds); a null image otherwise.
    QImage Load(const QString& absolutePath, qint64 mtimeSecs, Flavor flavor) const;
    // Stores a thumbnail: folder made 0700, file written 0600 under a
    // temporary name and renamed, so no reader ever sees half a file.
    bool Store(const QString& absolutePath, qint64 mtimeSecs, qint64 fileSize, Flavor flavor,
               const QImage& thumbnail) const;

private:
    QString m_root;
};

} // namespace browser
