#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FileError ErrorFromErrno(int code)
{
    FileError e;
    e.code = code;
    e.message = std::strerror(code);
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        e.kind = FileErrorKind::NotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        e.kind = FileErrorKind::AccessDenied;
        break;
    case ENOSPC:
    case EDQUOT:
        e.kind = FileErrorKind::DiskFull;
        break;
    default:
        e.kind = FileErrorKind::Other;
        break;
    }
    return e;
}

// Every user of the server reads the configuration, so a file that did not
// exist before is created readable by all; an existing one keeps its bits.
constexpr mode_t kNewFileMode = 0644;

} // namespace

FileReader::FileReader() = default;

FileReader::~FileReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileError FileReader::Open(const std::filesystem::path& path)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_error = {};
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return m_error = ErrorFromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        m_error = ErrorFromErrno(errno);
        ::close(fd);
        return m_error;
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return m_error = ErrorFromErrno(EISDIR);
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return {};
}

std::ptrdiff_t FileReader::Read(void* buffer, std::size_t n)
{
    if (m_fd < 0) {
        m_error = ErrorFromErrno(EBADF);
        return -1;
    }
    for (;;) {
        ssize_t got = ::read(m_fd, buffer, n);
        if (got >= 0)
            return got;
        if (errno == EINTR)
            continue;
        m_error = ErrorFromErrno(errno);
        return -1;
    }
}

AtomicFileWriter::AtomicFileWriter() = default;

AtomicFileWriter::~AtomicFileWriter()
{
    Abort();
}

FileError AtomicFileWriter::Begin(const std::filesystem::path& target)
{
    Abort();
    m_error = {};
    // A configuration that is a link to a file elsewhere stays a link: the
    // new content replaces the file it points to.
    m_target = ResolveLinks(target);

    mode_t mode = kNewFileMode;
    uid_t owner = static_cast<uid_t>(-1);
    gid_t group = static_cast<gid_t>(-1);
    struct stat st {};
    if (::stat(m_target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
        owner = st.st_uid;
        group = st.st_gid;
    }

    std::string temp = m_target.string() + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return m_error = ErrorFromErrno(errno);
    m_fd = fd;
    m_temp = temp;
    // mkostemp creates 0600 whatever the umask; set the real bits explicitly.
    if (::fchmod(fd, mode) != 0) {
        m_error = ErrorFromErrno(errno);
        Abort();
        return m_error;
    }
    // Keep the group so an administrators' group stays able to write; only
    // possible when we may, and harmless to skip otherwise.
    if (owner != static_cast<uid_t>(-1) && ::fchown(fd, owner, group) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), group);
    }
    return {};
}

bool AtomicFileWriter::Write(const void* data, std::size_t n)
{
    if (m_fd < 0) {
        if (!m_error)
            m_error = ErrorFromErrno(EBADF);
        return false;
    }
    auto p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t put = ::write(m_fd, p, n);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            m_error = ErrorFromErrno(errno);
            return false;
        }
        p += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

FileError AtomicFileWriter::Commit()
{
    if (m_fd < 0)
        return m_error ? m_error : ErrorFromErrno(EBADF);
    if (m_error) {
        Abort();
        return m_error;
    }
    if (::fdatasync(m_fd) != 0) {
        m_error = ErrorFromErrno(errno);
        Abort();
        return m_error;
    }
    if (::close(m_fd) != 0) {
        m_fd = -1;
        m_error = ErrorFromErrno(errno);
        Abort();
        return m_error;
    }
    m_fd = -1;
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        m_error = ErrorFromErrno(errno);
        Abort();
        return m_error;
    }
    m_temp.clear();
    return {};
}

void AtomicFileWriter::Abort()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

FileError CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    FileReader in;
    if (auto e = in.Open(from))
        return e;
    AtomicFileWriter out;
    if (auto e = out.Begin(to))
        return e;
    std::unique_ptr<char[]> buffer(new char[1 << 16]);
    for (;;) {
        std::ptrdiff_t got = in.Read(buffer.get(), 1 << 16);
        if (got < 0)
            return in.Error();
        if (got == 0)
            break;
        if (!out.Write(buffer.get(), static_cast<std::size_t>(got)))
            return out.Error();
    }
    return out.Commit();
}

std::filesystem::path ResolveLinks(const std::filesystem::path& path)
{
    std::error_code ec;
    auto resolved = std::filesystem::canonical(path, ec);
    return ec ? path : resolved;
}

bool FileExists(const std::filesystem::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace platform
