#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace platform {

enum class FileErrorKind {
    None,
    NotFound,
    AccessDenied,
    DiskFull,
    OutOfMemory,
    NotRegularFile,  // a folder, FIFO, device or socket where a file was expected
    Other,
    Exists,     // something, a link included, already has that name
    Cancelled,  // stopped on request before the end
};

struct FileError {
    FileErrorKind kind = FileErrorKind::None;
    int code = 0;          // the system's error number
    std::string message;   // the system's text for it, for reports

    explicit operator bool() const { return kind != FileErrorKind::None; }
};

// What a file's content is known by on disk: a save by rename gives a new
// inode, a write in place a new size or time. Taken with fstat on a fresh
// descriptor, since a cached stat on a network file system can be old.
struct FileIdentity {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t mtimeSeconds = 0;
    std::int64_t mtimeNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file `path` names now. A file that is not there gives
// exists == false and no error.
FileError IdentifyFile(const std::filesystem::path& path, FileIdentity& out);

// Memory for a whole file's bytes. Large files get memory of their own on
// huge pages where the system offers them: touching tens of megabytes page
// by page costs several times the read itself.
struct FileBytesRelease {
    std::size_t mapped = 0;  // 0: taken with new[]
    void operator()(unsigned char* p) const;
};
using FileBytes = std::unique_ptr<unsigned char[], FileBytesRelease>;
// Null when the memory cannot be had.
FileBytes AllocateFileBytes(std::size_t n);

// A whole regular file read in one go, and the identity of the descriptor it
// was read through.
struct WholeFile {
    FileBytes bytes;
    std::size_t size = 0;
    FileIdentity identity;
};

// One try at a read; a transient failure (a stale handle on a network file
// system, a file that ended early or grew because it was replaced while it
// was read) may pass when the file is opened by name again.
struct ReadAttempt {
    FileError error;
    bool transient = false;
};

// How long transient failures are tried again: for up to `budget` after the
// first try, and at least `minTries` times however slow each read is, with
// pauses that start short and double up to `maxPause`. A
// replaced file on a network file system can show its old size or a stale
// handle for a while, so the limit is time, not a number of tries. The clock
// and the pause are seams for tests; left empty they are the steady clock
// and a real sleep.
struct RetryPolicy {
    std::chrono::milliseconds budget{2000};
    int minTries = 5;
    std::chrono::milliseconds firstPause{20};
    std::chrono::milliseconds maxPause{250};
    std::function<std::chrono::steady_clock::time_point()> now;
    std::function<void(std::chrono::milliseconds)> pause;
};

// Runs `attempt` until it succeeds, fails for good, or the budget is spent;
// returns the last failure.
FileError RetryTransient(const std::function<ReadAttempt()>& attempt, const RetryPolicy& policy = {});

// Reads a whole regular file; anything else (FIFO, device, folder) is
// refused at once, without waiting on it. Transient failures are retried.
ReadAttempt ReadWholeFileOnce(const std::filesystem::path& path, WholeFile& out);
FileError ReadWholeFile(const std::filesystem::path& path, WholeFile& out, const RetryPolicy& policy = {});

// Sequential reader of a whole regular file whose size is known up front, so
// that parsers can refuse lengths the file cannot hold.
class FileReader {
public:
    FileReader();
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    FileError Open(const std::filesystem::path& path);
    // One try, for callers that retry the open and the reads together.
    ReadAttempt OpenOnce(const std::filesystem::path& path);
    std::uint64_t Size() const { return m_size; }
    // The identity of the descriptor opened.
    const FileIdentity& Identity() const { return m_identity; }
    // Reads up to n bytes; returns how many were read (0 at the end) or -1 with
    // error() set.
    std::ptrdiff_t Read(void* buffer, std::size_t n);
    const FileError& Error() const { return m_error; }
    // Whether the last failure may pass when the file is opened again.
    bool ErrorTransient() const { return m_transient; }
    // A transient failure when the file's size or time is no longer what it
    // was at the open: written in place while it was read.
    ReadAttempt CheckUnchanged();

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    FileIdentity m_identity;
    FileError m_error;
    bool m_transient = false;
};

// Writes a file so that readers see either the old or the whole new content:
// a temporary file beside the target, flushed to disk, then renamed over it.
// Until Commit succeeds the target is untouched; destroying an uncommitted
// writer removes the temporary file.
class AtomicFileWriter {
public:
    AtomicFileWriter();
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    FileError Begin(const std::filesystem::path& target);
    bool Write(const void* data, std::size_t n);   // false: see Error()
    FileError Commit();
    void Abort();
    const FileError& Error() const { return m_error; }
    // After Commit: the identity of the file written, now at the target.
    const FileIdentity& Written() const { return m_written; }

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temp;
    int m_fd = -1;
    std::uint64_t m_offset = 0;    // written and handed to the disk
    std::uint64_t m_unsynced = 0;  // written after that
    FileError m_error;
    FileIdentity m_written;
};

// Removes what saves that were killed midway left beside `target`: regular
// files of the writer's own naming ("<name>.XXXXXX"), owned by this user and
// unchanged for longer than `age`. Links are never followed. Returns how many
// were removed.
std::size_t RemoveStaleTempFiles(const std::filesystem::path& target, std::chrono::seconds age);

// The save lock as a save takes it: one try at a time, so that the wait
// between tries is the caller's (a window stays responsive meanwhile).
class SaveLockHolder {
public:
    virtual ~SaveLockHolder() = default;
    // One try that never waits. `busy` tells that another holder has the
    // lock (the result is then an error too) and a later try may pass.
    virtual FileError TryAcquire(const std::filesystem::path& lockFile, bool& busy) = 0;
    virtual void Release() = 0;
};

// An advisory lock on a lock file, held by one holder at a time across
// processes and machines (fcntl locks travel over network file systems).
// The lock file is created when missing and never removed, since removing
// it would let two holders lock different files.
class SaveLock : public SaveLockHolder {
public:
    SaveLock() = default;
    ~SaveLock() override;
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // A file system that has no locks at all gives success without a lock
    // (Held() false).
    FileError TryAcquire(const std::filesystem::path& lockFile, bool& busy) override;
    // Tries until `wait` has passed, sleeping between tries: for programs
    // without a window.
    FileError Acquire(const std::filesystem::path& lockFile, std::chrono::milliseconds wait);
    void Release() override;
    bool Held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

// The report of a save that gave up after waiting `waited` for the lock.
FileError SaveLockStillBusy(std::chrono::milliseconds waited);

// Copies a whole file, replacing the target when it exists.
FileError CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

bool FileExists(const std::filesystem::path& path);

// Creates one folder; its parent must exist, and an existing folder is an
// error (FileErrorKind::Exists, code EEXIST here).
FileError CreateDirectory(const std::filesystem::path& path);

// The report for one of the system's error numbers.
FileError FileErrorFromCode(int code);

// The file a path names once symbolic links are followed; the path itself
// when it does not exist or cannot be resolved. Copies kept beside a file
// (backups) belong beside the real file, which is the one that is replaced.
std::filesystem::path ResolveLinks(const std::filesystem::path& path);

// Whether two paths name the same file, or the same place for a file not
// made yet; by their text when neither tells.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace platform
