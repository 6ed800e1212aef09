#include <gtest/gtest.h>

#include <QPushButton>
#include <QWidget>

#include "runner/program_runner.h"
#include "transfer/connect_plan.h"
#include "runner_test_support.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

using runnertest::ExecWatched;
using runnertest::Script;
using testsupport::ScriptedModalSeam;
using Args = std::vector<std::string>;

class ProgramRunnerTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        // The tool beside the executable may sit in a folder with blanks;
        // its path is never quoted.
        std::filesystem::create_directories(dir / "my programs");
        std::filesystem::copy_file(probe::ProbePath(), tool);
    }

    // Runs the dialog for real and keeps what the tool reported.
    void ExpectRun(ScriptedModalSeam& seam)
    {
        seam.HandleDialog([this](QDialog& d) {
            enabled.push_back(static_cast<CTaskRunningDlg&>(d).EndTaskButton()->isEnabled());
            int r = ExecWatched(d, [](CTaskRunningDlg&) {});
            auto report = probe::ReadReport(out);
            reports.push_back(report ? Args(report->argv.begin() + 1, report->argv.end()) : Args{"<nothing>"});
            folders.push_back(report ? report->cwd : std::string());
            std::filesystem::remove(out);
            return r;
        });
    }

    CTSAppDataItem Location()
    {
        CTSAppDataItem item;
        item.m_strName = u"Docs";
        item.m_strServerLocation = u"/srv/%QUILLON_T_USER%/docs";
        item.m_strClientLocation = u"/client dir";
        item.m_bSyncEnabled = 1;
        item.m_bHideTransferWindow = 1;
        item.m_nOverwriteMode = 8;
        return item;
    }

    // What the program does at connect time: each planned transfer that starts.
    static void StartPlan(runner::ProgramRunner& runner, const CTSAppDataItem& location)
    {
        for (const transfer::AutoLaunch& l : transfer::ConnectPlan({location}))
            if (l.Starts())
                runner.AutoTransfer(l.serverPath, l.clientPath, l.serverToClient, l.overwriteMode, l.hide);
    }

    probe::ScratchDir dir;
    std::filesystem::path tool = dir / "my programs" / "pontlet";
    std::filesystem::path out = dir / "report";
    probe::ScopedEnv probeOut{"PROBE_OUT", out.string()};
    probe::ScopedEnv user{"QUILLON_T_USER", "anna"};
    std::vector<Args> reports;
    std::vector<std::string> folders;
    std::vector<bool> enabled;
};

TEST_F(ProgramRunnerTest, EmptyProgramPathRunsNothing)
{
    ScriptedModalSeam seam;
    runner::ProgramRunner runner(seam, true, u"");
    EXPECT_FALSE(runner.RunScript(Script("", "-x", u"Nothing")));
    EXPECT_FALSE(runner.RunScript(Script("", "-x", u"Nothing", -1, true, false)));
    EXPECT_TRUE(seam.Dialogs().empty());
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(ProgramRunnerTest, ProgramThatCannotStartIsFalseWithoutDialog)
{
    ScriptedModalSeam seam;
    runner::ProgramRunner runner(seam, false, u"");
    EXPECT_FALSE(runner.RunScript(Script((dir / "missing").string(), "", u"Missing")));
    EXPECT_FALSE(runner.RunScript(Script((dir / "missing").string(), "", u"Missing", -1, true, false)));
    EXPECT_TRUE(seam.Dialogs().empty());
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(ProgramRunnerTest, WaitedScriptGetsItsArgumentsAndWorkingDirectory)
{
    std::filesystem::create_directories(dir / "work here");
    ScriptedModalSeam seam;
    ExpectRun(seam);
    runner::ProgramRunner runner(seam, false, u"");
    CTSUserScriptItem script = Script(tool.string(), "-a \"two words\" \\\\server\\share", u"Logon", 5000, false);
    script.m_strWorkingDirectory = config::FromUtf8((dir / "work here").string());
    EXPECT_TRUE(runner.RunScript(script));
    ASSERT_EQ(seam.Dialogs().size(), 1u);
    EXPECT_EQ(seam.Dialogs()[0].title, "Running Logon");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], (Args{"-a", "two words", R"(\\server\share)"}));
    EXPECT_EQ(std::filesystem::path(folders[0]), std::filesystem::canonical(dir / "work here"));
}

TEST_F(ProgramRunnerTest, ManualTransferStartsTheToolOnTheLocation)
{
    ScriptedModalSeam seam;
    ExpectRun(seam);
    ExpectRun(seam);
    runner::ProgramRunner runner(seam, false, config::FromUtf8(tool.string()));
    CTSAppDataItem location = Location();
    EXPECT_TRUE(runner.ManualTransfer(location));
    location.m_strClientLocation.clear();
    EXPECT_TRUE(runner.ManualTransfer(location));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], (Args{"-SetServerFileList", "Docs;/srv/anna/docs", "-ClientPath",
                                "Default Directory (/client dir);/client dir"}));
    EXPECT_EQ(reports[1], (Args{"-SetServerFileList", "Docs;/srv/anna/docs"}));
    ASSERT_EQ(seam.Dialogs().size(), 2u);
    EXPECT_EQ(seam.Dialogs()[0].title, "Running Manual File Transfer");
    EXPECT_EQ(std::filesystem::path(folders[0]), std::filesystem::current_path()) << "the tool runs where we are";
    EXPECT_EQ(enabled, (std::vector<bool>{true, true})) << "anybody may end the tool";
}

TEST_F(ProgramRunnerTest, AutoTransferStartsTheToolWithItsSwitches)
{
    ScriptedModalSeam seam;
    ExpectRun(seam);
    runner::ProgramRunner runner(seam, false, config::FromUtf8(tool.string()));
    EXPECT_TRUE(runner.AutoTransfer(u"/srv/%QUILLON_T_USER%", u"C:\\Docs", true, 101, true));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], (Args{"-ServerPath", "/srv/anna/", "-ClientPath", R"(C:\Docs/)", "-Server2Client",
                                "-overwriteIfDiff", "-hide"}));
    ASSERT_EQ(seam.Dialogs().size(), 1u);
    EXPECT_EQ(seam.Dialogs()[0].title, "Running Auto File Transfer");
}

TEST_F(ProgramRunnerTest, ConnectTransfersRunOneAfterAnotherInOrder)
{
    ScriptedModalSeam seam;
    ExpectRun(seam);
    ExpectRun(seam);
    runner::ProgramRunner runner(seam, false, config::FromUtf8(tool.string()));
    CTSAppDataItem location = Location();
    location.m_nConnectAction = kConnectClientMaster;
    StartPlan(runner, location);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], (Args{"-ServerPath", "/srv/anna/docs/", "-ClientPath", "/client dir/", "-Client2Server",
                                "-overwriteIfDiff", "-hide"}));
    EXPECT_EQ(reports[1], (Args{"-ServerPath", "/srv/anna/docs/", "-ClientPath", "/client dir/", "-Server2Client",
                                "-skip", "-hide"}));
}

TEST_F(ProgramRunnerTest, MissingToolLaunchesNothingAndSaysNothing)
{
    ScriptedModalSeam seam;
    runner::ProgramRunner runner(seam, true, config::FromUtf8((dir / "nowhere" / "pontlet").string()));
    CTSAppDataItem location = Location();
    EXPECT_FALSE(runner.ManualTransfer(location));
    EXPECT_FALSE(runner.AutoTransfer(u"/s", u"/c", false, 8, false));
    location.m_nConnectAction = kConnectServerMaster;
    StartPlan(runner, location);
    EXPECT_TRUE(seam.Dialogs().empty());
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(ProgramRunnerTest, TransfersWithNothingToCopyAreNotStarted)
{
    probe::ScopedEnv longName{"QUILLON_T_LONG", std::string(600, 'x')};
    ScriptedModalSeam seam;
    runner::ProgramRunner runner(seam, false, config::FromUtf8(tool.string()));
    EXPECT_FALSE(runner.AutoTransfer(u"/home/%QUILLON_T_LONG%", u"/c", true, 8, true));
    EXPECT_FALSE(runner.AutoTransfer(u"", u"/c", true, 8, true));
    EXPECT_FALSE(runner.AutoTransfer(u"/s", u"", false, 8, true));
    CTSAppDataItem location = Location();
    location.m_strServerLocation = u"/home/%QUILLON_T_LONG%";
    EXPECT_FALSE(runner.ManualTransfer(location));
    EXPECT_TRUE(seam.Dialogs().empty());
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProgramRunnerTest, DialogIsOwnedByTheMainWindow)
{
    QWidget mainWindow;
    ScriptedModalSeam seam;
    QWidget* owner = nullptr;
    seam.HandleDialog([&](QDialog& d) {
        owner = d.parentWidget();
        return ExecWatched(d, [](CTaskRunningDlg&) {});
    });
    runner::ProgramRunner runner(seam, false, u"");
    runner.SetOwnerWindow(&mainWindow);
    EXPECT_TRUE(runner.RunScript(Script(tool.string(), "", u"Owned")));
    EXPECT_EQ(owner, &mainWindow);
}

} // namespace
