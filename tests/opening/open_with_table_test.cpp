#include "opening/open_with_table.h"

#include <gtest/gtest.h>

using opening::BuildArguments;
using opening::FindOpenWith;
using opening::ParseOpenWithTable;
using Words = std::vector<std::string>;

TEST(OpenWithTable, SplitsWordsAsAShellWouldWithoutExpanding)
{
    const struct {
        const char* line;
        bool ok;
        Words words;
    } cases[] = {
        {"a  b\tc", true, {"a", "b", "c"}},
        {"'two words' \"x y\"", true, {"two words", "x y"}},
        {R"(a\ b "q\"uote" "back\\slash" "keep\n" 'raw\')", true, {"a b", "q\"uote", "back\\slash", "keep\\n", "raw\\"}},
        {"$HOME ~ *.txt `id` $(id)", true, {"$HOME", "~", "*.txt", "`id`", "$(id)"}},
        {"x # comment 'open", true, {"x"}},
        {"x a#b", true, {"x", "a#b"}},
        {"'#' x", true, {"#", "x"}},
        {"a'b'c", true, {"abc"}},
        {"'open", false, {}},
        {"\"open", false, {}},
        {"trailing\\", false, {}},
    };
    for (const auto& c : cases) {
        Words words;
        EXPECT_EQ(opening::SplitWords(c.line, words), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(words, c.words) << c.line;
        }
    }
}

TEST(OpenWithTable, ReadsLinesAndNamesTheOnesItCannotRead)
{
    const auto table = ParseOpenWithTable("# the viewers\n"
                                          "\n"
                                          "application/pdf /usr/bin/evince\r\n"
                                          "image/* /usr/bin/ristretto --fullscreen %f\n"
                                          "text/plain\n"
                                          "x-scheme-handler/https '/opt/web browser/run' \"--new window\n"
                                          "* /usr/bin/xdg-open %f");
    ASSERT_EQ(table.lines.size(), 3u);
    EXPECT_EQ(table.lines[0].type, "application/pdf");
    EXPECT_EQ(table.lines[0].program, "/usr/bin/evince");
    EXPECT_TRUE(table.lines[0].arguments.empty()) << "a carriage return is a blank";
    EXPECT_EQ(table.lines[1].arguments, (Words{"--fullscreen", "%f"}));
    EXPECT_EQ(table.lines[2].lineNumber, 7);
    EXPECT_EQ(table.badLines, (std::vector<int>{5, 6}));
}

TEST(OpenWithTable, FirstMatchingLineWins)
{
    const auto table = ParseOpenWithTable("image/png /png\n"
                                          "IMAGE/* /images\n"
                                          "application/x-* /x\n"
                                          "x-scheme-handler/https /web\n"
                                          "text/plain /text\n");
    const struct {
        Words names;
        const char* program;  // null: nothing matches
    } cases[] = {
        {{"image/png"}, "/png"},
        {{"image/jpeg"}, "/images"},
        {{"Image/SVG+xml"}, "/images"},
        {{"application/x-shellscript"}, "/x"},
        {{"x-scheme-handler/https"}, "/web"},
        {{"x-scheme-handler/http"}, nullptr},
        {{"text/x-log"}, nullptr},
        {{"text/x-log", "text/plain"}, "/text"},
        {{"imagex/png"}, nullptr},
        {{}, nullptr},
    };
    for (const auto& c : cases) {
        const auto* line = FindOpenWith(table, c.names);
        EXPECT_EQ(line ? line->program : std::string(), c.program ? c.program : "")
            << (c.names.empty() ? "" : c.names.front());
    }
    EXPECT_NE(FindOpenWith(ParseOpenWithTable("* /any"), {"application/octet-stream"}), nullptr);
    EXPECT_EQ(FindOpenWith(ParseOpenWithTable(""), {"text/plain"}), nullptr);
}

TEST(OpenWithTable, PlacesTheTargetAtEachPercentFOrAppendsIt)
{
    const struct {
        const char* line;
        Words argv;
    } cases[] = {
        {"t /p", {"/p", "/f %f"}},
        {"t /p -a", {"/p", "-a", "/f %f"}},
        {"t /p --file=%f -b", {"/p", "--file=/f %f", "-b"}},
        {"t /p %f %f", {"/p", "/f %f", "/f %f"}},
        {"t /p %F", {"/p", "%F", "/f %f"}},
    };
    for (const auto& c : cases) {
        const auto table = ParseOpenWithTable(c.line);
        ASSERT_EQ(table.lines.size(), 1u) << c.line;
        EXPECT_EQ(BuildArguments(table.lines[0], "/f %f"), c.argv) << c.line;
    }
}
