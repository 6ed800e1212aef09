// The program started where there is no display, as over SSH.
#include <gtest/gtest.h>

#include "app/program_info.h"
#include "platform/command_output.h"
#include "quillon_version.h"

namespace {

TEST(NoDisplay, OneLineSaysHowToRunItAndTheExitCodeIsTwoWithoutAnAbort)
{
    struct Case {
        const char* arguments;
        int status;
        std::string err;
        std::string out;
    };
    const Case cases[] = {
        {"", 2, app::NoDisplayText(), ""},
        {"service", 2, app::NoDisplayText(), ""},
        {"--version", 0, "", "quillon " QUILLON_VERSION "\n"},
        {"--help", 0, "", *app::InformationText({"--help"})},
    };
    for (const Case& c : cases) {
        const std::string run = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                ShellQuote(QUILLON_BINARY) + " " + c.arguments;
        const CommandOutput err = RunCommand(run + " 2>&1 >/dev/null");
        EXPECT_EQ(err.status, c.status) << c.arguments;
        EXPECT_EQ(err.text, c.err) << c.arguments;
        EXPECT_EQ(RunCommand(run + " 2>/dev/null").text, c.out) << c.arguments;
    }
}

} // namespace
