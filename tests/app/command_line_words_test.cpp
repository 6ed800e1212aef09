#include <gtest/gtest.h>

#include "app/command_line_words.h"

namespace {

struct WordsCase {
    QStringList arguments;
    QString fileName;
    bool service;
};

void PrintTo(const WordsCase& c, std::ostream* os) { *os << '[' << c.arguments.join(' ').toStdString() << ']'; }

class CommandLineWordsTest : public ::testing::TestWithParam<WordsCase> {};

TEST_P(CommandLineWordsTest, OnlyTheFirstPlainWordCountsAndOnlyServiceMeansAnything)
{
    const WordsCase& c = GetParam();
    const app::CommandLineInfo info = app::ParseCommandLine(c.arguments);
    EXPECT_EQ(info.fileName, c.fileName);
    EXPECT_EQ(app::IsServiceMode(info), c.service);
}

INSTANTIATE_TEST_SUITE_P(
    Words, CommandLineWordsTest,
    ::testing::Values(WordsCase{{}, "", false}, WordsCase{{"service"}, "service", true},
                      WordsCase{{"SERVICE"}, "SERVICE", true}, WordsCase{{"sErViCe"}, "sErViCe", true},
                      // As a switch it is no word.
                      WordsCase{{"/service"}, "", false}, WordsCase{{"-service"}, "", false},
                      WordsCase{{"/service", "-service"}, "", false},
                      // Switches before it do not matter.
                      WordsCase{{"/nologo", "-x", "service"}, "service", true},
                      // Only the first plain word lands in the file name.
                      WordsCase{{"other.QLNData", "service"}, "other.QLNData", false},
                      WordsCase{{"service", "other"}, "service", true},
                      WordsCase{{"services"}, "services", false}, WordsCase{{" service"}, " service", false},
                      // An empty word leaves the file name empty for the next.
                      WordsCase{{"", "service"}, "service", true}));

TEST(CommandLineWordsTest, SwitchesAreKeptWithoutTheirMark)
{
    const app::CommandLineInfo info = app::ParseCommandLine({"/p", "-dde", "file"});
    EXPECT_EQ(info.switches, (QStringList{"p", "dde"}));
    EXPECT_EQ(info.fileName, "file");
}

} // namespace
