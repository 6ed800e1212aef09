#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "admin/edit_location_dlg.h"
#include "platform/probe.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

using framework::Answer;
using testsupport::ScriptedModalSeam;

const QString kServerBad = QStringLiteral("Server location is not a valid drive or directory.\n");
const QString kClientBad = QStringLiteral(
    "Client location is not a valid drive or directory.\nNon manual file transfer options require a valid client "
    "drive or directory.\n");
const QString kDisabled = QStringLiteral("Synchronization options will be disabled.");

class EditLocationDlgTest : public testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }
    ScriptedModalSeam seam;
    probe::ScopedEnv share{"QUILLON_T_SHARE", "/srv/share"};
};

TEST_F(EditLocationDlgTest, OverwriteModeMapsToTheOptionAndBack)
{
    struct Case {
        std::int32_t stored;
        int option;
        std::int32_t storedBack;
    };
    for (Case c : {Case{8, 0, 8}, Case{101, 1, 101}, Case{1042, 2, 1042}, Case{-1, 3, -1}, Case{0, 3, -1},
                   Case{7, 3, -1}}) {
        CEditLocationDlg dlg(seam);
        CTSAppDataItem item;
        item.m_nOverwriteMode = c.stored;
        dlg.LoadFromItem(item);
        EXPECT_EQ(dlg.m_nOverwriteOption, c.option) << c.stored;
        CTSAppDataItem out;
        dlg.StoreToItem(out);
        EXPECT_EQ(out.m_nOverwriteMode, c.storedBack) << c.stored;
    }
    EXPECT_EQ(CEditLocationDlg::OverwriteModeFor(-1), kOverwriteAsk);  // no button selected
}

TEST_F(EditLocationDlgTest, StoreDropsOneTrailingSeparatorOfValidPaths)
{
    struct Case {
        const char* server;
        bool expand;
        const char* client;
        std::u16string storedServer;
        std::u16string storedClient;
    };
    const Case cases[] = {
        {"/srv/share/", false, "/home/c/", u"/srv/share", u"/home/c"},
        {"/", false, "/", u"/", u"/"},
        {"share/", false, "c/", u"share/", u"c/"},
        // Checked expanded, stored as written.
        {"%QUILLON_T_SHARE%/docs/", true, "", u"%QUILLON_T_SHARE%/docs", u""},
        {"%QUILLON_T_SHARE%/docs/", false, "", u"%QUILLON_T_SHARE%/docs/", u""},
        {"%QUILLON_T_UNSET%/docs/", true, "", u"%QUILLON_T_UNSET%/docs/", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        CEditLocationDlg dlg(seam);
        dlg.m_strServerLocation = QString::fromUtf8(c.server);
        dlg.m_strClientLocation = QString::fromUtf8(c.client);
        dlg.m_bExpandEnvironment = c.expand;
        CTSAppDataItem out;
        dlg.StoreToItem(out);
        EXPECT_EQ(out.m_strServerLocation, c.storedServer);
        EXPECT_EQ(out.m_strClientLocation, c.storedClient);
        EXPECT_EQ(dlg.m_strServerLocation.toStdU16String(), c.storedServer);
    }
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(EditLocationDlgTest, InconsistentSynchronizationIsSwitchedOffWithOneMessage)
{
    struct Case {
        const char* what;
        const char* server;
        const char* client;
        bool clientToServer;
        bool serverToClient;
        bool manual;
        QString message;  // empty: none, synchronization stays on
    };
    const Case cases[] = {
        {"all wrong", "smb://host/share", "", false, true, false, kServerBad + kClientBad + kDisabled},
        {"client wrong", "/srv", "c:/x", true, false, false, kClientBad + kDisabled},
        {"server wrong only", "share", "", false, false, true, kServerBad + kDisabled},
        {"manual needs no client", "/srv", "", false, false, true, QString()},
        {"valid", "/srv/", "/home/c/", true, true, true, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedModalSeam boxes;
        if (!c.message.isEmpty())
            boxes.AnswerMessage(Answer::Ok);
        CEditLocationDlg dlg(boxes);
        dlg.m_bSyncEnabled = true;
        dlg.m_strServerLocation = QString::fromUtf8(c.server);
        dlg.m_strClientLocation = QString::fromUtf8(c.client);
        dlg.m_bClientToServer = c.clientToServer;
        dlg.m_bServerToClient = c.serverToClient;
        dlg.m_bManualTransfer = c.manual;
        CTSAppDataItem out;
        EXPECT_TRUE(dlg.StoreToItem(out));
        EXPECT_EQ(out.m_bSyncEnabled, c.message.isEmpty() ? 1 : 0);
        EXPECT_EQ(out.m_bServerToClient, c.serverToClient);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(boxes.Messages().empty());
        } else {
            ASSERT_EQ(boxes.Messages().size(), 1u);
            EXPECT_EQ(boxes.Messages()[0].text, c.message);
            EXPECT_EQ(boxes.Messages()[0].icon, framework::MessageIcon::Warning);
        }
    }
}

TEST_F(EditLocationDlgTest, ControlsShowTheLocationAndOkReadsThemBack)
{
    CTSAppDataItem item;
    item.m_strName = u"Docs";
    item.m_strServerLocation = u"/srv/docs";
    item.m_nConnectAction = 7;  // outside the buttons: none is selected
    item.m_visualOptions.m_nViewStyle = 4;
    CEditLocationDlg dlg(seam);
    dlg.LoadFromItem(item);

    // A location without synchronization opens with its controls disabled.
    for (const char* id : {"1017", "1019", "1018", "1020", "1022", "1023", "1024", "1015", "1004", "1039", "1016",
                           "1043", "1041", "1042"})
        EXPECT_FALSE(dlg.findChild<QWidget*>(QLatin1String(id))->isEnabled()) << id;
    EXPECT_TRUE(dlg.findChild<QRadioButton*>(QStringLiteral("1020"))->isChecked());
    for (const char* id : {"1039", "1043", "1016", "1041", "1042"})
        EXPECT_FALSE(dlg.findChild<QRadioButton*>(QLatin1String(id))->isChecked()) << id;

    dlg.findChild<QCheckBox*>(QStringLiteral("1010"))->click();
    EXPECT_TRUE(dlg.findChild<QWidget*>(QStringLiteral("1004"))->isEnabled());
    dlg.findChild<QLineEdit*>(QStringLiteral("1004"))->setText(QStringLiteral("/home/c/"));
    dlg.findChild<QCheckBox*>(QStringLiteral("1024"))->setChecked(true);
    dlg.findChild<QRadioButton*>(QStringLiteral("1041"))->setChecked(true);
    dlg.findChild<QRadioButton*>(QStringLiteral("1018"))->setChecked(true);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    CTSAppDataItem out;
    dlg.StoreToItem(out);
    EXPECT_EQ(out.m_strName, u"Docs");
    EXPECT_EQ(out.m_strClientLocation, u"/home/c");
    EXPECT_EQ(out.m_bSyncEnabled, 1);
    EXPECT_EQ(out.m_bManualTransfer, 1);
    EXPECT_EQ(out.m_nConnectAction, kConnectServerMaster);
    EXPECT_EQ(out.m_nOverwriteMode, kOverwriteSkip);
    EXPECT_EQ(out.m_visualOptions, item.m_visualOptions);  // kept through the edit

    // Left without a selected button, the out-of-range action is stored as -1.
    CEditLocationDlg again(seam);
    again.LoadFromItem(item);
    again.accept();
    CTSAppDataItem out2;
    again.StoreToItem(out2);
    EXPECT_EQ(out2.m_nConnectAction, -1);
}

} // namespace
