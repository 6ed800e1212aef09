#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/shell_launcher.h"
#include "platform/session.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

using framework::Answer;

class FakeSession : public platform::SessionServices {
public:
    bool shellStarts = true;
    std::vector<std::string> calls;
    bool StartDefaultShell() override
    {
        calls.push_back("shell");
        return shellStarts;
    }
    bool ReplaceWithDefaultShell() override
    {
        calls.push_back("replace");
        return false;  // a replacement that works never returns
    }
    bool OpenHomeFolder() override
    {
        calls.push_back("home");
        return false;
    }
    bool LogoffSession() override
    {
        calls.push_back("logoff");
        return true;
    }
};

TEST(ShellLauncher, ShellThatStartsNeedsNoFallback)
{
    testsupport::TestApplication();
    testsupport::ScriptedModalSeam seam;
    FakeSession session;
    document::ShellLauncher launcher(seam, session);
    launcher.LaunchDefaultShell();
    EXPECT_EQ(session.calls, std::vector<std::string>{"shell"});
    EXPECT_TRUE(seam.Messages().empty());
}

TEST(ShellLauncher, ShellThatFailsIsReportedThenTheHomeFolderIsTriedOnce)
{
    testsupport::TestApplication();
    testsupport::ScriptedModalSeam seam;
    seam.AnswerMessage(Answer::Ok);
    FakeSession session;
    session.shellStarts = false;
    document::ShellLauncher launcher(seam, session);
    launcher.LaunchDefaultShell();
    EXPECT_EQ(session.calls, (std::vector<std::string>{"shell", "home"}));
    ASSERT_EQ(seam.Messages().size(), 1u);
    EXPECT_EQ(seam.Messages()[0].text, QStringLiteral("Error launching default shell, will try alternative shell"));
    EXPECT_EQ(seam.Messages()[0].buttons, framework::MessageButtons::Ok);
    EXPECT_EQ(seam.Messages()[0].icon, framework::MessageIcon::None);

    launcher.LogoffSession();
    EXPECT_EQ(session.calls.back(), "logoff");
}

TEST(ShellLauncher, AShellThatCannotReplaceTheProgramGetsTheSameFallback)
{
    testsupport::TestApplication();
    testsupport::ScriptedModalSeam seam;
    seam.AnswerMessage(Answer::Ok);
    FakeSession session;
    document::ShellLauncher launcher(seam, session);
    launcher.ReplaceWithDefaultShell();
    EXPECT_EQ(session.calls, (std::vector<std::string>{"replace", "home"}));
    EXPECT_EQ(seam.MessageTexts(), QStringList{"Error launching default shell, will try alternative shell"});
}

} // namespace
