#include "config/archive.h"
#include "config/bytes.h"

#include <gtest/gtest.h>

using namespace config;
using namespace testbytes;

namespace {

std::string Store(const std::u16string& s)
{
    StringSink sink;
    {
        Archive ar(sink);
        ar << s;
        ar.Flush();
    }
    return sink.Bytes();
}

std::u16string LoadString(const std::string& bytes)
{
    MemorySource src(bytes.data(), bytes.size());
    Archive ar(src);
    std::u16string s;
    ar >> s;
    return s;
}

ArchiveError LoadStringError(const std::string& bytes)
{
    try {
        LoadString(bytes);
    } catch (const ArchiveError& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return ArchiveError(ArchiveCause::FileError, 0, "");
}

struct LengthForm {
    std::size_t length;
    std::string prefix;
};

} // namespace

TEST(ArchiveString, WritesEachLengthFormAndReadsItBack)
{
    const LengthForm forms[] = {
        {0, Bytes({0xFF, 0xFE, 0xFF, 0x00})},
        {3, Bytes({0xFF, 0xFE, 0xFF, 0x03})},
        {254, Bytes({0xFF, 0xFE, 0xFF, 0xFE})},
        {255, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00})},
        {256, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x01})},
        {65533, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + U32(70000)},
    };
    for (const auto& f : forms) {
        const std::u16string s(f.length, u'\u20AC');
        std::string bytes = Store(s);
        ASSERT_EQ(bytes.size(), f.prefix.size() + 2 * f.length) << f.length;
        EXPECT_EQ(bytes.substr(0, f.prefix.size()), f.prefix) << f.length;
        EXPECT_EQ(LoadString(bytes), s) << f.length;
    }
}

TEST(ArchiveString, AbcExample)
{
    EXPECT_EQ(Store(u"abc"), Bytes({0xFF, 0xFE, 0xFF, 0x03, 0x61, 0x00, 0x62, 0x00, 0x63, 0x00}));
}

TEST(ArchiveString, ReadsEveryFormWritersProduce)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {"single-byte short", Bytes({0x03, 'a', 'b', 'c'}), u"abc"},
        {"single-byte empty", Bytes({0x00}), u""},
        {"single-byte is Windows-1252", Bytes({0x04, 0x80, 0xE9, 0x9F, 0x81}), u"\u20AC\u00E9\u0178\u0081"},
        {"single-byte 16-bit length", Bytes({0xFF, 0x02, 0x00, 'h', 'i'}), u"hi"},
        {"single-byte 32-bit length", Bytes({0xFF, 0xFF, 0xFF}) + U32(2) + "ok", u"ok"},
        {"single-byte 64-bit length",
         Bytes({0xFF, 0xFF, 0xFF}) + U32(0xFFFFFFFF) + U32(1) + U32(0) + "z", u"z"},
        {"wide 16-bit length", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 'q', 0}), u"q"},
        {"wide 32-bit length", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + U32(1) + Bytes({'w', 0}), u"w"},
        {"wide 64-bit length",
         Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + U32(0xFFFFFFFF) + U32(1) + U32(0) + Bytes({'v', 0}), u"v"},
        {"wide keeps unpaired surrogates", Bytes({0xFF, 0xFE, 0xFF, 0x01, 0x00, 0xD8}), std::u16string(1, u'\xD800')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadString(c.bytes), c.expected) << c.name;
}

TEST(ArchiveString, RefusesLengthsTheInputCannotHold)
{
    struct Case {
        const char* name;
        std::string bytes;
        ArchiveCause cause;
    };
    const Case cases[] = {
        {"64-bit length above 2^31-1",
         Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + U32(0xFFFFFFFF) + U32(0x80000000) + U32(0), ArchiveCause::Generic},
        {"64-bit length far beyond",
         Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + U32(0xFFFFFFFF) + U32(0) + U32(1), ArchiveCause::Generic},
        {"32-bit length beyond the input", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}) + U32(0xFFFFFFF0),
         ArchiveCause::EndOfFile},
        {"one character short", Bytes({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'}), ArchiveCause::EndOfFile},
        {"prefix cut", Bytes({0xFF, 0xFE}), ArchiveCause::EndOfFile},
    };
    for (const auto& c : cases) {
        ArchiveError e = LoadStringError(c.bytes);
        EXPECT_EQ(e.Cause(), c.cause) << c.name;
        EXPECT_EQ(e.Offset(), c.cause == ArchiveCause::EndOfFile && std::string(c.name) == "prefix cut" ? 1u : 0u)
            << c.name;
        EXPECT_NE(std::string(e.what()).find("offset"), std::string::npos) << c.name;
    }
}

TEST(ArchiveIntegers, LittleEndianAndBool)
{
    StringSink sink;
    {
        Archive ar(sink);
        ar << std::int32_t(-1) << std::uint32_t(1003) << true << false;
        ar.Flush();
    }
    EXPECT_EQ(sink.Bytes(), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xEB, 0x03, 0, 0, 1, 0}));

    std::string in = Bytes({0x02});  // any non-zero byte is true
    MemorySource src(in.data(), in.size());
    Archive ar(src);
    bool b = false;
    ar >> b;
    EXPECT_TRUE(b);
}

TEST(ArchiveCount, RefusesCountsBeforeAllocating)
{
    struct Case {
        std::uint32_t count;
        std::size_t following;
        bool ok;
        ArchiveCause cause;
    };
    const Case cases[] = {
        {0, 0, true, {}},
        {2, 20, true, {}},
        {3, 20, false, ArchiveCause::EndOfFile},
        {0x80000000u, 1000, false, ArchiveCause::InvalidArgument},
        {0xFFFFFFFFu, 0, false, ArchiveCause::InvalidArgument},
    };
    for (const auto& c : cases) {
        std::string bytes = U32(c.count) + std::string(c.following, '\0');
        MemorySource src(bytes.data(), bytes.size());
        Archive ar(src);
        if (c.ok) {
            EXPECT_EQ(ar.ReadCount("thing", 10), c.count);
            continue;
        }
        try {
            ar.ReadCount("thing", 10);
            ADD_FAILURE() << c.count;
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.Cause(), c.cause) << c.count;
            EXPECT_EQ(e.Offset(), 0u);
        }
    }
}

TEST(ArchiveBuffering, LongStringsCrossTheBufferBoundary)
{
    // Larger than the archive's buffer, preceded by an odd byte so the string
    // straddles every refill.
    std::u16string big(200000, u'a');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char16_t>(u'a' + i % 26);
    StringSink sink;
    {
        Archive ar(sink);
        ar << true << big << big << std::uint32_t(7);
        ar.Flush();
    }
    MemorySource src(sink.Bytes().data(), sink.Bytes().size());
    Archive ar(src);
    bool b;
    std::u16string x, y;
    std::uint32_t seven;
    ar >> b >> x >> y >> seven;
    EXPECT_EQ(x, big);
    EXPECT_EQ(y, big);
    EXPECT_EQ(seven, 7u);
    EXPECT_EQ(ar.Remaining(), 0u);
}
