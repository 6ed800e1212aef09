#include "browser/path_rules.h"

#include <QDir>
#include <QUrl>

#include "transfer/expand_path.h"

namespace browser {

namespace {

QString withoutTrailingSeparator(const QString& path)
{
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        return path.chopped(1);
    return path;
}

} // namespace

bool IsSamePath(const QString& a, const QString& b)
{
    return withoutTrailingSeparator(a).compare(withoutTrailingSeparator(b), Qt::CaseInsensitive) == 0;
}

bool isWithin(const QString& folder, const QString& path)
{
    const QString outer = QDir::cleanPath(folder);
    const QString inner = QDir::cleanPath(path);
    if (outer.isEmpty() || inner.isEmpty())
        return false;
    if (inner.compare(outer, Qt::CaseInsensitive) == 0)
        return true;
    const QString prefix = outer.endsWith(QLatin1Char('/')) ? outer : outer + QLatin1Char('/');
    return inner.startsWith(prefix, Qt::CaseInsensitive);
}

QString parentWithin(const QString& root, const QString& path)
{
    if (IsSamePath(root, path) || !isWithin(root, path))
        return {};
    const QString parent = QDir::cleanPath(QDir::cleanPath(path) + QStringLiteral("/.."));
    return isWithin(root, parent) ? parent : QString();
}

bool isWebAddress(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || !address.contains(QStringLiteral("://")))
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp");
}

QString localPathOf(const QString& address)
{
    if (address.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
        const QUrl url(address);
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return address;
}

QString expandAddress(const QString& address)
{
    std::u16string expanded;
    if (!transfer::ExpandPath(address.toStdU16String(), expanded))
        return address;
    return QString::fromStdU16String(expanded);
}

} // namespace browser
