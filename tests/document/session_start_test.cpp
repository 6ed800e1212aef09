// The session start end to end: a real logon program and the real transfer
// tool, each waited for in the running-task dialog run for real, and the
// real desktop shell launch.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/fake_account_services.h"
#include "config/config_file.h"
#include "config/text.h"
#include "document/document_host.h"
#include "document/quillon_doc.h"
#include "document/shell_launcher.h"
#include "platform/session.h"
#include "runner/program_runner.h"
#include "runner/runner_test_support.h"
#include "support/scripted_modal_seam.h"
#include "support/temp_files.h"
#include "support/test_application.h"

namespace {

namespace fs = std::filesystem;
using testfiles::Put;
using testfiles::Slurp;

// The application object as far as the document sees it, launching for real.
class RealHost : public document::DocumentHost {
public:
    RealHost(framework::ModalSeam& seam, std::u16string toolPath)
        : m_runner(seam, false, std::move(toolPath)), m_session(platform::CreateSystemSessionServices()),
          m_launcher(seam, *m_session)
    {
    }
    bool logoffArmed = false;

    bool IsAdministrator() const override { return false; }
    bool IsServiceMode() const override { return true; }
    void SetLogoffOnExit() override { logoffArmed = true; }
    bool RunScript(const CTSUserScriptItem& script) override { return m_runner.RunScript(script); }
    bool AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath, bool serverToClient,
                      std::int32_t overwriteMode, bool hide) override
    {
        return m_runner.AutoTransfer(serverPath, clientPath, serverToClient, overwriteMode, hide);
    }
    bool ManualTransfer(const CTSAppDataItem& location) override { return m_runner.ManualTransfer(location); }
    void LaunchDefaultShell() override { m_launcher.LaunchDefaultShell(); }
    bool IsAdministratorView() const override { return false; }
    void OpenHelp() override {}
    void OpenItem(const QUrl&) override {}
    QWidget* MainWindow() const override { return nullptr; }

private:
    runner::ProgramRunner m_runner;
    std::unique_ptr<platform::SessionServices> m_session;
    document::ShellLauncher m_launcher;
};

std::vector<std::string> Lines(const fs::path& file)
{
    std::istringstream in(Slurp(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void Executable(const fs::path& file, const std::string& text)
{
    Put(file, text);
    fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

class SessionStartTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        // The logon program takes its time, then leaves a file the first
        // transfer must find: it only does if the program was waited for.
        Executable(logon, "#!/bin/sh\nsleep 0.3\necho made > \"$1/fromlogon.txt\"\necho logon >> \"" + log.string() +
                              "\"\n");
        Executable(tool, "#!/bin/sh\necho \"transfer $*\" >> \"" + log.string() + "\"\nexec \"" QUILLON_PONTLET
                         "\" \"$@\"\n");
        for (const char* folder : {"server1", "client1", "server2", "client2", "bin"})
            fs::create_directories(dir / folder);
        fs::create_symlink(probe::ProbePath(), dir / "bin" / "x-session-manager");
    }

    CTSUserDataItem* Profile(CTSUserData& data)
    {
        CTSUserDataItem* profile = data.Add(u"SERVER1\\anna", kEntryUser, false);
        profile->m_script.m_strProgramPath = config::FromUtf8(logon.string());
        profile->m_script.m_strArguments = config::FromUtf8((dir / "server1").string());
        profile->m_script.m_bWait = 1;
        profile->m_script.m_nTimeout = -1;
        profile->m_script.m_bEnabled = 1;
        return profile;
    }

    CTSAppDataItem Synchronized(const char16_t* name, const char* server, const char* client, std::int32_t action)
    {
        CTSAppDataItem l;
        l.m_strName = name;
        l.m_strServerLocation = config::FromUtf8((dir / server).string());
        l.m_strClientLocation = config::FromUtf8((dir / client).string());
        l.m_bSyncEnabled = 1;
        l.m_bHideTransferWindow = 1;
        l.m_nConnectAction = action;
        l.m_nOverwriteMode = kOverwriteAlways;
        return l;
    }

    // Each running-task dialog runs its own loop until its program ends.
    void RunDialogsForReal(int count)
    {
        for (int i = 0; i < count; ++i)
            seam.HandleDialog([](QDialog& d) { return runnertest::ExecWatched(d, [](CTaskRunningDlg&) {}); });
    }

    probe::ScratchDir dir;
    fs::path logon = dir / "logon.sh";
    fs::path tool = dir / "tool.sh";
    fs::path log = dir / "log";
    fs::path config = dir / "userConfig.QLNData";
    testsupport::ScriptedModalSeam seam;
    accounts::FakeAccountServices accounts = accounts::FakeAccountServices::Local("SERVER1", "anna", {"Users"});
};

TEST_F(SessionStartTest, LogonProgramThenThreeTransfersInOrderThenTheWindow)
{
    CTSUserData data;
    CTSUserDataItem* profile = Profile(data);
    profile->m_locations.Add(Synchronized(u"One", "server1", "client1", kConnectUpdateClient), false);
    profile->m_locations.Add(Synchronized(u"Two", "server2", "client2", kConnectServerMaster), false);
    ASSERT_TRUE(config::SaveConfigurationFile(config, data));
    Put(dir / "server2" / "same.txt", "server side");
    Put(dir / "client2" / "same.txt", "client side, changed");
    Put(dir / "client2" / "new.txt", "from the client");

    RealHost host(seam, config::FromUtf8(tool.string()));
    CQuillonDoc doc(seam, host, accounts);
    RunDialogsForReal(4);
    ASSERT_TRUE(doc.OnOpenDocument(QString::fromStdString(config.string())));

    EXPECT_TRUE(host.logoffArmed);
    EXPECT_TRUE(seam.Messages().empty());
    const std::string s1 = (dir / "server1").string() + "/", c1 = (dir / "client1").string() + "/";
    const std::string s2 = (dir / "server2").string() + "/", c2 = (dir / "client2").string() + "/";
    EXPECT_EQ(Lines(log), (std::vector<std::string>{
                              "logon",
                              "transfer -ServerPath " + s1 + " -ClientPath " + c1 + " -Server2Client -overwrite -hide",
                              "transfer -ServerPath " + s2 + " -ClientPath " + c2 +
                                  " -Server2Client -overwriteIfDiff -hide",
                              "transfer -ServerPath " + s2 + " -ClientPath " + c2 + " -Client2Server -skip -hide",
                          }));
    // The tool really copied: what the logon program made, the server's
    // master copy over the client's, and the client's new file.
    EXPECT_EQ(Slurp(dir / "client1" / "fromlogon.txt"), "made\n");
    EXPECT_EQ(Slurp(dir / "client2" / "same.txt"), "server side");
    EXPECT_EQ(Slurp(dir / "server2" / "same.txt"), "server side");
    EXPECT_EQ(Slurp(dir / "server2" / "new.txt"), "from the client");
}

TEST_F(SessionStartTest, ProfileWithoutLocationsRunsTheLogonProgramThenTheDesktopShell)
{
    CTSUserData data;
    Profile(data);
    ASSERT_TRUE(config::SaveConfigurationFile(config, data));
    probe::ScopedEnv path("PATH", (dir / "bin").string());
    probe::ScopedEnv probeOut("PROBE_OUT", (dir / "shell-report").string());

    RealHost host(seam, config::FromUtf8(tool.string()));
    CQuillonDoc doc(seam, host, accounts);
    RunDialogsForReal(1);
    EXPECT_FALSE(doc.OnOpenDocument(QString::fromStdString(config.string())));

    EXPECT_FALSE(host.logoffArmed);
    EXPECT_EQ(Lines(log), std::vector<std::string>{"logon"});
    ASSERT_TRUE(probe::WaitFor([&] { return fs::exists(dir / "shell-report"); }));
    auto report = probe::ReadReport(dir / "shell-report");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->argv, std::vector<std::string>{"x-session-manager"});
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(SessionStartTest, DesktopShellThatCannotStartFallsBackToTheHomeFolder)
{
    fs::remove(dir / "bin" / "x-session-manager");
    fs::create_symlink(probe::ProbePath(), dir / "bin" / "xdg-open");
    probe::ScopedEnv path("PATH", (dir / "bin").string());
    probe::ScopedEnv home("HOME", (dir / "my home").string());
    probe::ScopedEnv probeOut("PROBE_OUT", (dir / "open-report").string());
    seam.AnswerMessage(framework::Answer::Ok).AnswerMessage(framework::Answer::Ok);

    RealHost host(seam, u"");
    CQuillonDoc doc(seam, host, accounts);
    EXPECT_FALSE(doc.OnOpenDocument(QString::fromStdString(config.string())));  // no file: a new, empty profile

    EXPECT_EQ(seam.MessageTexts(),
              (QStringList{QStringLiteral("The user configuration profile is missing\nPlease contact your system "
                                          "administrator"),
                           QStringLiteral("Error launching default shell, will try alternative shell")}));
    ASSERT_TRUE(probe::WaitFor([&] { return fs::exists(dir / "open-report"); }));
    EXPECT_EQ(probe::ReadReport(dir / "open-report")->argv,
              (std::vector<std::string>{"xdg-open", (dir / "my home").string()}));
}

} // namespace
