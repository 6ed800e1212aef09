#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace platform {

enum class FileErrorKind {
    None,
    NotFound,
    AccessDenied,
    DiskFull,
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

// Sequential reader of a whole file whose size is known up front, so that
// parsers can refuse lengths the file cannot hold.
class FileReader {
public:
    FileReader();
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    FileError Open(const std::filesystem::path& path);
    std::uint64_t Size() const { return m_size; }
    // Reads up to n bytes; returns how many were read (0 at the end) or -1 with
    // error() set.
    std::ptrdiff_t Read(void* buffer, std::size_t n);
    const FileError& Error() const { return m_error; }

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    FileError m_error;
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

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temp;
    int m_fd = -1;
    FileError m_error;
};

// Copies a whole file, replacing the target when it exists.
FileError CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

bool FileExists(const std::filesystem::path& path);

// The report for one of the system's error numbers.
FileError FileErrorFromCode(int code);

// The file a path names once symbolic links are followed; the path itself
// when it does not exist or cannot be resolved. Copies kept beside a file
// (backups) belong beside the real file, which is the one that is replaced.
std::filesystem::path ResolveLinks(const std::filesystem::path& path);

} // namespace platform
