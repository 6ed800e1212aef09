#pragma once
#include <memory>

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QTimer>

#include "browser/read_pool.h"

namespace browser {

class GuiPost;

// Makes image previews on its own pool of worker threads, most recent request
// first, and keeps them in a memory cache limited in bytes. Workers first
// look in the desktop's shared thumbnail cache and add what they make to it.
// Every read of a picture in the browser goes to this pool, never to Qt's
// global one, which the program's exit waits for.
class PreviewLoader : public QObject {
    Q_OBJECT
public:
    explicit PreviewLoader(QObject* parent = nullptr, ReadPool::Limits limits = {});
    ~PreviewLoader() override;

    void setSize(QSize size);
    QSize size() const { return m_size; }
    // Whether the file's name says it is an image this program can read.
    static bool canPreview(const QString& fileName);
    // Reads a picture, made to fit `fit` while it is read when it is larger
    // (an invalid size: as it is). A plain file only, and through a link at
    // its name only when `followLink`; a null image otherwise. Blocks: call
    // it on the pool.
    static QImage readImage(const QString& path, QSize fit, bool followLink = false);
    // Runs `work` on the pool, queued as a read of `path`'s share; a newer
    // read of the same owner does not replace it, cancelReads does.
    void read(const void* owner, const QString& path, std::function<void()> work);
    void cancelReads(const void* owner);
    // The preview when it is made; otherwise a null image, the request is
    // queued and ready() follows once it is there.
    QImage preview(const QString& path, qint64 mtimeMs, qint64 size);
    void clear();

signals:
    void ready(const QString& path);

private:
    void take(const QString& key, const QString& path, const QImage& image);
    QString shareOf(const QString& path);

    std::shared_ptr<GuiPost> m_post;
    std::shared_ptr<ReadPool> m_pool;
    QTimer m_watch;
    QHash<QString, QString> m_shares;  // folder -> the mount it lies on
    QCache<QString, QImage> m_cache;
    QSet<QString> m_requested;
    QSet<QString> m_failed;
    QSize m_size{128, 128};
};

} // namespace browser
