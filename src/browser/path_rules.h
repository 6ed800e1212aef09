#pragma once
#include <QString>

// How the browser reads addresses and keeps the user inside a location.
namespace browser {

// One trailing '/' or '\' removed from each, then compared without regard
// to letter case: how the root is recognised.
bool IsSamePath(const QString& a, const QString& b);

// The folder above `path` when it still lies inside `root`; empty at the
// root itself and for anything outside it.
QString parentWithin(const QString& root, const QString& path);

// Whether `path` is `folder` or lies below it (by the text of the paths).
bool isWithin(const QString& folder, const QString& path);

// http, https and ftp addresses go to the desktop's default handler.
bool isWebAddress(const QString& address);

// A file: URL as a local path; anything else is taken as a path already.
QString localPathOf(const QString& address);

// %NAME% references replaced from the environment; an expansion longer than
// the classic buffer leaves the address as it was.
QString expandAddress(const QString& address);

} // namespace browser
