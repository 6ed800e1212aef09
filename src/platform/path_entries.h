#pragma once
#include <string>

// What the location browser asks of the file system beyond listing a folder.
namespace platform {

// The kind of what a path names, symbolic links followed.
struct PathAttributes {
    int error = 0;             // 0, or the system's error number
    bool isDirectory = false;
    bool isLink = false;       // only from GetEntryAttributes
};

PathAttributes GetPathAttributes(const std::string& path);
// The same of the entry itself: a link at the end of `path` is not followed.
PathAttributes GetEntryAttributes(const std::string& path);

// Renames (moves within one file system) a file, folder or link. Without
// `replace` an existing `to` is never replaced: the result is EEXIST.
// Returns 0 or the system's error number (EXDEV across file systems).
int RenamePath(const std::string& from, const std::string& to, bool replace);

// A path with every link, "." and ".." resolved, as the system sees it now.
struct RealPath {
    int error = 0;     // 0, or the system's error number (ENOENT for a dangling link)
    std::string path;  // absolute, without a trailing '/' (but "/" itself)
};
RealPath ResolveRealPath(const std::string& path);

// Whether `path` is `folder` or lies below it, by the exact text of two
// resolved paths: the boundary of a location.
bool IsSameOrInside(const std::string& folder, const std::string& path);

} // namespace platform
