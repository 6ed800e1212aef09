#include "platform/readable_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

ReadableFile::~ReadableFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileError ReadableFile::Open(const std::filesystem::path& path, bool followLink)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead
    // of waiting for one; the kind is then read from the descriptor, so
    // nothing can be swapped in between a check and the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return FileErrorFromCode(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        ::close(fd);
        return FileErrorFromCode(code);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return {FileErrorKind::NotRegularFile, EINVAL, "is not a regular file"};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    return {};
}

} // namespace platform
