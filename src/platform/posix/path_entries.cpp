#include "platform/path_entries.h"
#include "platform/posix/rename_at.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

PathAttributes GetPathAttributes(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {errno, false};
    return {0, S_ISDIR(st.st_mode), false};
}

PathAttributes GetEntryAttributes(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return {errno, false, false};
    return {0, S_ISDIR(st.st_mode), S_ISLNK(st.st_mode)};
}

int RenamePath(const std::string& from, const std::string& to, bool replace)
{
    return posix::RenameAt(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), replace);
}

namespace posix {

int RenameAt(int fromFolder, const char* from, int toFolder, const char* to, bool replace)
{
    if (replace)
        return ::renameat(fromFolder, from, toFolder, to) == 0 ? 0 : errno;
    if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS)
        return error;
    // A file system without the no-replace flag: check, then rename (a
    // narrow race, but nothing is replaced that existed when asked).
    struct stat st {};
    if (::fstatat(toFolder, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(fromFolder, from, toFolder, to) == 0 ? 0 : errno;
}

} // namespace posix

RealPath ResolveRealPath(const std::string& path)
{
    char buffer[PATH_MAX];
    if (path.empty())
        return {ENOENT, {}};
    if (!::realpath(path.c_str(), buffer))
        return {errno, {}};
    return {0, buffer};
}

bool IsSameOrInside(const std::string& folder, const std::string& path)
{
    if (folder.empty() || path.size() < folder.size() || path.compare(0, folder.size(), folder) != 0)
        return false;
    return path.size() == folder.size() || folder.back() == '/' || path[folder.size()] == '/';
}

} // namespace platform
