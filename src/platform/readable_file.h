#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/files.h"

namespace platform {

// A file opened for reading by a worker that must never wait on what is not
// a plain file: a FIFO named like a picture would block its reader for good.
// Unless asked, the name itself must not be a link, which may lead out of a
// location.
class ReadableFile {
public:
    ReadableFile() = default;
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    // NotRegularFile for a folder, FIFO, device or socket, decided on the
    // open descriptor (no wait for a writer); an error for a link at `path`
    // unless `followLink`.
    FileError Open(const std::filesystem::path& path, bool followLink = false);
    // Valid until this object goes; reading through it never blocks on a
    // pipe, only on the file system itself.
    int Descriptor() const { return m_fd; }
    std::uint64_t Size() const { return m_size; }

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

} // namespace platform
