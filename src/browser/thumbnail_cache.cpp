#include "browser/thumbnail_cache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QUrl>

namespace browser {

namespace {

const auto kOwnerOnlyFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

QString FlavorFolder(ThumbnailCache::Flavor flavor)
{
    return flavor == ThumbnailCache::Flavor::Normal ? QStringLiteral("normal") : QStringLiteral("large");
}

// Creates each missing folder of `path` for the owner only.
bool MakeOwnerFolder(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent != path && !MakeOwnerFolder(parent))
        return false;
    return QDir().mkdir(path, kOwnerOnlyFolder) || QFileInfo(path).isDir();
}

} // namespace

ThumbnailCache::ThumbnailCache(QString root) : m_root(std::move(root)) {}

QString ThumbnailCache::DefaultRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    // The freedesktop rules ignore a relative value.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/thumbnails");
}

ThumbnailCache::Flavor ThumbnailCache::FlavorFor(QSize previewSize)
{
    return qMax(previewSize.width(), previewSize.height()) <= Pixels(Flavor::Normal) ? Flavor::Normal : Flavor::Large;
}

QString ThumbnailCache::FileUri(const QString& absolutePath)
{
    return QString::fromLatin1(QUrl::fromLocalFile(absolutePath).toEncoded());
}

QString ThumbnailCache::ThumbnailPath(const QString& absolutePath, Flavor flavor) const
{
    const QByteArray md5 = QCryptographicHash::hash(FileUri(absolutePath).toUtf8(), QCryptographicHash::Md5).toHex();
    return m_root + QLatin1Char('/') + FlavorFolder(flavor) + QLatin1Char('/') + QString::fromLatin1(md5)
        + QStringLiteral(".png");
}

bool ThumbnailCache::Contains(const QString& absolutePath) const
{
    return absolutePath.startsWith(m_root + QLatin1Char('/'));
}

QImage ThumbnailCache::Load(const QString& absolutePath, qint64 mtimeSecs, Flavor flavor) const
{
    QImageReader reader(ThumbnailPath(absolutePath, flavor), "png");
    // A thumbnail is small; anything bigger is not one of ours to trust.
    if (reader.size().width() > 2 * Pixels(flavor) || reader.size().height() > 2 * Pixels(flavor))
        return {};
    if (reader.text(QStringLiteral("Thumb::URI")) != FileUri(absolutePath)
        || reader.text(QStringLiteral("Thumb::MTime")) != QString::number(mtimeSecs))
        return {};
    return reader.read();
}

bool ThumbnailCache::Store(const QString& absolutePath, qint64 mtimeSecs, qint64 fileSize, Flavor flavor,
                           const QImage& thumbnail) const
{
    if (thumbnail.isNull() || Contains(absolutePath))
        return false;
    const QString target = ThumbnailPath(absolutePath, flavor);
    if (!MakeOwnerFolder(QFileInfo(target).path()))
        return false;
    QImage image = thumbnail;
    image.setText(QStringLiteral("Thumb::URI"), FileUri(absolutePath));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtimeSecs));
    image.setText(QStringLiteral("Thumb::Size"), QString::number(fileSize));
    image.setText(QStringLiteral("Software"), QStringLiteral("Quillon"));
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QImageWriter writer(&file, "png");
    if (!writer.write(image))
        return false;
    return file.commit();
}

} // namespace browser
