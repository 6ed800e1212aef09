#include "browser/confinement.h"

#include <cerrno>

#include <QCoreApplication>
#include <QFile>

#include "platform/path_entries.h"
#include "platform/system_error.h"

namespace browser {

namespace {

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromNative(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool insideAny(const QStringList& boundaries, const std::string& real)
{
    for (const QString& boundary : boundaries)
        if (!boundary.isEmpty() && platform::IsSameOrInside(native(boundary), real))
            return true;
    return false;
}

} // namespace

QString outsideText()
{
    return QCoreApplication::translate("browser::Confinement", "This item lies outside your locations.");
}

Boundary resolveBoundary(const QString& folder)
{
    const platform::RealPath real = platform::ResolveRealPath(native(folder));
    if (real.error != 0)
        return {QString(), real.error};
    return {fromNative(real.path), 0};
}

Placement placeTarget(const Boundary& boundary, const QString& path)
{
    if (boundary.real.isEmpty())
        return {Placement::Unreachable, boundary.error ? boundary.error : ENOENT, {}};
    const platform::RealPath real = platform::ResolveRealPath(native(path));
    if (real.error == 0) {
        if (!insideAny({boundary.real}, real.path))
            return {Placement::Outside, 0, {}};
        return {Placement::Inside, 0, fromNative(real.path)};
    }
    const Placement entry = placeEntry({boundary.real}, path);
    if (entry.kind != Placement::Inside)
        return entry.kind == Placement::Outside ? entry : Placement{Placement::Unreachable, real.error, {}};
    if (platform::GetEntryAttributes(native(entry.path)).isLink)
        return {Placement::Outside, 0, {}};
    return {Placement::Unreachable, real.error, {}};
}

Placement placeEntry(const QStringList& boundaries, const QString& path)
{
    std::string text = native(path);
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    const std::size_t slash = text.rfind('/');
    const std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        // Names a folder by way of another: that folder is the entry.
        const platform::RealPath real = platform::ResolveRealPath(text);
        if (real.error != 0)
            return {Placement::Unreachable, real.error, {}};
        if (!insideAny(boundaries, real.path))
            return {Placement::Outside, 0, {}};
        return {Placement::Inside, 0, fromNative(real.path)};
    }
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : text.substr(0, slash);
    const platform::RealPath folder = platform::ResolveRealPath(parent);
    if (folder.error != 0)
        return {Placement::Unreachable, folder.error, {}};
    const std::string entry = folder.path == "/" ? "/" + name : folder.path + "/" + name;
    if (!insideAny(boundaries, entry))
        return {Placement::Outside, 0, {}};
    return {Placement::Inside, 0, fromNative(entry)};
}

QString admitCopy(const QStringList& locations, QStringList& sources, QString& target)
{
    if (locations.isEmpty())
        return outsideText();
    const Boundary current = resolveBoundary(locations.first());
    QStringList boundaries;
    for (const QString& folder : locations)
        if (const Boundary b = resolveBoundary(folder); !b.real.isEmpty() && !boundaries.contains(b.real))
            boundaries << b.real;
    QStringList resolved;
    for (const QString& source : sources) {
        const Placement place = placeEntry(boundaries, source);
        if (place.kind != Placement::Inside)
            return outsideText();
        resolved << place.path;
    }
    const Placement into = placeTarget(current, target);
    if (into.kind == Placement::Outside)
        return outsideText();
    if (into.kind == Placement::Unreachable)
        return QCoreApplication::translate("browser::Confinement", "Cannot copy into \"%1\": %2")
            .arg(target, QString::fromStdString(platform::GetSystemErrorText(into.error)));
    sources = resolved;
    target = into.path;
    return {};
}

} // namespace browser
