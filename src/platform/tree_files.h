#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"

// Folders and files reached by name from an open folder, for copying trees
// in folders that other users may write: nothing here follows a symbolic
// link at a name unless asked to, so a link planted in such a folder is seen
// as a link, never written through.
namespace platform {

struct FileTime {
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    bool operator==(const FileTime&) const = default;
};

enum class EntryType { Missing, File, Folder, Link, Fifo, Socket, Device, Other };

struct EntryInfo {
    EntryType type = EntryType::Missing;
    std::uint64_t size = 0;
    std::uint32_t mode = 0;  // permission bits
    FileTime accessed;
    FileTime modified;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

class Folder {
public:
    Folder() = default;
    ~Folder();
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

    // Opens a folder named by a whole path; links on the way are followed,
    // as the path is the caller's own choice.
    static FileError Open(const std::filesystem::path& path, Folder& out);
    // A folder inside this one. A link at `name` is refused unless `follow`.
    FileError OpenChild(const std::string& name, bool follow, Folder& out) const;
    // The names inside, without "." and "..", in no particular order.
    FileError List(std::vector<std::string>& names) const;
    // What is at `name`; type Missing, without an error, when nothing is.
    FileError Stat(const std::string& name, bool follow, EntryInfo& info) const;
    // The folder itself.
    FileError Info(EntryInfo& info) const;

    // A new folder, open to its owner only until SetModeAndTimes.
    FileError MakeFolder(const std::string& name) const;
    FileError SetModeAndTimes(std::uint32_t mode, FileTime accessed, FileTime modified) const;
    FileError ReadLink(const std::string& name, std::string& text) const;
    // A new link; Exists when the name is taken.
    FileError MakeLink(const std::string& text, const std::string& name) const;
    FileError SetLinkTimes(const std::string& name, FileTime accessed, FileTime modified) const;
    // Renames within this folder, replacing whatever file or link is at `to`;
    // without `replace`, anything at `to` is kept and the result is Exists.
    FileError Rename(const std::string& from, const std::string& to, bool replace = true) const;
    // Removes a file or link (never a folder).
    FileError Remove(const std::string& name) const;
    // Whether a symbolic link can be made here (some file systems, such as
    // FAT or a client drive mapped by a terminal server, cannot hold one).
    bool HoldsLinks(const std::string& probeName) const;

    int Descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};

// Called with the bytes copied so far; false stops the copy (Cancelled).
using CopyProgress = std::function<bool(std::uint64_t copied)>;

class OpenFile {
public:
    OpenFile() = default;
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    // A regular file for reading. A link at `name` is refused unless
    // `follow`; anything but a regular file (a FIFO planted where a file was,
    // say) is refused without blocking.
    FileError OpenForReading(const Folder& folder, const std::string& name, bool follow, EntryInfo& info);
    // A new file only its owner may use, at a name nothing holds yet: Exists
    // when anything, a dangling link included, is there.
    FileError CreateExclusive(const Folder& folder, const std::string& name);
    // Copies what remains of `source` to its end, in the kernel where the
    // file systems allow it, else through a buffer.
    FileError CopyFrom(OpenFile& source, const CopyProgress& progress);
    // Gives the written file its permission bits and times, then closes it;
    // a write error the system reports only at close is returned too.
    FileError Finish(std::uint32_t mode, FileTime accessed, FileTime modified);
    void Close();

private:
    FileError CopyThroughBuffer(OpenFile& source, std::uint64_t& copied, const CopyProgress& progress);

    int m_fd = -1;
    std::uint64_t m_size = 0;  // at open, for a file being read
};

// Where CopyFileInto stopped when it failed.
enum class CopyStep { Create, Write };

// Copies what remains of `source` (opened for reading, `info` its facts) to
// `name` in `folder`: written under a temporary name from `tempName` created
// exclusively beside it, given the source's permission bits (without set-id
// bits) and times, then renamed over `name`. So a link at `name` is replaced,
// never written through, and nothing half-written ever carries the name.
// Without `replace` an entry at `name` is kept (Exists). On failure the
// temporary file is gone and `failedAt`, when given, says where it stopped.
FileError CopyFileInto(OpenFile& source, const EntryInfo& info, const Folder& folder, const std::string& name,
                       bool replace, const std::function<std::string()>& tempName, const CopyProgress& progress,
                       CopyStep* failedAt = nullptr);

// Bytes from the system's random source; false when it gives none.
bool RandomBytes(void* data, std::size_t n);
// `bytes` random bytes as lower-case hex digits, for unpredictable names.
std::string RandomHex(std::size_t bytes);

} // namespace platform
