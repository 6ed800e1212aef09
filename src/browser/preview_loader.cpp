#include "browser/preview_loader.h"

#include <deque>
#include <mutex>

#include <QFileInfo>
#include <QImageReader>
#include <QThreadPool>

#include "browser/gui_post.h"
#include "browser/thumbnail_cache.h"

namespace browser {

namespace {

// Requests beyond this many are the rows scrolled past long ago.
constexpr std::size_t kMaxQueued = 256;
constexpr qint64 kCacheBytes = 64LL * 1024 * 1024;

struct Request {
    QString key;
    QString path;
    qint64 mtimeMs = 0;
    qint64 size = 0;
    QSize previewSize;
};

// Never waited for: a read that hangs on a dead share must not hold up the
// end of the program, so the pool outlives every loader and is never joined.
QThreadPool& Pool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(2);
        return p;
    }();
    return *pool;
}

QImage MakePreview(const Request& r)
{
    if (!PreviewLoader::mayRead(r.path))
        return {};
    const ThumbnailCache cache;
    const auto flavor = ThumbnailCache::FlavorFor(r.previewSize);
    const qint64 mtimeSecs = r.mtimeMs / 1000;
    QImage image = cache.Load(r.path, mtimeSecs, flavor);
    if (image.isNull()) {
        QImageReader reader(r.path);
        reader.setAutoTransform(true);
        const int pixels = ThumbnailCache::Pixels(flavor);
        const QSize full = reader.size();
        if (full.isValid() && (full.width() > pixels || full.height() > pixels))
            reader.setScaledSize(full.scaled(pixels, pixels, Qt::KeepAspectRatio));
        image = reader.read();
        if (image.isNull())
            return {};
        if (image.width() > pixels || image.height() > pixels)
            image = image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        cache.Store(r.path, mtimeSecs, r.size, flavor, image);
    }
    if (image.width() > r.previewSize.width() || image.height() > r.previewSize.height())
        image = image.scaled(r.previewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

struct PreviewQueue {
    std::mutex mutex;
    std::deque<Request> requests;   // newest at the back: the rows on screen now
    int workers = 0;
};

PreviewLoader::PreviewLoader(QObject* parent)
    : QObject(parent), m_post(std::make_shared<GuiPost>(this)), m_queue(std::make_shared<PreviewQueue>())
{
    m_cache.setMaxCost(kCacheBytes);
}

PreviewLoader::~PreviewLoader()
{
    clear();
    m_post->detach();
}

void PreviewLoader::setSize(QSize size)
{
    if (size == m_size)
        return;
    m_size = size;
    clear();
}

bool PreviewLoader::mayRead(const QString& path)
{
    const QFileInfo info(path);
    return !info.isSymLink() && info.isFile();
}

bool PreviewLoader::canPreview(const QString& fileName)
{
    static const QSet<QString> suffixes = [] {
        QSet<QString> s;
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            s.insert(QString::fromLatin1(format).toLower());
        return s;
    }();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && suffixes.contains(fileName.mid(dot + 1).toLower());
}

QImage PreviewLoader::preview(const QString& path, qint64 mtimeMs, qint64 size)
{
    const QString key = path + QLatin1Char('\n') + QString::number(mtimeMs) + QLatin1Char('\n') + QString::number(size);
    if (const QImage* image = m_cache.object(key))
        return *image;
    if (m_requested.contains(key) || m_failed.contains(key))
        return {};
    m_requested.insert(key);
    bool startWorker = false;
    {
        std::lock_guard<std::mutex> lock(m_queue->mutex);
        m_queue->requests.push_back({key, path, mtimeMs, size, m_size});
        if (m_queue->requests.size() > kMaxQueued) {
            // Forgotten, so that the row asks again when it is shown again.
            m_requested.remove(m_queue->requests.front().key);
            m_queue->requests.pop_front();
        }
        if (m_queue->workers < Pool().maxThreadCount()) {
            ++m_queue->workers;
            startWorker = true;
        }
    }
    if (startWorker) {
        Pool().start([queue = m_queue, post = m_post, this] {
            for (;;) {
                Request r;
                {
                    std::lock_guard<std::mutex> lock(queue->mutex);
                    if (queue->requests.empty()) {
                        --queue->workers;
                        return;
                    }
                    r = std::move(queue->requests.back());
                    queue->requests.pop_back();
                }
                QImage image = MakePreview(r);
                post->post([this, key = r.key, path = r.path, image] { take(key, path, image); });
            }
        });
    }
    return {};
}

void PreviewLoader::take(const QString& key, const QString& path, const QImage& image)
{
    if (!m_requested.remove(key))
        return;
    if (image.isNull()) {
        m_failed.insert(key);
        return;
    }
    m_cache.insert(key, new QImage(image), qMax<qint64>(1, image.sizeInBytes()));
    emit ready(path);
}

void PreviewLoader::clear()
{
    {
        std::lock_guard<std::mutex> lock(m_queue->mutex);
        m_queue->requests.clear();
    }
    m_requested.clear();
    m_failed.clear();
    m_cache.clear();
}

} // namespace browser
