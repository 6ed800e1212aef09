#include "platform/tree_files.h"
#include "platform/posix/rename_at.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FileError Errno()
{
    return FileErrorFromCode(errno);
}

FileError Checked(int result)
{
    return result == 0 ? FileError{} : Errno();
}

FileTime Time(const timespec& t)
{
    return {static_cast<std::int64_t>(t.tv_sec), static_cast<std::int64_t>(t.tv_nsec)};
}

timespec Spec(FileTime t)
{
    timespec s{};
    s.tv_sec = static_cast<time_t>(t.seconds);
    s.tv_nsec = static_cast<long>(t.nanoseconds);
    return s;
}

EntryType TypeOf(mode_t mode)
{
    if (S_ISREG(mode))
        return EntryType::File;
    if (S_ISDIR(mode))
        return EntryType::Folder;
    if (S_ISLNK(mode))
        return EntryType::Link;
    if (S_ISFIFO(mode))
        return EntryType::Fifo;
    if (S_ISSOCK(mode))
        return EntryType::Socket;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return EntryType::Device;
    return EntryType::Other;
}

EntryInfo InfoOf(const struct stat& st)
{
    EntryInfo info;
    info.type = TypeOf(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
    info.accessed = Time(st.st_atim);
    info.modified = Time(st.st_mtim);
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
    return info;
}

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Large enough to keep the system calls few, small enough that Cancel and
// the progress shown follow a big file closely.
constexpr std::size_t kKernelChunk = 8u << 20;
constexpr std::size_t kBufferSize = 1u << 20;

} // namespace

// ---- Folder ----

Folder::~Folder()
{
    CloseFd(m_fd);
}

Folder::Folder(Folder&& other) noexcept : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

Folder& Folder::operator=(Folder&& other) noexcept
{
    if (this != &other) {
        CloseFd(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

FileError Folder::Open(const std::filesystem::path& path, Folder& out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Errno();
    out = Folder();
    out.m_fd = fd;
    return {};
}

FileError Folder::OpenChild(const std::string& name, bool follow, Folder& out) const
{
    const int fd = ::openat(m_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return Errno();
    out = Folder();
    out.m_fd = fd;
    return {};
}

FileError Folder::List(std::vector<std::string>& names) const
{
    names.clear();
    // A descriptor of its own, so that listing never moves ours.
    const int fd = ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Errno();
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        FileError e = Errno();
        ::close(fd);
        return e;
    }
    FileError result;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0)
                result = Errno();
            break;
        }
        const char* n = entry->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        names.emplace_back(n);
    }
    ::closedir(dir);
    return result;
}

FileError Folder::Stat(const std::string& name, bool follow, EntryInfo& info) const
{
    struct stat st {};
    if (::fstatat(m_fd, name.c_str(), &st, follow ? 0 : AT_SYMLINK_NOFOLLOW) != 0) {
        info = {};
        return errno == ENOENT ? FileError{} : Errno();
    }
    info = InfoOf(st);
    return {};
}

FileError Folder::Info(EntryInfo& info) const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return Errno();
    info = InfoOf(st);
    return {};
}

FileError Folder::MakeFolder(const std::string& name) const
{
    return Checked(::mkdirat(m_fd, name.c_str(), 0700));
}

FileError Folder::SetModeAndTimes(std::uint32_t mode, FileTime accessed, FileTime modified) const
{
    if (::fchmod(m_fd, static_cast<mode_t>(mode & 07777)) != 0)
        return Errno();
    const timespec times[2] = {Spec(accessed), Spec(modified)};
    return Checked(::futimens(m_fd, times));
}

FileError Folder::ReadLink(const std::string& name, std::string& text) const
{
    std::size_t size = 256;
    for (;;) {
        text.resize(size);
        const ssize_t n = ::readlinkat(m_fd, name.c_str(), text.data(), size);
        if (n < 0)
            return Errno();
        if (static_cast<std::size_t>(n) < size) {
            text.resize(static_cast<std::size_t>(n));
            return {};
        }
        size *= 2;
    }
}

FileError Folder::MakeLink(const std::string& text, const std::string& name) const
{
    return Checked(::symlinkat(text.c_str(), m_fd, name.c_str()));
}

FileError Folder::SetLinkTimes(const std::string& name, FileTime accessed, FileTime modified) const
{
    const timespec times[2] = {Spec(accessed), Spec(modified)};
    return Checked(::utimensat(m_fd, name.c_str(), times, AT_SYMLINK_NOFOLLOW));
}

FileError Folder::Rename(const std::string& from, const std::string& to, bool replace) const
{
    const int error = posix::RenameAt(m_fd, from.c_str(), m_fd, to.c_str(), replace);
    return error == 0 ? FileError{} : FileErrorFromCode(error);
}

FileError Folder::Remove(const std::string& name) const
{
    return Checked(::unlinkat(m_fd, name.c_str(), 0));
}

bool Folder::HoldsLinks(const std::string& probeName) const
{
    if (::symlinkat("pontlet", m_fd, probeName.c_str()) == 0) {
        ::unlinkat(m_fd, probeName.c_str(), 0);
        return true;
    }
    // These say the file system has no links; anything else (no right to
    // write, a full disk) says nothing about it and shows up in the copy.
    switch (errno) {
    case EPERM:
    case EOPNOTSUPP:
    case ENOSYS:
        return false;
    default:
        return true;
    }
}

// ---- OpenFile ----

OpenFile::~OpenFile()
{
    Close();
}

void OpenFile::Close()
{
    CloseFd(m_fd);
}

FileError OpenFile::OpenForReading(const Folder& folder, const std::string& name, bool follow, EntryInfo& info)
{
    Close();
    // Non-blocking, so that a FIFO swapped in for the file cannot hold us.
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (follow ? 0 : O_NOFOLLOW);
    const int fd = ::openat(folder.Descriptor(), name.c_str(), flags);
    if (fd < 0)
        return Errno();
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        FileError e = Errno();
        ::close(fd);
        return e;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        FileError e = FileErrorFromCode(EINVAL);
        e.message = "not a regular file";
        return e;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    info = InfoOf(st);
    return {};
}

FileError OpenFile::CreateExclusive(const Folder& folder, const std::string& name)
{
    Close();
    const int fd =
        ::openat(folder.Descriptor(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return Errno();
    m_fd = fd;
    return {};
}

FileError OpenFile::CopyFrom(OpenFile& source, const CopyProgress& progress)
{
    std::uint64_t copied = 0;
    for (;;) {
        if (progress && !progress(copied))
            return {FileErrorKind::Cancelled, ECANCELED, "cancelled"};
        const ssize_t n = ::copy_file_range(source.m_fd, nullptr, m_fd, nullptr, kKernelChunk, 0);
        if (n > 0) {
            copied += static_cast<std::uint64_t>(n);
            continue;
        }
        if (n == 0) {
            // Some file systems report the end early; reading makes sure.
            if (copied >= source.m_size)
                return {};
            break;
        }
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL || errno == EBADF)
            break;  // not between these files: copy through a buffer
        return Errno();
    }
    return CopyThroughBuffer(source, copied, progress);
}

FileError OpenFile::CopyThroughBuffer(OpenFile& source, std::uint64_t& copied, const CopyProgress& progress)
{
    thread_local std::unique_ptr<char[]> buffer;
    if (!buffer)
        buffer.reset(new char[kBufferSize]);
    for (;;) {
        if (progress && !progress(copied))
            return {FileErrorKind::Cancelled, ECANCELED, "cancelled"};
        const ssize_t got = ::read(source.m_fd, buffer.get(), kBufferSize);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return Errno();
        }
        if (got == 0)
            return {};
        const char* p = buffer.get();
        std::size_t left = static_cast<std::size_t>(got);
        while (left > 0) {
            const ssize_t put = ::write(m_fd, p, left);
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return Errno();
            }
            p += put;
            left -= static_cast<std::size_t>(put);
        }
        copied += static_cast<std::uint64_t>(got);
    }
}

FileError OpenFile::Finish(std::uint32_t mode, FileTime accessed, FileTime modified)
{
    FileError result;
    const timespec times[2] = {Spec(accessed), Spec(modified)};
    if (::fchmod(m_fd, static_cast<mode_t>(mode & 07777)) != 0 || ::futimens(m_fd, times) != 0)
        result = Errno();
    if (::close(m_fd) != 0 && !result)
        result = Errno();
    m_fd = -1;
    return result;
}

FileError CopyFileInto(OpenFile& source, const EntryInfo& info, const Folder& folder, const std::string& name,
                       bool replace, const std::function<std::string()>& tempName, const CopyProgress& progress,
                       CopyStep* failedAt)
{
    // Each name is random, so only a folder filled on purpose takes more than one.
    constexpr int kAttempts = 64;
    OpenFile out;
    std::string temp;
    FileError e;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temp = tempName();
        e = out.CreateExclusive(folder, temp);
        if (e.kind != FileErrorKind::Exists)
            break;
    }
    if (e) {
        if (failedAt)
            *failedAt = CopyStep::Create;
        return e;
    }
    e = out.CopyFrom(source, progress);
    // Group and others get no more than the source gives them; set-id bits
    // are not carried, as the copy belongs to whoever makes it.
    if (!e)
        e = out.Finish(info.mode & 0777, info.accessed, info.modified);
    if (!e)
        e = folder.Rename(temp, name, replace);
    if (e) {
        out.Close();
        folder.Remove(temp);
        if (failedAt)
            *failedAt = CopyStep::Write;
    }
    return e;
}

bool RandomBytes(void* data, std::size_t n)
{
    auto* p = static_cast<unsigned char*>(data);
    while (n > 0) {
        const ssize_t got = ::getrandom(p, n, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

std::string RandomHex(std::size_t bytes)
{
    std::vector<unsigned char> random(bytes);
    RandomBytes(random.data(), random.size());
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes * 2);
    for (unsigned char b : random) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

} // namespace platform
