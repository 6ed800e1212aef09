#include "browser/preview_loader.h"

#include <QFile>
#include <QImageReader>

#include "browser/gui_post.h"
#include "browser/thumbnail_cache.h"
#include "platform/mounts.h"
#include "platform/readable_file.h"

namespace browser {

namespace {

constexpr qint64 kCacheBytes = 64LL * 1024 * 1024;

QImage ReadFrom(const platform::ReadableFile& file, QSize fit)
{
    QFile device;
    if (!device.open(file.Descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {};
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (fit.isValid() && full.isValid() && (full.width() > fit.width() || full.height() > fit.height()))
        reader.setScaledSize(full.scaled(fit, Qt::KeepAspectRatio));
    return reader.read();
}

QImage MakePreview(const QString& path, qint64 mtimeMs, qint64 size, QSize previewSize)
{
    // Opened first, the cache asked after: a pipe or a link gets nothing,
    // not even a thumbnail cached for what was there before.
    platform::ReadableFile file;
    if (file.Open(QFile::encodeName(path).toStdString()))
        return {};
    const ThumbnailCache cache;
    const auto flavor = ThumbnailCache::FlavorFor(previewSize);
    const qint64 mtimeSecs = mtimeMs / 1000;
    QImage image = cache.Load(path, mtimeSecs, flavor);
    if (image.isNull()) {
        const int pixels = ThumbnailCache::Pixels(flavor);
        image = ReadFrom(file, QSize(pixels, pixels));
        if (image.isNull())
            return {};
        if (image.width() > pixels || image.height() > pixels)
            image = image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        cache.Store(path, mtimeSecs, size, flavor, image);
    }
    if (image.width() > previewSize.width() || image.height() > previewSize.height())
        image = image.scaled(previewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

PreviewLoader::PreviewLoader(QObject* parent, ReadPool::Limits limits)
    : QObject(parent), m_post(std::make_shared<GuiPost>(this)), m_pool(ReadPool::create(std::move(limits)))
{
    m_cache.setMaxCost(kCacheBytes);
    // While reads wait, hung workers are replaced even when no new request
    // comes to notice them.
    m_watch.setInterval(1000);
    connect(&m_watch, &QTimer::timeout, this, [this] {
        m_pool->check();
        if (m_pool->waiting() == 0)
            m_watch.stop();
    });
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

QImage PreviewLoader::readImage(const QString& path, QSize fit, bool followLink)
{
    platform::ReadableFile file;
    if (file.Open(QFile::encodeName(path).toStdString(), followLink))
        return {};
    return ReadFrom(file, fit);
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

QString PreviewLoader::shareOf(const QString& path)
{
    const QString folder = path.section(QLatin1Char('/'), 0, -2);
    auto it = m_shares.constFind(folder);
    if (it == m_shares.cend())
        it = m_shares.insert(folder, QFile::decodeName(QByteArray::fromStdString(platform::MountPointOf(QFile::encodeName(folder).toStdString()))));
    return *it;
}

void PreviewLoader::read(const void* owner, const QString& path, std::function<void()> work)
{
    m_pool->submit({owner, shareOf(path), std::move(work), {}});
    if (!m_watch.isActive())
        m_watch.start();
}

void PreviewLoader::cancelReads(const void* owner)
{
    m_pool->cancel(owner);
}

QImage PreviewLoader::preview(const QString& path, qint64 mtimeMs, qint64 size)
{
    const QString key = path + QLatin1Char('\n') + QString::number(mtimeMs) + QLatin1Char('\n') + QString::number(size);
    if (const QImage* image = m_cache.object(key))
        return *image;
    if (m_requested.contains(key) || m_failed.contains(key))
        return {};
    m_requested.insert(key);
    auto post = m_post;
    auto work = [this, post, key, path, mtimeMs, size, previewSize = m_size] {
        QImage image = MakePreview(path, mtimeMs, size, previewSize);
        post->post([this, key, path, image = std::move(image)] { take(key, path, image); });
    };
    // The rows scrolled past long ago are forgotten, so that a row asks
    // again when it is shown again.
    m_pool->submit({this, shareOf(path), std::move(work), [this, key] { m_requested.remove(key); }});
    if (!m_watch.isActive())
        m_watch.start();
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
    m_pool->cancel(this);
    m_requested.clear();
    m_failed.clear();
    m_cache.clear();
    m_shares.clear();
}

} // namespace browser
