#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/quillon_app.h"
#include "app_fixture.h"
#include "config/config_file.h"
#include "config/text.h"
#include "document/quillon_doc.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "journal/journal.h"
#include "runner/runner_test_support.h"
#include "support/journal_listener.h"

using testjournal::Field;

namespace {

class JournalFlowTest : public apptest::AppFixture {
protected:
    JournalFlowTest() : AppFixture("anna") {}

    bool Start(bool administrator, const QStringList& arguments = {})
    {
        m_environment.administrator = administrator;
        m_app = std::make_unique<CQuillonApp>(m_seam, m_environment, m_accounts, m_session,
                                              journal::SystemJournal("quillon", m_accounts, m_listener.Path()));
        return m_app->InitInstance(arguments);
    }

    std::vector<std::string> EventNames(const std::vector<testjournal::Record>& records)
    {
        std::vector<std::string> names;
        for (const auto& r : records) {
            names.push_back(Field(r, "QUILLON_EVENT"));
            EXPECT_EQ(Field(r, "SYSLOG_IDENTIFIER"), "quillon");
            EXPECT_EQ(Field(r, "QUILLON_ACCOUNT"), "VM\\anna");
        }
        return names;
    }

    testjournal::Listener m_listener{testfiles::ScratchDir("journal-flow")};
};

CTSAppDataItem Synced(const std::string& name, const std::filesystem::path& server, const std::string& client)
{
    CTSAppDataItem item = apptest::Location(name, server.string());
    item.m_strClientLocation = config::FromUtf8(client);
    item.m_bSyncEnabled = 1;
    item.m_nConnectAction = kConnectUpdateClient;
    item.m_bHideTransferWindow = 1;
    return item;
}

} // namespace

// A service-mode start: the session, its logon program, one transfer run by
// the real tool and one skipped, then the logoff.
TEST_F(JournalFlowTest, ServiceSessionIsRecordedFromStartToLogoff)
{
    testfiles::Put(m_dir / "server" / "a.txt", "hello");
    std::filesystem::create_symlink(QUILLON_PONTLET, m_dir / "pontlet");
    CTSUserData data;
    CTSUserDataItem* anna = data.Add(u"VM\\anna", kEntryUser, false);
    anna->m_script.m_strProgramPath = u"/bin/sh";
    anna->m_script.m_strArguments = u"-c \"exit 3\"";
    anna->m_script.m_bEnabled = 1;
    anna->m_script.m_nTimeout = -1;
    anna->m_locations.Add(Synced("Docs", m_dir / "server", (m_dir / "client").string()), false);
    anna->m_locations.Add(Synced("Web", m_dir / "server", ""), false);
    ASSERT_TRUE(config::SaveConfigurationFile(ConfigPath(), data));
    for (int i = 0; i < 2; ++i)
        m_seam.HandleDialog([](QDialog& d) { return runnertest::ExecWatched(d, [](CTaskRunningDlg&) {}); });

    ASSERT_TRUE(Start(false, {"service"}));
    m_app->ExitInstance();

    const auto records = m_listener.Take();
    ASSERT_EQ(EventNames(records), (std::vector<std::string>{"session-start", "logon-program", "transfer", "transfer",
                                                             "session-end"}));
    EXPECT_EQ(Field(records[0], "QUILLON_FACE"), "user");
    EXPECT_EQ(Field(records[0], "QUILLON_SERVICE_MODE"), "1");
    EXPECT_EQ(Field(records[0], "QUILLON_PROFILE"), "VM\\anna");
    EXPECT_EQ(Field(records[0], "QUILLON_MATCHED_BY"), "account");
    EXPECT_EQ(Field(records[0], "QUILLON_LOCATIONS"), "2");
    EXPECT_EQ(Field(records[1], "QUILLON_COMMAND_LINE"), "/bin/sh -c \"exit 3\"");
    EXPECT_EQ(Field(records[1], "QUILLON_END"), "exited");
    EXPECT_EQ(Field(records[1], "QUILLON_EXIT_CODE"), "3");
    EXPECT_EQ(Field(records[1], "PRIORITY"), "4");
    EXPECT_EQ(Field(records[2], "QUILLON_LOCATION"), "Docs");
    EXPECT_EQ(Field(records[2], "QUILLON_DIRECTION"), "server-to-client");
    EXPECT_NE(Field(records[2], "QUILLON_COMMAND_LINE").find("-Server2Client"), std::string::npos);
    EXPECT_EQ(Field(records[2], "QUILLON_EXIT_CODE"), "0");
    EXPECT_EQ(Field(records[2], "QUILLON_EXIT_MEANING"), "everything copied or decided by a rule");
    EXPECT_NE(Field(records[2], "QUILLON_SECONDS"), "<none>");
    EXPECT_EQ(testfiles::Slurp(m_dir / "client" / "a.txt"), "hello");
    EXPECT_EQ(Field(records[3], "QUILLON_LOCATION"), "Web");
    EXPECT_EQ(Field(records[3], "QUILLON_END"), "skipped");
    EXPECT_EQ(Field(records[3], "QUILLON_REASON"), "no client folder");
    EXPECT_NE(Field(records[4], "QUILLON_SECONDS"), "<none>");
}

// The console: an unreadable configuration, then a save that keeps it aside
// and names the entries it changed. The administrator's own profile is
// reported but not added to the configuration.
TEST_F(JournalFlowTest, ConsoleReadFailureAndSaveAreRecorded)
{
    testfiles::Put(ConfigPath(), "not a configuration");
    m_seam.AnswerMessage(framework::Answer::Ok).AnswerMessage(framework::Answer::Ok);
    ASSERT_TRUE(Start(true));
    EXPECT_EQ(Doc().m_userData.GetSize(), 0u);
    Doc().m_userData.Add(u"VM\\carl", kEntryUser, false);
    Doc().SetModifiedFlag();
    ASSERT_TRUE(Doc().DoFileSave());

    const auto records = m_listener.Take();
    ASSERT_EQ(EventNames(records),
              (std::vector<std::string>{"configuration-read-failed", "session-start", "configuration-saved"}));
    EXPECT_EQ(Field(records[0], "QUILLON_PATH"), ConfigPath().string());
    EXPECT_NE(Field(records[0], "QUILLON_OFFSET"), "<none>");
    EXPECT_EQ(Field(records[1], "QUILLON_FACE"), "administrator");
    EXPECT_EQ(Field(records[1], "QUILLON_MATCHED_BY"), "new");
    EXPECT_EQ(Field(records[2], "QUILLON_SOURCE"), "console");
    EXPECT_EQ(Field(records[2], "QUILLON_ENTRY_ADDED"), "VM\\carl");
    EXPECT_EQ(Field(records[2], "QUILLON_UNREADABLE_KEPT_AS"), ConfigPath().string() + ".unreadable");
}

// A session that finds no configuration says so, with the system's text.
TEST_F(JournalFlowTest, AMissingConfigurationIsRecorded)
{
    m_seam.AnswerMessage(framework::Answer::Ok);
    ASSERT_TRUE(Start(false));
    const auto records = m_listener.Take();
    ASSERT_EQ(EventNames(records), (std::vector<std::string>{"configuration-read-failed", "session-start"}));
    EXPECT_EQ(Field(records[0], "QUILLON_PATH"), ConfigPath().string());
    EXPECT_EQ(Field(records[0], "QUILLON_ERROR"), ConfigPath().string() + ": No such file or directory");
}

// An import names the entries it changed against what was read, not
// against changes given up in the window.
TEST_F(JournalFlowTest, AnImportIsComparedWithWhatWasRead)
{
    apptest::WriteConfiguration(ConfigPath(), {apptest::Entry("VM\\anna", 1, {}), apptest::Entry("VM\\bert", 1, {})});
    ASSERT_TRUE(Start(true));
    Doc().m_userData.Add(u"VM\\dora", kEntryUser, false);
    Doc().SetModifiedFlag();
    const auto source = m_dir / "incoming.QLNData";
    apptest::WriteConfiguration(source, {apptest::Entry("VM\\bert", 1, {}), apptest::Entry("VM\\carl", 1, {})});
    m_listener.Take();
    m_seam.AnswerMessage(framework::Answer::Yes)
        .ChooseFileAnswer(QString::fromStdString(source.string()))
        .AnswerMessage(framework::Answer::Ok);
    ASSERT_TRUE(m_app->Router().Execute(framework::ID_IMPORT_CONFIGURATION));
    const auto records = m_listener.Take();
    ASSERT_EQ(EventNames(records), std::vector<std::string>{"configuration-saved"});
    EXPECT_EQ(Field(records[0], "QUILLON_SOURCE"), "import");
    EXPECT_EQ(Field(records[0], "QUILLON_ENTRY_ADDED"), "VM\\carl");
    EXPECT_EQ(Field(records[0], "QUILLON_ENTRY_REMOVED"), "VM\\anna");
}
