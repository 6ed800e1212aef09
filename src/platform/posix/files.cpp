#include "platform/files.h"

#include "platform/system_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

FileError ErrorFromErrno(int code)
{
    FileError e;
    e.code = code;
    e.message = GetSystemErrorText(code);
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
    case ENOMEM:
        e.kind = FileErrorKind::OutOfMemory;
        break;
    case EEXIST:
        e.kind = FileErrorKind::Exists;
        break;
    default:
        e.kind = FileErrorKind::Other;
        break;
    }
    return e;
}

FileError Failure(FileErrorKind kind, int code, std::string message)
{
    FileError e;
    e.kind = kind;
    e.code = code;
    e.message = std::move(message);
    return e;
}

// Every user of the server reads the configuration, so a file that did not
// exist before is created readable by all; an existing one keeps its bits.
constexpr mode_t kNewFileMode = 0644;

// Open file description locks belong to the descriptor, not the process:
// two documents of one process exclude each other too, and closing another
// descriptor of the file does not drop the lock. They conflict with classic
// fcntl locks held elsewhere.
#ifdef F_OFD_SETLK
constexpr int kSetLockCommand = F_OFD_SETLK;
#else
constexpr int kSetLockCommand = F_SETLK;
#endif

constexpr std::chrono::milliseconds kLockPoll{50};

FileIdentity IdentityOf(const struct stat& st)
{
    FileIdentity id;
    id.exists = true;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<std::uint64_t>(st.st_size);
    id.mtimeSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    id.mtimeNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return id;
}

// A stale handle means the file was replaced on the server since it was
// looked up: opening it by name again finds the new one.
bool IsTransient(int code) { return code == ESTALE; }

// Opens a regular file for reading without ever blocking: a FIFO would wait
// for a writer, and devices never end. On success `st` describes the file.
ReadAttempt OpenRegular(const std::filesystem::path& path, int& fd, struct stat& st)
{
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int code = errno;
        return {ErrorFromErrno(code), IsTransient(code)};
    }
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        ::close(fd);
        fd = -1;
        return {ErrorFromErrno(code), IsTransient(code)};
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        return {Failure(FileErrorKind::NotRegularFile, EINVAL,
                        S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file"),
                false};
    }
    // Reads of a regular file never block; clear the flag all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return {};
}

// Reads until n bytes or the end; -1 with errno set on failure.
std::ptrdiff_t ReadFully(int fd, unsigned char* buffer, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(fd, buffer + done, n - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::ptrdiff_t>(done);
}

// "<name>." followed by the six letters or digits mkostemp puts there.
bool IsTempNameOf(const std::string& name, const std::string& prefix)
{
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

} // namespace

FileError IdentifyFile(const std::filesystem::path& path, FileIdentity& out)
{
    out = {};
    return RetryTransient([&]() -> ReadAttempt {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            const int code = errno;
            if (code == ENOENT)
                return {};
            return {ErrorFromErrno(code), IsTransient(code)};
        }
        struct stat st {};
        const int rc = ::fstat(fd, &st);
        const int code = errno;
        ::close(fd);
        if (rc != 0)
            return {ErrorFromErrno(code), IsTransient(code)};
        out = IdentityOf(st);
        return {};
    });
}

void FileBytesRelease::operator()(unsigned char* p) const
{
    if (mapped == 0)
        delete[] p;
    else
        ::munmap(p, mapped);
}

FileBytes AllocateFileBytes(std::size_t n)
{
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    if (n < 2 * kHuge)
        return FileBytes(new (std::nothrow) unsigned char[n]);
    // Aligned to a huge page so that the whole range can be backed by them:
    // map one more, then give back the unaligned head and the tail.
    if (n > SIZE_MAX - 2 * kHuge)
        return FileBytes();
    const std::size_t length = (n + kHuge - 1) / kHuge * kHuge;
    void* raw = ::mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return FileBytes(new (std::nothrow) unsigned char[n]);
    auto* start = static_cast<unsigned char*>(raw);
    const std::size_t head = (kHuge - reinterpret_cast<std::uintptr_t>(start) % kHuge) % kHuge;
    if (head > 0)
        ::munmap(start, head);
    ::munmap(start + head + length, kHuge - head);
    // Only advice: without huge pages the memory works as ordinary pages.
    ::madvise(start + head, length, MADV_HUGEPAGE);
    return FileBytes(start + head, FileBytesRelease{length});
}

ReadAttempt ReadWholeFileOnce(const std::filesystem::path& path, WholeFile& out)
{
    out = {};
    int fd = -1;
    struct stat st {};
    if (ReadAttempt opened = OpenRegular(path, fd, st); opened.error)
        return opened;
    out.identity = IdentityOf(st);
    const auto expected = static_cast<std::uint64_t>(st.st_size);
    ReadAttempt result;
    if (expected > static_cast<std::uint64_t>(PTRDIFF_MAX) - 1) {
        result.error = ErrorFromErrno(ENOMEM);
    } else {
        // One byte more than fstat said shows a file that grew meanwhile.
        const auto room = static_cast<std::size_t>(expected) + 1;
        out.bytes = AllocateFileBytes(room);
        if (!out.bytes) {
            result.error = ErrorFromErrno(ENOMEM);
        } else {
            const std::ptrdiff_t got = ReadFully(fd, out.bytes.get(), room);
            if (got < 0) {
                const int code = errno;
                result = {ErrorFromErrno(code), IsTransient(code)};
            } else if (static_cast<std::uint64_t>(got) != expected) {
                result.error = Failure(FileErrorKind::Other, EIO,
                                       "the file changed while it was read (" + std::to_string(got) + " bytes of "
                                           + std::to_string(expected) + ")");
                result.transient = true;
            } else {
                out.size = static_cast<std::size_t>(got);
            }
        }
    }
    ::close(fd);
    if (result.error) {
        out.bytes.reset();
        out.size = 0;
    }
    return result;
}

FileError ReadWholeFile(const std::filesystem::path& path, WholeFile& out, const RetryPolicy& policy)
{
    return RetryTransient([&] { return ReadWholeFileOnce(path, out); }, policy);
}

FileReader::FileReader() = default;

FileReader::~FileReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileError FileReader::Open(const std::filesystem::path& path)
{
    if (FileError e = RetryTransient([&] { return OpenOnce(path); }))
        return m_error = e;
    return {};
}

ReadAttempt FileReader::OpenOnce(const std::filesystem::path& path)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_error = {};
    m_transient = false;
    m_identity = {};
    m_size = 0;
    int fd = -1;
    struct stat st {};
    ReadAttempt opened = OpenRegular(path, fd, st);
    if (opened.error) {
        m_error = opened.error;
        m_transient = opened.transient;
        return opened;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    m_identity = IdentityOf(st);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return {};
}

ReadAttempt FileReader::CheckUnchanged()
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
        const int code = m_fd < 0 ? EBADF : errno;
        return {m_error = ErrorFromErrno(code), m_transient = IsTransient(code)};
    }
    if (IdentityOf(st) == m_identity)
        return {};
    m_transient = true;
    m_error = Failure(FileErrorKind::Other, EIO, "the file changed while it was read");
    return {m_error, true};
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
        m_transient = IsTransient(errno);
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
    m_written = {};
    m_offset = 0;
    m_unsynced = 0;
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
    // Large writes go in slices whose write-back starts at once, so that the
    // disk works while the rest is written and the sync in Commit waits for
    // the last slice only.
    constexpr std::size_t kSlice = std::size_t(8) << 20;
    auto p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t put = ::write(m_fd, p, std::min(n, kSlice));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            m_error = ErrorFromErrno(errno);
            return false;
        }
        p += put;
        n -= static_cast<std::size_t>(put);
        m_unsynced += static_cast<std::size_t>(put);
        if (m_unsynced >= kSlice) {
            ::sync_file_range(m_fd, static_cast<off_t>(m_offset), static_cast<off_t>(m_unsynced), SYNC_FILE_RANGE_WRITE);
            m_offset += m_unsynced;
            m_unsynced = 0;
        }
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
    // Taken now that the data is on disk: rename keeps inode, size and time.
    struct stat st {};
    m_written = ::fstat(m_fd, &st) == 0 ? IdentityOf(st) : FileIdentity{};
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

std::size_t RemoveStaleTempFiles(const std::filesystem::path& target, std::chrono::seconds age)
{
    const std::filesystem::path real = ResolveLinks(target);
    const std::string prefix = real.filename().string() + ".";
    const std::filesystem::path folder = real.has_parent_path() ? real.parent_path() : std::filesystem::path(".");
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    const int dfd = ::dirfd(dir);
    const uid_t me = ::geteuid();
    const std::time_t now = std::time(nullptr);
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTempNameOf(entry->d_name, prefix))
            continue;
        struct stat st {};
        if (::fstatat(dfd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
            || st.st_uid != me || now - st.st_mtim.tv_sec <= age.count())
            continue;
        // Swapped for a link meanwhile, the link itself would go: unlink never follows.
        if (::unlinkat(dfd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

SaveLock::~SaveLock() { Release(); }

void SaveLock::Release()
{
    // Closing the descriptor drops the lock.
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_held = false;
}

FileError SaveLock::TryAcquire(const std::filesystem::path& lockFile, bool& busy)
{
    Release();
    busy = false;
    constexpr int kFlags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int fd = ::open(lockFile.c_str(), kFlags | O_CREAT | O_EXCL, 0664);
    const bool created = fd >= 0;
    if (!created && errno == EEXIST)
        fd = ::open(lockFile.c_str(), kFlags);
    if (fd < 0)
        return ErrorFromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Failure(FileErrorKind::NotRegularFile, EINVAL, "is not a regular file");
    }
    // Every administrator must be able to lock it, whatever this one's umask.
    // Only a file made here: an existing name may be a link to anything.
    if (created)
        (void)::fchmod(fd, 0664);

    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    for (;;) {
        if (::fcntl(fd, kSetLockCommand, &lock) == 0) {
            m_fd = fd;
            m_held = true;
            return {};
        }
        const int code = errno;
        if (code == EINTR)
            continue;
        if (code == ENOLCK || code == EOPNOTSUPP || code == ENOSYS) {
            // Locks are not to be had here at all; the save goes on with its
            // check alone rather than never.
            m_fd = fd;
            return {};
        }
        ::close(fd);
        busy = code == EACCES || code == EAGAIN;
        return busy ? Failure(FileErrorKind::Other, code, "still locked by another save") : ErrorFromErrno(code);
    }
}

FileError SaveLock::Acquire(const std::filesystem::path& lockFile, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        bool busy = false;
        FileError e = TryAcquire(lockFile, busy);
        if (!busy)
            return e;
        if (std::chrono::steady_clock::now() >= deadline)
            return SaveLockStillBusy(wait);
        std::this_thread::sleep_for(kLockPoll);
    }
}

FileError SaveLockStillBusy(std::chrono::milliseconds waited)
{
    return Failure(FileErrorKind::Other, EAGAIN,
                   "still locked by another save after "
                       + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(waited).count())
                       + " seconds; nothing was saved");
}

std::filesystem::path ResolveLinks(const std::filesystem::path& path)
{
    std::error_code ec;
    auto resolved = std::filesystem::canonical(path, ec);
    return ec ? path : resolved;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    const auto ca = std::filesystem::weakly_canonical(a, ec);
    if (ec)
        return a == b;
    const auto cb = std::filesystem::weakly_canonical(b, ec);
    return ec ? a == b : ca == cb;
}

FileError FileErrorFromCode(int code)
{
    return ErrorFromErrno(code);
}

bool FileExists(const std::filesystem::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

FileError CreateDirectory(const std::filesystem::path& path)
{
    // The folder gets what the user's umask allows, as any new folder does.
    if (::mkdir(path.c_str(), 0777) != 0)
        return ErrorFromErrno(errno);
    return {};
}

} // namespace platform
