#include "browser/thumbnail_cache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImageWriter>
#include <QSaveFile>
#include <QUrl>

namespace browser {

namespace {

const auto kOwnerOnlyFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

QString flavorFolder(ThumbnailCache::Flavor flavor)
{
    return flavor == ThumbnailCache::Flavor::Normal ? QStringLiteral("normal") : QStringLiteral("large");
}

// Creates each missing folder of `path` for the owner only.
bool makeOwnerFolder(const QString& path)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent != path && !makeOwnerFolder(parent))
        return false;
    return QDir().mkdir(path, kOwnerOnlyFolder) || QFileInfo(path).isDir();
}

constexpr qint64 kMaxThumbnailBytes = 4 * 1024 * 1024;

quint32 BigEndian32(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint32(u[0]) << 24 | quint32(u[1]) << 16 | quint32(u[2]) << 8 | u[3];
}

// The uncompressed text chunks before the image data. Qt's own reader folds
// keys that hold a colon, and every key of these thumbnails does.
QHash<QByteArray, QByteArray> pngTexts(const QByteArray& png)
{
    QHash<QByteArray, QByteArray> texts;
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (!png.startsWith(QByteArray::fromRawData(kSignature, 8)))
        return texts;
    qsizetype at = 8;
    while (at + 12 <= png.size()) {
        const quint32 length = BigEndian32(png.constData() + at);
        const QByteArray type = png.mid(at + 4, 4);
        if (length > quint32(png.size() - at - 12) || type == "IDAT" || type == "IEND")
            break;
        const QByteArray body = png.mid(at + 8, length);
        const qsizetype nul = body.indexOf('\0');
        if (nul > 0 && type == "tEXt") {
            texts.insert(body.left(nul), body.mid(nul + 1));
        } else if (nul > 0 && type == "iTXt" && body.size() > nul + 2 && body[nul + 1] == 0) {
            // Not compressed: language and translated key, then UTF-8 text.
            const qsizetype language = body.indexOf('\0', nul + 3);
            const qsizetype translated = language < 0 ? -1 : body.indexOf('\0', language + 1);
            if (translated > 0)
                texts.insert(body.left(nul), body.mid(translated + 1));
        }
        at += 12 + qsizetype(length);
    }
    return texts;
}

} // namespace

ThumbnailCache::ThumbnailCache(QString root) : m_root(std::move(root)) {}

QString ThumbnailCache::defaultRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    // The freedesktop rules ignore a relative value.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/thumbnails");
}

ThumbnailCache::Flavor ThumbnailCache::flavorFor(QSize previewSize)
{
    return qMax(previewSize.width(), previewSize.height()) <= pixels(Flavor::Normal) ? Flavor::Normal : Flavor::Large;
}

QString ThumbnailCache::fileUri(const QString& absolutePath)
{
    return QString::fromLatin1(QUrl::fromLocalFile(absolutePath).toEncoded());
}

QString ThumbnailCache::thumbnailPath(const QString& absolutePath, Flavor flavor) const
{
    const QByteArray md5 = QCryptographicHash::hash(fileUri(absolutePath).toUtf8(), QCryptographicHash::Md5).toHex();
    return m_root + QLatin1Char('/') + flavorFolder(flavor) + QLatin1Char('/') + QString::fromLatin1(md5)
        + QStringLiteral(".png");
}

bool ThumbnailCache::contains(const QString& absolutePath) const
{
    return absolutePath.startsWith(m_root + QLatin1Char('/'));
}

QImage ThumbnailCache::load(const QString& absolutePath, qint64 mtimeSecs, Flavor flavor) const
{
    QFile file(thumbnailPath(absolutePath, flavor));
    // A thumbnail is small; anything bigger is not one to trust.
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxThumbnailBytes)
        return {};
    const QByteArray png = file.readAll();
    const QHash<QByteArray, QByteArray> texts = pngTexts(png);
    if (texts.value("Thumb::URI") != fileUri(absolutePath).toLatin1()
        || texts.value("Thumb::MTime") != QByteArray::number(mtimeSecs))
        return {};
    QImage image = QImage::fromData(png, "png");
    if (image.width() > 2 * pixels(flavor) || image.height() > 2 * pixels(flavor))
        return {};
    return image;
}

bool ThumbnailCache::store(const QString& absolutePath, qint64 mtimeSecs, qint64 fileSize, Flavor flavor,
                           const QImage& thumbnail) const
{
    if (thumbnail.isNull() || contains(absolutePath))
        return false;
    const QString target = thumbnailPath(absolutePath, flavor);
    if (!makeOwnerFolder(QFileInfo(target).path()))
        return false;
    QImage image = thumbnail;
    image.setText(QStringLiteral("Thumb::URI"), fileUri(absolutePath));
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
