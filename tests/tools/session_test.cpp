#include "cmd_session.h"

#include "support/fake_account_services.h"
#include "config/config_file.h"

#include <gtest/gtest.h>

#include "captured_run.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::u16string kTool = u"/opt/quillon/pontlet";

class SessionDryRun : public testing::Test {
protected:
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    Outcome Run(std::vector<std::string> args)
    {
        return Capture(
            [&](std::ostream& out, std::ostream& err) { return quillonctl::SessionWith(fake, kTool, args, out, err); });
    }

    // Saves the configuration and runs the dry run on it.
    Outcome RunOn(const CTSUserData& data)
    {
        fs::create_directories(dir);
        const auto path = dir / "userConfig.QLNData";
        EXPECT_TRUE(config::SaveConfigurationFile(path, data));
        return Run({"--dry-run", path.string()});
    }

    static CTSAppDataItem Location(const char16_t* name, std::int32_t sync, std::int32_t action,
                                   std::int32_t overwrite, std::int32_t hide)
    {
        CTSAppDataItem item;
        item.m_strName = name;
        item.m_strServerLocation = std::u16string(u"/srv/") + name;
        item.m_strClientLocation = std::u16string(u"/client/") + name;
        item.m_bSyncEnabled = sync;
        item.m_nConnectAction = action;
        item.m_nOverwriteMode = overwrite;
        item.m_bHideTransferWindow = hide;
        return item;
    }

    accounts::FakeAccountServices fake = accounts::FakeAccountServices::Local("SERVER1", "anna", {"Users", "Sales"});
    fs::path dir = fs::temp_directory_path() / ("quillon-session-" + std::to_string(::getpid()));
};

TEST_F(SessionDryRun, Usage)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"x"}, {"--dry-run", "a", "b"}, {"a", "--dry-run"}}) {
        Outcome r = Run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "usage: quillonctl session --dry-run [FILE]\n");
    }
}

TEST_F(SessionDryRun, NoConfigurationGivesTheDesktopShell)
{
    Outcome r = Run({"--dry-run", "/nonexistent/userConfig.QLNData"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "shell: x-session-manager\n");
    EXPECT_NE(r.err.find("no configuration read"), std::string::npos);
}

TEST_F(SessionDryRun, LogonProgramThenShellForAProfileWithoutLocations)
{
    CTSUserData data;
    CTSUserDataItem* own = data.Add(u"server1\\ANNA", kEntryUser, false);
    own->m_script.m_bEnabled = 1;
    own->m_script.m_strProgramPath = u"/opt/logon tools/start";
    own->m_script.m_strArguments = u"-a \"b c\"";
    Outcome r = RunOn(data);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "script: /opt/logon tools/start -a \"b c\"\nshell: x-session-manager\n");
}

TEST_F(SessionDryRun, DisabledOrEmptyLogonProgramPrintsNoScript)
{
    CTSUserData data;
    CTSUserDataItem* own = data.Add(u"SERVER1\\anna", kEntryUser, false);
    own->m_script.m_strProgramPath = u"/opt/logon";
    Outcome r = RunOn(data);
    EXPECT_EQ(r.out, "shell: x-session-manager\n");

    own->m_script.m_bEnabled = 1;
    own->m_script.m_strProgramPath.clear();
    r = RunOn(data);
    EXPECT_EQ(r.out, "shell: x-session-manager\n");
    EXPECT_NE(r.err.find("names no program"), std::string::npos);
}

TEST_F(SessionDryRun, ConnectTransfersOfTheGroupProfileInOrder)
{
    CTSUserData data;
    data.Add(u"SERVER1\\Other", kEntryGroup, false)->m_locations.Add(Location(u"X", 1, 1, 8, 0), false);
    CTSUserDataItem* group = data.Add(u"SERVER1\\Sales", kEntryGroup, false);
    group->m_script.m_bEnabled = 1;
    group->m_script.m_strProgramPath = u"/opt/logon";
    group->m_locations.Add(Location(u"Docs", 1, 1, 8, 1), false);
    group->m_locations.Add(Location(u"Off", 0, 1, 8, 0), false);
    group->m_locations.Add(Location(u"Never", 1, 0, 8, 0), false);
    group->m_locations.Add(Location(u"Both", 1, 3, 8, 0), false);
    group->m_locations.Add(Location(u"Back", 1, 4, -1, 1), false);
    group->m_locations.Add(Location(u"Up", 1, 2, 1042, 0), false);
    Outcome r = RunOn(data);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "script: /opt/logon \n"
              "logoff: armed\n"
              "transfer: /opt/quillon/pontlet -ServerPath \"/srv/Docs/\" -ClientPath \"/client/Docs/\" -Server2Client -overwrite -hide \n"
              "transfer: /opt/quillon/pontlet -ServerPath \"/srv/Both/\" -ClientPath \"/client/Both/\" -Server2Client -overwriteIfDiff \n"
              "transfer: /opt/quillon/pontlet -ServerPath \"/srv/Both/\" -ClientPath \"/client/Both/\" -Client2Server -skip \n"
              "transfer: /opt/quillon/pontlet -ServerPath \"/srv/Back/\" -ClientPath \"/client/Back/\" -Client2Server -overwriteIfDiff -hide \n"
              "transfer: /opt/quillon/pontlet -ServerPath \"/srv/Back/\" -ClientPath \"/client/Back/\" -Server2Client -skip -hide \n"
              "transfer: /opt/quillon/pontlet -ServerPath \"/srv/Up/\" -ClientPath \"/client/Up/\" -Client2Server -skip \n");
}

TEST_F(SessionDryRun, LocationsWithoutTransfersStillArmTheLogoff)
{
    CTSUserData data;
    data.Add(u"SERVER1\\Users", kEntryGroup, false)->m_locations.Add(Location(u"Docs", 0, 3, 8, 0), false);
    EXPECT_EQ(RunOn(data).out, "logoff: armed\n");
}

TEST_F(SessionDryRun, ServerPathIsExpandedForTheTransfer)
{
    ::setenv("QUILLON_SESSION_T", "anna", 1);
    CTSUserData data;
    CTSAppDataItem loc = Location(u"Docs", 1, 2, 101, 0);
    loc.m_strServerLocation = u"/home/%QUILLON_SESSION_T%";
    loc.m_strClientLocation = u"/c/%QUILLON_SESSION_T%";
    data.Add(u"SERVER1\\anna", kEntryUser, false)->m_locations.Add(loc, false);
    EXPECT_EQ(RunOn(data).out,
              "logoff: armed\n"
              "transfer: /opt/quillon/pontlet -ServerPath \"/home/anna/\" -ClientPath \"/c/%QUILLON_SESSION_T%/\" -Client2Server -overwriteIfDiff \n");
    ::unsetenv("QUILLON_SESSION_T");
}

} // namespace

namespace {

TEST_F(SessionDryRun, TransfersWithNothingToCopyAreShownSkipped)
{
    ::setenv("QUILLON_SESSION_LONG", std::string(600, 'x').c_str(), 1);
    CTSUserData data;
    CTSUserDataItem* own = data.Add(u"SERVER1\\anna", kEntryUser, false);
    CTSAppDataItem noClient = Location(u"Docs", 1, 1, 8, 0);
    noClient.m_strClientLocation.clear();
    CTSAppDataItem tooLong = Location(u"Long", 1, 2, 8, 0);
    tooLong.m_strServerLocation = u"/home/%QUILLON_SESSION_LONG%";
    own->m_locations.Add(noClient, false);
    own->m_locations.Add(tooLong, false);
    own->m_locations.Add(Location(u"Fine", 1, 1, 8, 0), false);
    Outcome r = RunOn(data);
    ::unsetenv("QUILLON_SESSION_LONG");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "logoff: armed\n"
                     "transfer: skipped (no client folder)\n"
                     "transfer: skipped (the server folder is longer than 519 characters once expanded)\n"
                     "transfer: /opt/quillon/pontlet -ServerPath \"/srv/Fine/\" -ClientPath \"/client/Fine/\" "
                     "-Server2Client -overwrite \n");
}

} // namespace
