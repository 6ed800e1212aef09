#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <ostream>

#include "platform/probe.h"
#include "transfer/expand_path.h"

namespace {

using transfer::ExpandPath;
using transfer::ExpandReferences;

// Variables for the pure expansion, and the names it asked for.
struct FakeEnvironment {
    std::map<std::u16string, std::u16string> vars;
    std::vector<std::u16string> asked;

    transfer::VariableLookup Lookup()
    {
        return [this](std::u16string_view name) -> std::optional<std::u16string> {
            asked.emplace_back(name);
            auto it = vars.find(std::u16string(name));
            if (it == vars.end())
                return std::nullopt;
            return it->second;
        };
    }
};

struct ExpandCase {
    const char16_t* text;
    const char16_t* expected;
};
void PrintTo(const ExpandCase& c, std::ostream* os)
{
    std::u16string_view text(c.text);
    if (text.empty())
        *os << "empty";
    for (char16_t ch : text)
        *os << (ch < 128 && std::isalnum(static_cast<unsigned char>(ch)) ? static_cast<char>(ch) : '_');
}

class ExpandReferencesTest : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandReferencesTest, ReplacesDefinedNamesOnly)
{
    FakeEnvironment env{{{u"USERNAME", u"anna"}, {u"HOME", u"/home/anna"}, {u"EMPTY", u""}, {u"PCT", u"%HOME%"}},
                        {}};
    EXPECT_EQ(ExpandReferences(GetParam().text, env.Lookup()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandReferencesTest,
    testing::Values(ExpandCase{u"", u""},
                    ExpandCase{u"/srv/docs", u"/srv/docs"},
                    ExpandCase{u"/home/%USERNAME%/docs", u"/home/anna/docs"},
                    ExpandCase{u"%HOME%%USERNAME%", u"/home/annaanna"},
                    ExpandCase{u"a%EMPTY%b", u"ab"},
                    ExpandCase{u"%UNSET%/x", u"%UNSET%/x"},
                    // Scanning goes on after the reference that stayed.
                    ExpandCase{u"%UNSET%%USERNAME%", u"%UNSET%anna"},
                    ExpandCase{u"%UNSET%USERNAME%", u"%UNSET%USERNAME%"},
                    ExpandCase{u"50%", u"50%"},
                    ExpandCase{u"%%", u"%%"},
                    ExpandCase{u"100%%USERNAME%", u"100%%USERNAME%"},
                    ExpandCase{u"%USERNAME", u"%USERNAME"},
                    // A value is not expanded again.
                    ExpandCase{u"%PCT%", u"%HOME%"}));

TEST(ExpandReferences, EmptyNameIsNeverLookedUp)
{
    FakeEnvironment env;
    ExpandReferences(u"%%x%%", env.Lookup());
    EXPECT_TRUE(env.asked.empty());
}

TEST(ExpandPath, LongestExpansionLeavesRoomForTheTerminator)
{
    FakeEnvironment env{{{u"X", std::u16string(500, u'x')}}, {}};
    std::u16string out = u"stale";
    const std::u16string fits = u"%X%" + std::u16string(19, u'y');  // 519 units
    EXPECT_TRUE(ExpandPath(fits, out, env.Lookup()));
    EXPECT_EQ(out.size(), 519u);

    out = u"stale";
    EXPECT_FALSE(ExpandPath(fits + u"y", out, env.Lookup()));  // 520 units
    EXPECT_TRUE(out.empty());
}

TEST(ExpandPath, LimitCountsUtf16Units)
{
    FakeEnvironment env;
    std::u16string out;
    // 259 characters outside the basic plane are 518 units.
    std::u16string pairs;
    for (int i = 0; i < 259; ++i)
        pairs += u"\U0001F600";
    EXPECT_TRUE(ExpandPath(pairs + u"a", out, env.Lookup()));
    EXPECT_FALSE(ExpandPath(pairs + u"ab", out, env.Lookup()));
}

TEST(ExpandPath, UnexpandedTextLongerThanTheLimitFails)
{
    std::u16string out;
    EXPECT_FALSE(ExpandPath(std::u16string(600, u'a'), out, FakeEnvironment().Lookup()));
    EXPECT_TRUE(out.empty());
}

TEST(ExpandPath, ReadsTheProcessEnvironment)
{
    probe::ScopedEnv user("QUILLON_TEST_USER", "J\xC3\xBCrgen");
    std::u16string out;
    EXPECT_TRUE(ExpandPath(u"/home/%QUILLON_TEST_USER%/%QUILLON_NOT_SET%", out));
    EXPECT_EQ(out, u"/home/J\u00FCrgen/%QUILLON_NOT_SET%");
    EXPECT_TRUE(ExpandPath(u"/home/%quillon_test_user%", out));
    EXPECT_EQ(out, u"/home/J\u00FCrgen");
}

} // namespace
