#pragma once
#include <string>

// Which mounted file system ("share") a path lies on, told from the mount
// table's text alone: asking the file system itself would hang with it.
namespace platform {

// The longest mount point in `mountTable` (the lines of a mountinfo file)
// that is `path` or a folder above it; "" when none is. Links in `path` are
// not followed: it is taken as written.
std::string MountPointIn(const std::string& path, const std::string& mountTable);

// The same against the system's mount table at the moment of the call.
std::string MountPointOf(const std::string& path);

} // namespace platform
