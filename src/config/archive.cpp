#include "config/archive.h"
#include "config/text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace config {

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);

namespace {

template <typename T>
T FromLittle(T v)
{
    if constexpr (std::endian::native == std::endian::big) {
        T r{};
        auto* src = reinterpret_cast<unsigned char*>(&v);
        auto* dst = reinterpret_cast<unsigned char*>(&r);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            dst[i] = src[sizeof(T) - 1 - i];
        return r;
    } else {
        return v;
    }
}

std::string Describe(std::uint64_t offset)
{
    return "at byte offset " + std::to_string(offset);
}

} // namespace

const char* CauseName(ArchiveCause cause)
{
    switch (cause) {
    case ArchiveCause::EndOfFile: return "unexpected end of file";
    case ArchiveCause::InvalidArgument: return "invalid count";
    case ArchiveCause::OutOfMemory: return "out of memory";
    case ArchiveCause::Generic: return "invalid string length";
    case ArchiveCause::FileNotFound: return "file not found";
    case ArchiveCause::AccessDenied: return "access denied";
    case ArchiveCause::DiskFull: return "disk full";
    case ArchiveCause::FileError: return "file error";
    }
    return "error";
}

ArchiveError::ArchiveError(ArchiveCause cause, std::uint64_t offset, const std::string& what)
    : std::runtime_error(what), m_cause(cause), m_offset(offset)
{
}

Archive::Archive(const MemorySource& source)
    : m_data(source.Data()), m_size(static_cast<std::size_t>(source.Size())), m_total(source.Size())
{
}

Archive::Archive(ChunkSource& source)
    : m_total(source.Size()), m_chunks(&source), m_capacity(kBufferSize), m_buffer(new unsigned char[kBufferSize])
{
    m_data = m_buffer.get();
}

Archive::Archive(ByteSink& sink) : m_sink(&sink), m_buffer(new unsigned char[kBufferSize])
{
}

Archive::~Archive() = default;

void Archive::Fail(ArchiveCause cause, std::uint64_t offset, const std::string& what) const
{
    throw ArchiveError(cause, offset, what + " " + Describe(offset));
}

void Archive::Need(std::size_t n)
{
    if (m_size - m_pos >= n)
        return;
    if (!m_chunks || Remaining() < n)
        Fail(ArchiveCause::EndOfFile, Position(), "the file ends inside a field of " + std::to_string(n) + " bytes");
    Refill(n);
}

void Archive::Refill(std::size_t n)
{
    const std::size_t kept = m_size - m_pos;
    if (n > m_capacity) {
        // Only a string longer than the window gets here; the input holds it.
        const std::size_t grown = std::max(n, m_capacity * 2);
        std::unique_ptr<unsigned char[]> wider(new unsigned char[grown]);
        std::memcpy(wider.get(), m_data + m_pos, kept);
        m_buffer = std::move(wider);
        m_capacity = grown;
    } else if (kept > 0) {
        std::memmove(m_buffer.get(), m_data + m_pos, kept);
    }
    m_data = m_buffer.get();
    m_consumed += m_pos;
    m_pos = 0;
    m_size = kept;
    while (m_size < n) {
        // Never past the size the input had when it was opened, as a whole
        // read would not be.
        const std::uint64_t left = m_total - m_consumed - m_size;
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(m_capacity - m_size, left));
        const std::size_t got = want == 0 ? 0 : m_chunks->Read(m_buffer.get() + m_size, want);
        if (got == 0)
            Fail(ArchiveCause::EndOfFile, Position() + m_size, "the file ends before its size");
        m_size += got;
    }
}

void Archive::Advance(std::uint64_t n)
{
    while (m_size - m_pos < n) {
        n -= m_size - m_pos;
        m_pos = m_size;
        Need(static_cast<std::size_t>(std::min<std::uint64_t>(n, m_capacity)));
    }
    m_pos += static_cast<std::size_t>(n);
}

std::uint8_t Archive::ReadByte()
{
    Need(1);
    return m_data[m_pos++];
}

template <typename T>
T Archive::ReadLittle()
{
    T v;
    Need(sizeof v);
    std::memcpy(&v, m_data + m_pos, sizeof v);
    m_pos += sizeof v;
    return FromLittle(v);
}

std::uint16_t Archive::ReadU16() { return ReadLittle<std::uint16_t>(); }
std::uint32_t Archive::ReadU32() { return ReadLittle<std::uint32_t>(); }
std::uint64_t Archive::ReadU64() { return ReadLittle<std::uint64_t>(); }

void Archive::WriteRaw(const void* data, std::size_t n)
{
    auto* src = static_cast<const unsigned char*>(data);
    if (n > kBufferSize - m_pos) {
        Flush();
        if (n >= kBufferSize) {
            m_sink->Write(src, n);
            m_consumed += n;
            return;
        }
    }
    std::memcpy(m_buffer.get() + m_pos, src, n);
    m_pos += n;
}

void Archive::Flush()
{
    if (m_sink && m_pos > 0) {
        m_sink->Write(m_buffer.get(), m_pos);
        m_consumed += m_pos;
        m_pos = 0;
    }
}

Archive& Archive::operator<<(std::int32_t v)
{
    return *this << static_cast<std::uint32_t>(v);
}

Archive& Archive::operator<<(std::uint32_t v)
{
    v = FromLittle(v);
    WriteRaw(&v, sizeof v);
    return *this;
}

Archive& Archive::operator<<(bool v)
{
    unsigned char b = v ? 1 : 0;
    WriteRaw(&b, 1);
    return *this;
}

Archive& Archive::operator<<(const std::u16string& s)
{
    // Always the UTF-16 form: tag FF FE FF, then the shortest length form.
    unsigned char prefix[19] = {0xFF, 0xFE, 0xFF};
    std::size_t len = 3;
    auto put16 = [&](std::uint16_t v) { v = FromLittle(v); std::memcpy(prefix + len, &v, 2); len += 2; };
    auto put32 = [&](std::uint32_t v) { v = FromLittle(v); std::memcpy(prefix + len, &v, 4); len += 4; };
    const std::uint64_t n = s.size();
    if (n < 0xFF) {
        prefix[len++] = static_cast<unsigned char>(n);
    } else {
        prefix[len++] = 0xFF;
        if (n < 0xFFFE) {
            put16(static_cast<std::uint16_t>(n));
        } else {
            put16(0xFFFF);
            if (n < 0xFFFFFFFF) {
                put32(static_cast<std::uint32_t>(n));
            } else {
                put32(0xFFFFFFFF);
                std::uint64_t v = FromLittle(n);
                std::memcpy(prefix + len, &v, 8);
                len += 8;
            }
        }
    }
    WriteRaw(prefix, len);
    if constexpr (std::endian::native == std::endian::little) {
        WriteRaw(s.data(), s.size() * 2);
    } else {
        for (char16_t c : s) {
            auto v = FromLittle(static_cast<std::uint16_t>(c));
            WriteRaw(&v, 2);
        }
    }
    return *this;
}

Archive& Archive::operator>>(std::int32_t& v)
{
    v = static_cast<std::int32_t>(ReadU32());
    return *this;
}

Archive& Archive::operator>>(std::uint32_t& v)
{
    v = ReadU32();
    return *this;
}

Archive& Archive::operator>>(bool& v)
{
    const std::uint8_t b = ReadByte();
    m_writerForm = m_writerForm && b <= 1;
    v = b != 0;
    return *this;
}

void Archive::SkipBool()
{
    bool ignored = false;
    *this >> ignored;
}

std::uint64_t Archive::ReadStringPrefix(bool& wide)
{
    const std::uint64_t start = Position();
    wide = false;
    std::uint64_t length = 0;
    std::uint8_t b = ReadByte();
    if (b < 0xFF)
        return CheckStringBytes(start, b, false);
    std::uint16_t w = ReadU16();
    if (w == 0xFFFE) {
        wide = true;
        b = ReadByte();
        if (b < 0xFF)
            return CheckStringBytes(start, b, true);
        w = ReadU16();
    }
    if (w < 0xFFFF) {
        length = w;
    } else {
        std::uint32_t d = ReadU32();
        if (d < 0xFFFFFFFF) {
            length = d;
        } else {
            length = ReadU64();
            if (length > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
                Fail(ArchiveCause::Generic, start, "string length " + std::to_string(length) + " is too large");
        }
    }
    return CheckStringBytes(start, length, wide);
}

std::uint64_t Archive::CheckStringBytes(std::uint64_t start, std::uint64_t length, bool wide)
{
    // The writer's form: the UTF-16 tag, then the shortest length field.
    const std::uint64_t shortest = length < 0xFF ? 4 : length < 0xFFFE ? 6 : length < 0xFFFFFFFF ? 10 : 18;
    m_writerForm = m_writerForm && wide && Position() - start == shortest;
    return CheckStringRoom(start, length, wide);
}

std::uint64_t Archive::CheckStringRoom(std::uint64_t start, std::uint64_t length, bool wide) const
{
    const std::uint64_t bytes = wide ? length * 2 : length;
    if (bytes > Remaining())
        Fail(ArchiveCause::EndOfFile, start,
             "string of " + std::to_string(length) + " characters needs " + std::to_string(bytes)
                 + " bytes but only " + std::to_string(Remaining()) + " remain");
    return length;
}

Archive& Archive::operator>>(std::u16string& s)
{
    const std::uint64_t start = Position();
    bool wide = false;
    const std::uint64_t length = ReadStringPrefix(wide);
    try {
        s.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        Fail(ArchiveCause::OutOfMemory, start, "string of " + std::to_string(length) + " characters");
    }
    Need(static_cast<std::size_t>(wide ? length * 2 : length));
    const unsigned char* p = m_data + m_pos;
    if (wide) {
        std::memcpy(s.data(), p, static_cast<std::size_t>(length) * 2);
        if constexpr (std::endian::native == std::endian::big) {
            for (auto& c : s)
                c = static_cast<char16_t>(FromLittle(static_cast<std::uint16_t>(c)));
        }
        m_pos += static_cast<std::size_t>(length) * 2;
    } else {
        for (std::size_t i = 0; i < length; ++i)
            s[i] = FromWindows1252(p[i]);
        m_pos += static_cast<std::size_t>(length);
    }
    return *this;
}

void Archive::SkipString()
{
    bool wide = false;
    const std::uint64_t length = ReadStringPrefix(wide);
    Advance(wide ? length * 2 : length);
}

void Archive::SkipFields(std::size_t size, std::size_t count)
{
    const std::uint64_t whole = Remaining() / size;
    if (whole < count) {
        // Fails where reading field by field would: at the first one cut.
        Advance(whole * size);
        Need(size);
    }
    Advance(static_cast<std::uint64_t>(count) * size);
}

std::size_t Archive::ReadCount(const char* what, std::size_t minElementSize)
{
    const std::uint64_t start = Position();
    std::uint32_t n = ReadU32();
    if (n > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
        Fail(ArchiveCause::InvalidArgument, start, std::string(what) + " count " + std::to_string(n) + " is too large");
    const std::uint64_t need = static_cast<std::uint64_t>(n) * minElementSize;
    if (need > Remaining())
        Fail(ArchiveCause::EndOfFile, start,
             std::string(what) + " count " + std::to_string(n) + " needs at least " + std::to_string(need)
                 + " bytes but only " + std::to_string(Remaining()) + " remain");
    return n;
}

} // namespace config
