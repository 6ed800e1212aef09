#include "config/text.h"

#include <gtest/gtest.h>

using namespace config;

TEST(Text, Utf8RoundTripsValidText)
{
    const std::u16string samples[] = {u"", u"plain", u"Caf\u00E9 \u20AC", u"\U0001F600 emoji", u"\u4E2D\u6587"};
    for (const auto& s : samples) {
        bool lossless = false;
        EXPECT_EQ(FromUtf8(ToUtf8(s, &lossless)), s);
        EXPECT_TRUE(lossless);
    }
}

TEST(Text, InvalidInputBecomesReplacementCharacter)
{
    bool lossless = true;
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xDC00'), &lossless), "\xEF\xBF\xBD");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(FromUtf8("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD");  // encoded surrogate
    EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");          // cut sequence
}

TEST(Text, Windows1252)
{
    EXPECT_EQ(FromWindows1252('A'), u'A');
    EXPECT_EQ(FromWindows1252(0x80), u'\u20AC');
    EXPECT_EQ(FromWindows1252(0x8D), u'\u008D');
    EXPECT_EQ(FromWindows1252(0x9F), u'\u0178');
    EXPECT_EQ(FromWindows1252(0xE9), u'\u00E9');
}

TEST(Text, EqualsNoCase)
{
    struct Case {
        std::u16string a, b;
        bool equal;
    };
    const Case cases[] = {
        {u"HOST\\Anna", u"host\\aNNA", true},
        {u"\u00C4rger", u"\u00E4RGER", true},
        {u"\u0141\u00F3d\u017A", u"\u0142\u00D3D\u0179", true},
        {u"\u0414\u043E\u043C", u"\u0434\u041E\u041C", true},
        {u"\u00D7", u"\u00F7", false},
        {u"abc", u"abcd", false},
        {u"a-b", u"a_b", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << ToUtf8(c.a) << " / " << ToUtf8(c.b);
}
