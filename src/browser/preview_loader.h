#pragma once
#include <memory>

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>

namespace browser {

class GuiPost;
struct PreviewQueue;

// Makes image previews on a pool of worker threads, most recent request first,
// and keeps them in a memory cache limited in bytes. Workers first look in
// the desktop's shared thumbnail cache and add what they make to it.
class PreviewLoader : public QObject {
    Q_OBJECT
public:
    explicit PreviewLoader(QObject* parent = nullptr);
    ~PreviewLoader() override;

    void setSize(QSize size);
    QSize size() const { return m_size; }
    // Whether the file's name says it is an image this program can read.
    static bool canPreview(const QString& fileName);
    // Whether a preview may read the file: a plain file only (a pipe named
    // like a picture would block its reader), never through a link, which
    // may lead out of the location.
    static bool mayRead(const QString& path);
    // The preview when it is made; otherwise a null image, the request is
    // queued and ready() follows once it is there.
    QImage preview(const QString& path, qint64 mtimeMs, qint64 size);
    void clear();

signals:
    void ready(const QString& path);

private:
    void take(const QString& key, const QString& path, const QImage& image);

    std::shared_ptr<GuiPost> m_post;
    std::shared_ptr<PreviewQueue> m_queue;
    QCache<QString, QImage> m_cache;
    QSet<QString> m_requested;
    QSet<QString> m_failed;
    QSize m_size{128, 128};
};

} // namespace browser
