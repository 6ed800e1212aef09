#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

#include "platform/probe.h"
#include "transfer/command_lines.h"

namespace {

using namespace transfer;

const std::u16string kTool = u"/opt/quillon/pontlet";

struct AutoCase {
    bool serverToClient;
    std::int32_t overwriteMode;
    bool hide;
    const char16_t* expected;
};
void PrintTo(const AutoCase& c, std::ostream* os)
{
    *os << (c.serverToClient ? "toClient_" : "toServer_") << "mode" << (c.overwriteMode < 0 ? "Minus" : "")
        << std::abs(c.overwriteMode) << (c.hide ? "_hide" : "");
}

class AutoTransferLineTest : public testing::TestWithParam<AutoCase> {};

TEST_P(AutoTransferLineTest, ByteExact)
{
    const AutoCase& c = GetParam();
    EXPECT_EQ(AutoTransferCommandLine(kTool, u"/srv/docs", u"C:\\Docs", c.serverToClient, c.overwriteMode, c.hide),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, AutoTransferLineTest,
    testing::Values(
        AutoCase{true, 101, true,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Server2Client -overwriteIfDiff -hide)"},
        AutoCase{true, 8, false,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Server2Client -overwrite)"},
        AutoCase{false, 8, true,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Client2Server -overwrite -hide)"},
        AutoCase{false, 101, false,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Client2Server -overwriteIfDiff)"},
        AutoCase{true, 1042, false,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Server2Client -skip)"},
        AutoCase{false, 1042, true,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Client2Server -skip -hide)"},
        // Any other mode: no switch, and the tool asks.
        AutoCase{true, -1, false,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Server2Client)"},
        AutoCase{false, 0, true,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Client2Server -hide)"},
        AutoCase{true, 9, false,
                 uR"(/opt/quillon/pontlet -ServerPath "/srv/docs/" -ClientPath "C:\Docs/" -Server2Client)"}));

TEST(AutoTransferLine, ServerPathIsExpandedClientPathIsNot)
{
    probe::ScopedEnv user("QUILLON_T_USER", "anna");
    EXPECT_EQ(AutoTransferCommandLine(kTool, u"/home/%QUILLON_T_USER%/docs", u"/client/%QUILLON_T_USER%", true, -1,
                                      false),
              uR"(/opt/quillon/pontlet -ServerPath "/home/anna/docs/" -ClientPath "/client/%QUILLON_T_USER%/" -Server2Client)");
}

TEST(AutoTransferLine, TrailingSeparatorsAreKeptAndOneIsAdded)
{
    EXPECT_EQ(AutoTransferCommandLine(kTool, u"/", u"/media/client/", false, -1, false),
              uR"(/opt/quillon/pontlet -ServerPath "//" -ClientPath "/media/client//" -Client2Server)");
}

TEST(AutoTransferLine, ServerPathTooLongToExpandIsPassedEmpty)
{
    EXPECT_EQ(AutoTransferCommandLine(kTool, std::u16string(520, u'a'), u"/c", true, -1, false),
              uR"(/opt/quillon/pontlet -ServerPath "/" -ClientPath "/c/" -Server2Client)");
}

CTSAppDataItem Location(std::u16string name, std::u16string server, std::u16string client)
{
    CTSAppDataItem item;
    item.m_strName = std::move(name);
    item.m_strServerLocation = std::move(server);
    item.m_strClientLocation = std::move(client);
    return item;
}

TEST(ManualTransferLine, WithClientFolder)
{
    EXPECT_EQ(ManualTransferCommandLine(kTool, Location(u"Docs", u"/srv/docs", u"C:\\Docs")),
              uR"(/opt/quillon/pontlet -SetServerFileList "Docs;/srv/docs" -ClientPath "Default Directory (C:\Docs);C:\Docs")");
}

TEST(ManualTransferLine, WithoutClientFolder)
{
    EXPECT_EQ(ManualTransferCommandLine(kTool, Location(u"Docs", u"/srv/docs", u"")),
              uR"(/opt/quillon/pontlet -SetServerFileList "Docs;/srv/docs")");
}

TEST(ManualTransferLine, OnlyTheServerPathIsExpanded)
{
    probe::ScopedEnv user("QUILLON_T_USER", "anna");
    EXPECT_EQ(ManualTransferCommandLine(kTool, Location(u"%QUILLON_T_USER%", u"/home/%QUILLON_T_USER%",
                                                        u"/c/%QUILLON_T_USER%/")),
              uR"(/opt/quillon/pontlet -SetServerFileList "%QUILLON_T_USER%;/home/anna" -ClientPath "Default Directory (/c/%QUILLON_T_USER%/);/c/%QUILLON_T_USER%/")");
}

TEST(ScriptLine, ProgramBlankArguments)
{
    CTSUserScriptItem script;
    script.m_strProgramPath = u"/opt/my tools/run";
    script.m_strArguments = u"-a \"b c\"";
    EXPECT_EQ(ScriptCommandLine(script), u"/opt/my tools/run -a \"b c\"");
    script.m_strArguments.clear();
    EXPECT_EQ(ScriptCommandLine(script), u"/opt/my tools/run ");
}

TEST(TransferScript, WaitsWithoutLimitAndMayBeAborted)
{
    const CTSUserScriptItem item = TransferScript(u"/opt/quillon/pontlet -x", kAutoTransferName);
    EXPECT_EQ(item.m_strProgramPath, u"/opt/quillon/pontlet -x");
    EXPECT_EQ(item.m_strDisplayName, u"Auto File Transfer");
    EXPECT_EQ(item.m_nTimeout, -1);
    EXPECT_TRUE(item.m_bWait);
    EXPECT_TRUE(item.m_bUserCanAbort);
    EXPECT_TRUE(item.m_strArguments.empty());
    EXPECT_TRUE(item.m_strWorkingDirectory.empty());
    EXPECT_EQ(ScriptCommandLine(item), u"/opt/quillon/pontlet -x ");
    EXPECT_EQ(kManualTransferName, u"Manual File Transfer");
}

struct ConnectCase {
    std::int32_t syncEnabled;
    std::int32_t action;
    std::vector<TransferStep> expected;
};
void PrintTo(const ConnectCase& c, std::ostream* os)
{
    *os << "sync" << c.syncEnabled << "_action" << (c.action < 0 ? "Minus" : "") << std::abs(c.action);
}

class ConnectTransfersTest : public testing::TestWithParam<ConnectCase> {};

TEST_P(ConnectTransfersTest, StepsInOrder)
{
    CTSAppDataItem item = Location(u"L", u"/s", u"/c");
    item.m_nOverwriteMode = 8;
    item.m_bSyncEnabled = GetParam().syncEnabled;
    item.m_nConnectAction = GetParam().action;
    EXPECT_EQ(ConnectTransfers(item), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ConnectTransfersTest,
    testing::Values(ConnectCase{1, 0, {}},
                    ConnectCase{1, 1, {{true, 8}}},
                    ConnectCase{1, 2, {{false, 8}}},
                    ConnectCase{1, 3, {{true, 101}, {false, 1042}}},
                    ConnectCase{1, 4, {{false, 101}, {true, 1042}}},
                    ConnectCase{1, 5, {}},
                    ConnectCase{1, -1, {}},
                    ConnectCase{0, 1, {}},
                    ConnectCase{0, 3, {}}));

} // namespace
