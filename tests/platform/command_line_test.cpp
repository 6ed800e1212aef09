#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <set>

#include "platform/command_line.h"

namespace {

using platform::ParseCommandLine;
using platform::SplitArguments;
using Args = std::vector<std::string>;

// Test names carry the case's text with only letters and digits kept.
std::string Label(std::string_view text)
{
    std::string out;
    if (text.empty())
        return "empty";
    for (char c : text)
        out.push_back(std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
    return out;
}

struct SplitCase {
    const char* text;
    Args expected;
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << Label(c.text); }

class SplitArgumentsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitArgumentsTest, FollowsWindowsRules)
{
    EXPECT_EQ(SplitArguments(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitArgumentsTest,
    testing::Values(
        SplitCase{"", {}},
        SplitCase{"   \t ", {}},
        SplitCase{"a b\tc", {"a", "b", "c"}},
        SplitCase{"  a   b  ", {"a", "b"}},
        SplitCase{R"("a b" c)", {"a b", "c"}},
        SplitCase{R"(a"b c"d e)", {"ab cd", "e"}},
        SplitCase{R"("")", {""}},
        SplitCase{R"(a "" b)", {"a", "", "b"}},
        SplitCase{R"("unterminated arg)", {"unterminated arg"}},
        // Backslashes are literal unless they come before a quote.
        SplitCase{R"(a\b c\\d)", {R"(a\b)", R"(c\\d)"}},
        SplitCase{R"(a\\)", {R"(a\\)"}},
        // 2n+1 backslashes and a quote: n backslashes and a literal quote.
        SplitCase{R"(a\"b)", {R"(a"b)"}},
        SplitCase{R"(a\\\"b)", {R"(a\"b)"}},
        // 2n backslashes and a quote: n backslashes, the quote toggles.
        SplitCase{R"("a\\" b)", {R"(a\)", "b"}},
        SplitCase{R"("a\\\\"b c")", {R"(a\\b)", "c"}},
        SplitCase{R"("C:\Docs\" -x)", {R"(C:\Docs" -x)"}},
        SplitCase{R"("a""b")", {"ab"}},
        SplitCase{R"(-ServerPath "/srv/my docs/" -ClientPath "C:\Docs/")",
                  {"-ServerPath", "/srv/my docs/", "-ClientPath", R"(C:\Docs/)"}}));

struct TokenCase {
    const char* line;
    const char* name;
    std::size_t end;
    bool quoted;
};
void PrintTo(const TokenCase& c, std::ostream* os) { *os << Label(c.line); }

class ProgramTokenTest : public testing::TestWithParam<TokenCase> {};

TEST_P(ProgramTokenTest, EndsAtFirstBlankOutsideQuotes)
{
    std::size_t end = 99;
    bool quoted = false;
    EXPECT_EQ(platform::ProgramToken(GetParam().line, end, quoted), GetParam().name);
    EXPECT_EQ(end, GetParam().end);
    EXPECT_EQ(quoted, GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProgramTokenTest,
    testing::Values(TokenCase{"/bin/prog a b", "/bin/prog", 9, false},
                    TokenCase{"  prog", "prog", 6, false},
                    TokenCase{R"("/opt/my app/run" x)", "/opt/my app/run", 17, true},
                    // Backslashes in a program name are never escapes.
                    TokenCase{R"("C:\dir\" x)", R"(C:\dir\)", 9, true},
                    TokenCase{R"(/opt/"my app"/run x)", "/opt/my app/run", 17, true},
                    TokenCase{"", "", 0, false}));

// A file system of a few programs, and every name it was asked about.
struct FakeFiles {
    std::set<std::string> files;
    std::vector<std::string> asked;

    platform::ProgramLookup Lookup()
    {
        return [this](const std::string& name) -> std::optional<std::string> {
            asked.push_back(name);
            if (files.count(name))
                return "resolved:" + name;
            return std::nullopt;
        };
    }
};

TEST(ParseCommandLine, FoundProgramTakesTheRestAsArguments)
{
    FakeFiles fs{{"/bin/prog"}, {}};
    auto p = ParseCommandLine(R"(/bin/prog "a b" c\"d )", fs.Lookup());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->program, "resolved:/bin/prog");
    EXPECT_EQ(p->argv, (Args{"/bin/prog", "a b", R"(c"d)"}));
    EXPECT_EQ(fs.asked, (Args{"/bin/prog"}));
}

TEST(ParseCommandLine, UnquotedPathWithBlanksTriesLongerPrefixes)
{
    FakeFiles fs{{"/opt/my tools/run"}, {}};
    auto p = ParseCommandLine("/opt/my tools/run -x \"y z\" ", fs.Lookup());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->program, "resolved:/opt/my tools/run");
    EXPECT_EQ(p->argv, (Args{"/opt/my tools/run", "-x", "y z"}));
    EXPECT_EQ(fs.asked, (Args{"/opt/my", "/opt/my tools/run"}));
}

TEST(ParseCommandLine, ShortestPrefixThatNamesAFileWins)
{
    FakeFiles fs{{"/opt/a", "/opt/a b"}, {}};
    auto p = ParseCommandLine("/opt/a b c", fs.Lookup());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->argv, (Args{"/opt/a", "b", "c"}));
}

TEST(ParseCommandLine, WholeLineIsTheLastCandidate)
{
    FakeFiles fs{{"/opt/x y z"}, {}};
    auto p = ParseCommandLine("/opt/x y z", fs.Lookup());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->argv, (Args{"/opt/x y z"}));
    EXPECT_EQ(fs.asked, (Args{"/opt/x", "/opt/x y", "/opt/x y z"}));
}

TEST(ParseCommandLine, TrailingBlanksAreNotPartOfAnyCandidate)
{
    FakeFiles fs{{}, {}};
    EXPECT_FALSE(ParseCommandLine("/opt/x y  ", fs.Lookup()));
    EXPECT_EQ(fs.asked, (Args{"/opt/x", "/opt/x y", "/opt/x y "}));
}

TEST(ParseCommandLine, QuotedNameIsNotSearchedFurther)
{
    FakeFiles fs{{"\"/opt/x\" y"}, {}};
    EXPECT_FALSE(ParseCommandLine("\"/opt/x\" y", fs.Lookup()));
    EXPECT_EQ(fs.asked, (Args{"/opt/x"}));
}

TEST(ParseCommandLine, NothingToRun)
{
    FakeFiles fs{{""}, {}};
    EXPECT_FALSE(ParseCommandLine("", fs.Lookup()));
    EXPECT_FALSE(ParseCommandLine("   ", fs.Lookup()));
    EXPECT_FALSE(ParseCommandLine("\"\" x", fs.Lookup()));
    EXPECT_TRUE(fs.asked.empty());
}

TEST(ParseCommandLine, LeadingBlanksAreSkipped)
{
    FakeFiles fs{{"prog"}, {}};
    auto p = ParseCommandLine("  prog a", fs.Lookup());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->argv, (Args{"prog", "a"}));
}

} // namespace
