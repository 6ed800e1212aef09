#include <gtest/gtest.h>

#include "app/program_info.h"

namespace {

struct Case {
    std::vector<std::string> arguments;
    const char* startsWith;  // nullptr: the program starts as usual
};

TEST(ProgramInfo, HelpAndVersionAnswerBeforeAnythingStarts)
{
    const Case cases[] = {
        {{}, nullptr},
        {{"service"}, nullptr},
        {{"/help", "help", "--helpme", "-version"}, nullptr},
        {{"--help"}, "Usage: quillon "},
        {{"-h"}, "Usage: quillon "},
        {{"service", "-platform", "offscreen", "--help"}, "Usage: quillon "},
        {{"--version"}, "quillon 3.0.3.4\n"},
        {{"--version", "--help"}, "quillon 3.0.3.4\n"},
    };
    for (const Case& c : cases) {
        const auto text = app::InformationText(c.arguments);
        ASSERT_EQ(text.has_value(), c.startsWith != nullptr) << testing::PrintToString(c.arguments);
        if (text) {
            EXPECT_EQ(text->rfind(c.startsWith, 0), 0u) << *text;
        }
    }
}

TEST(ProgramInfo, HelpNamesEveryWordAndSwitchAndEndsWithTheExitCodes)
{
    const std::string help = *app::InformationText({"--help"});
    for (const char* line : {"\n  quillon  ", "\n  quillon service  ", "\n  --help, -h  ", "\n  --version  ",
                             "\n  -display, -platform"})
        EXPECT_NE(help.find(line), std::string::npos) << line;
    EXPECT_NE(help.rfind("\nExit codes: "), std::string::npos);
    EXPECT_GT(help.rfind("\nExit codes: "), help.rfind("\n  "));
}

} // namespace
