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

// Where reading takes its bytes. Size() is known before reading starts so that
// no count or length can ask for more than the rest of the input.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Up to n bytes; 0 at the end. Throws ArchiveError on a read failure.
    virtual std::size_t Read(void* buffer, std::size_t n) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Throws ArchiveError when the bytes cannot be written.
    virtual void Write(const void* data, std::size_t n) = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size) : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}
    std::uint64_t Size() const override { return m_size; }
    std::size_t Read(void* buffer, std::size_t n) override;

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
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
    explicit Archive(ByteSource& source);  // loading
    explicit Archive(ByteSink& sink);      // storing
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool IsStoring() const { return m_sink != nullptr; }
    bool IsLoading() const { return m_source != nullptr; }

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

    // Writes out what is still buffered.
    void Flush();

private:
    void Fill(std::size_t need);
    void ReadRaw(void* out, std::size_t n);
    void WriteRaw(const void* data, std::size_t n);
    template <typename T>
    T ReadLittle();
    std::uint8_t ReadByte();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::uint64_t ReadU64();
    [[noreturn]] void Fail(ArchiveCause cause, std::uint64_t offset, const std::string& what) const;

    static constexpr std::size_t kBufferSize = 1 << 18;

    ByteSource* m_source = nullptr;
    ByteSink* m_sink = nullptr;
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_pos = 0;        // next byte in the buffer
    std::size_t m_end = 0;        // bytes valid in the buffer (loading)
    std::uint64_t m_consumed = 0; // bytes before the buffer's start
    std::uint64_t m_total = 0;    // size of the input (loading)
    std::uint32_t m_schema = 0;
};

} // namespace config
