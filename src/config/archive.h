#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

// A small stand-in for the binary archive the configuration has always been
// written with: little-endian integers, one-byte bools and length-prefixed
// strings, read or written through one object whose direction the records
// ask for (IsStoring / IsLoading), so that each record has a single Serialize.
namespace config {

// Why a read or write stopped. The first four mirror the archive causes the
// document reports; the last ones come from the file system.
enum class ArchiveCause {
    EndOfFile,        // the file ends before the layout is complete
    InvalidArgument,  // a count that does not fit a signed 32-bit number
    OutOfMemory,      // elements that could not be allocated
    Generic,          // a string length beyond what the format allows
    FileNotFound,
    AccessDenied,
    DiskFull,
    FileError,        // any other failure of the file system
};

const char* CauseName(ArchiveCause cause);

class ArchiveError : public std::runtime_error {
public:
    ArchiveError(ArchiveCause cause, std::uint64_t offset, const std::string& what);
    ArchiveCause Cause() const { return m_cause; }
    std::uint64_t Offset() const { return m_offset; }

private:
    ArchiveCause m_cause;
    std::uint64_t m_offset;
};

// Bytes already in memory, parsed in place: nothing is copied out of them
// but the strings, which are decoded straight into the records.
class MemorySource {
public:
    MemorySource(const void* data, std::size_t size) : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}
    const unsigned char* Data() const { return m_data; }
    std::uint64_t Size() const { return m_size; }

private:
    const unsigned char* m_data;
    std::size_t m_size;
};

// Bytes read piece by piece from an input of known size, so that a reader
// holds a window of them instead of the whole input.
class ChunkSource {
public:
    virtual ~ChunkSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to n of the next bytes; 0 at the end. Throws ArchiveError when
    // the input cannot be read.
    virtual std::size_t Read(void* data, std::size_t n) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Throws ArchiveError when the bytes cannot be written.
    virtual void Write(const void* data, std::size_t n) = 0;
};

class StringSink final : public ByteSink {
public:
    void Write(const void* data, std::size_t n) override { m_bytes.append(static_cast<const char*>(data), n); }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

class Archive {
public:
    explicit Archive(const MemorySource& source);  // loading
    explicit Archive(ChunkSource& source);         // loading through a window
    explicit Archive(ByteSink& sink);      // storing
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool IsStoring() const { return m_sink != nullptr; }
    bool IsLoading() const { return m_sink == nullptr; }

    // Format number passed down from the entry collection to each location.
    std::uint32_t GetObjectSchema() const { return m_schema; }
    void SetObjectSchema(std::uint32_t schema) { m_schema = schema; }

    // Offset of the next byte to be read or written.
    std::uint64_t Position() const { return m_consumed + m_pos; }
    std::uint64_t Remaining() const { return m_total - Position(); }

    Archive& operator<<(std::int32_t v);
    Archive& operator<<(std::uint32_t v);
    Archive& operator<<(bool v);
    Archive& operator<<(const std::u16string& s);
    Archive& operator>>(std::int32_t& v);
    Archive& operator>>(std::uint32_t& v);
    Archive& operator>>(bool& v);
    Archive& operator>>(std::u16string& s);

    // Reads an element count and checks it before anything is allocated: it
    // must fit a signed 32-bit number and the rest of the input must be able
    // to hold that many elements of at least minElementSize bytes each.
    std::size_t ReadCount(const char* what, std::size_t minElementSize);

    // Passing over what is not needed, with the checks and error offsets of
    // reading it: a string by its stored length, and `count` fixed fields of
    // `size` bytes each.
    void SkipString();
    void SkipFields(std::size_t size, std::size_t count);
    void SkipBool();

    // Whether every string and one-byte bool read so far is in the form the
    // writer gives it (UTF-16 with the shortest length, 0 or 1), so that
    // writing what was read would give the same bytes.
    bool WriterForm() const { return m_writerForm; }

    // Writes out what is still buffered.
    void Flush();

private:
    // Makes sure the next n bytes are in memory.
    void Need(std::size_t n);
    void Refill(std::size_t n);
    // Passes over n bytes the caller has checked are there.
    void Advance(std::uint64_t n);
    void WriteRaw(const void* data, std::size_t n);
    template <typename T>
    T ReadLittle();
    std::uint8_t ReadByte();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::uint64_t ReadU64();
    // Reads a string's prefix: its length in characters, and whether they
    // take two bytes each. The length is checked against what remains.
    std::uint64_t ReadStringPrefix(bool& wide);
    std::uint64_t CheckStringBytes(std::uint64_t start, std::uint64_t length, bool wide);
    std::uint64_t CheckStringRoom(std::uint64_t start, std::uint64_t length, bool wide) const;
    [[noreturn]] void Fail(ArchiveCause cause, std::uint64_t offset, const std::string& what) const;

    static constexpr std::size_t kBufferSize = 1 << 18;

    // Loading: the whole input, or a window of it over m_buffer.
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;        // bytes in m_data
    std::uint64_t m_total = 0;     // bytes in the whole input
    ChunkSource* m_chunks = nullptr;
    std::size_t m_capacity = 0;    // of the window
    // Storing: a buffer in front of the sink.
    ByteSink* m_sink = nullptr;
    std::unique_ptr<unsigned char[]> m_buffer;
    std::uint64_t m_consumed = 0; // bytes read or written before the buffer's start
    std::size_t m_pos = 0;        // next byte in the input or the buffer
    std::uint32_t m_schema = 0;
    bool m_writerForm = true;
};

} // namespace config
