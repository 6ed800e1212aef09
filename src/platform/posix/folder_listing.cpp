#include "platform/folder_listing.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::int64_t MtimeMs(const struct stat& st)
{
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

void Describe(int dirFd, const dirent* d, FolderEntryInfo& info, bool& vanished)
{
    struct stat st {};
    if (::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        vanished = errno == ENOENT;
        info.isDir = d->d_type == DT_DIR;
        info.isSymLink = d->d_type == DT_LNK;
        return;
    }
    info.isSymLink = S_ISLNK(st.st_mode);
    if (info.isSymLink) {
        // A link shows what it points to; a dangling one stays a small file.
        struct stat target {};
        if (::fstatat(dirFd, d->d_name, &target, 0) == 0)
            st = target;
    }
    info.isDir = S_ISDIR(st.st_mode);
    info.size = info.isDir ? 0 : static_cast<std::int64_t>(st.st_size);
    info.mtimeMs = MtimeMs(st);
}

} // namespace

int ListFolder(const std::string& folder, const std::function<bool(FolderEntryInfo&&)>& onEntry)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        int err = errno;
        ::close(fd);
        return err;
    }
    int result = 0;
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(dir);
        if (!d) {
            result = errno;
            break;
        }
        const char* n = d->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        FolderEntryInfo info;
        info.name = n;
        bool vanished = false;
        Describe(fd, d, info, vanished);
        if (vanished)
            continue;
        if (!onEntry(std::move(info)))
            break;
    }
    ::closedir(dir);
    return result;
}

} // namespace platform
