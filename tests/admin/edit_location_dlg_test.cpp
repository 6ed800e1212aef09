#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <functional>
#include <vector>

#include "admin/dialog_controls.h"
#include "admin/edit_location_dlg.h"
#include "platform/probe.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

using admintest::Control;
using framework::Answer;
using testsupport::ScriptedModalSeam;

const char* const kSyncControls[] = {"1017", "1019", "1018", "1020", "1022", "1023", "1024",
                                     "1015", "1004", "1039", "1016", "1043", "1041", "1042"};

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
    for (const char* id : kSyncControls)
        EXPECT_FALSE(Control(dlg, id)->isEnabled()) << id;
    EXPECT_TRUE(Control<QRadioButton>(dlg, "1020")->isChecked());
    for (const char* id : {"1039", "1043", "1016", "1041", "1042"})
        EXPECT_FALSE(Control<QRadioButton>(dlg, id)->isChecked()) << id;

    Control<QCheckBox>(dlg, "1010")->click();
    EXPECT_TRUE(Control(dlg, "1004")->isEnabled());
    Control<QLineEdit>(dlg, "1004")->setText(QStringLiteral("/home/c/"));
    Control<QCheckBox>(dlg, "1024")->setChecked(true);
    Control<QRadioButton>(dlg, "1041")->setChecked(true);
    Control<QRadioButton>(dlg, "1018")->setChecked(true);
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

TEST_F(EditLocationDlgTest, NewLocationAsksDoesNotUpdateAndHasItsSynchronizationControlsOff)
{
    CEditLocationDlg dlg(seam);
    dlg.LoadFromItem(CTSAppDataItem());
    EXPECT_TRUE(Control<QRadioButton>(dlg, "1020")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dlg, "1039")->isChecked());
    const char* alwaysOn[] = {"1000", "1001", "1002", "1003", "1010", "1038", "1011", "1005", "1", "2"};
    for (bool sync : {false, true, false}) {
        for (const char* id : kSyncControls)
            EXPECT_EQ(Control(dlg, id)->isEnabled(), sync) << id;
        for (const char* id : alwaysOn)
            EXPECT_TRUE(Control(dlg, id)->isEnabled()) << id;
        if (sync != Control<QCheckBox>(dlg, "1010")->isChecked())
            ADD_FAILURE() << "the check box and the controls disagree";
        Control<QCheckBox>(dlg, "1010")->click();
    }
}

// One run of "Visual Options...": what the administrator does in it, and
// whether it ends with OK.
struct VisualCase {
    const char* what;
    CLocationVisualOptions stored;  // of the location loaded
    std::function<void(CVisualOptionsDlg&)> act;
    bool ok;
    CLocationVisualOptions expected;  // stored when the editor is confirmed
};

CLocationVisualOptions Visual(bool commonTasks, const char16_t* path, int image, int view)
{
    CLocationVisualOptions v;
    v.m_bShowCommonTasks = commonTasks;
    v.m_strImagePath = path;
    v.m_nImageStyle = image;
    v.m_nViewStyle = view;
    return v;
}

TEST_F(EditLocationDlgTest, VisualOptionsReachTheLocationAsTheirListsAndOkSay)
{
    auto row = [](const char* id, int index) {
        return [id, index](CVisualOptionsDlg& d) { Control<QComboBox>(d, id)->setCurrentIndex(index); };
    };
    const VisualCase cases[] = {
        {"new location, OK", Visual(false, u"", -1, -1), [](CVisualOptionsDlg&) {}, true, Visual(false, u"", -1, -1)},
        {"typing a path picks Normal",
         Visual(false, u"", -1, -1),
         [](CVisualOptionsDlg& d) { QTest::keyClicks(Control<QLineEdit>(d, "1045"), "/i"); },
         true,
         Visual(false, u"/i", 0, -1)},
        {"typing keeps a chosen style", Visual(false, u"", 16, -1),
         [](CVisualOptionsDlg& d) { QTest::keyClicks(Control<QLineEdit>(d, "1045"), "/i"); }, true,
         Visual(false, u"/i", 16, -1)},
        {"Tile image", Visual(false, u"", -1, -1), row("1046", 1), true, Visual(false, u"", 16, -1)},
        {"Tile view", Visual(false, u"", -1, -1), row("1044", 5), true, Visual(false, u"", -1, 6)},
        {"Details, then Cancel", Visual(false, u"", -1, 1), row("1044", 3), false, Visual(false, u"", -1, 4)},
        {"typed path and check box, then Cancel",
         Visual(false, u"/old", -1, -1),
         [](CVisualOptionsDlg& d) {
             QTest::keyClicks(Control<QLineEdit>(d, "1045"), "x");
             Control<QCheckBox>(d, "1041")->click();
         },
         false,
         Visual(false, u"/old", 0, -1)},
    };
    for (const VisualCase& c : cases) {
        SCOPED_TRACE(c.what);
        CTSAppDataItem item;
        item.m_visualOptions = c.stored;
        CEditLocationDlg dlg(seam);
        dlg.LoadFromItem(item);
        seam.HandleDialogAs<CVisualOptionsDlg>([&c](CVisualOptionsDlg& d) {
            c.act(d);
            c.ok ? d.accept() : d.reject();
            return d.result();
        });
        Control<QPushButton>(dlg, "1005")->click();
        dlg.accept();
        CTSAppDataItem out;
        dlg.StoreToItem(out);
        EXPECT_EQ(out.m_visualOptions, c.expected);
    }
}

TEST_F(EditLocationDlgTest, EachVisualOptionsRunStartsFromWhatTheLastOneKept)
{
    CTSAppDataItem item;
    item.m_visualOptions = Visual(false, u"/old", 1, -1);
    CEditLocationDlg dlg(seam);
    dlg.LoadFromItem(item);
    seam.HandleDialogAs<CVisualOptionsDlg>([](CVisualOptionsDlg& d) {
        EXPECT_EQ(Control<QComboBox>(d, "1046")->currentText(), "Center");
        EXPECT_EQ(Control<QComboBox>(d, "1044")->currentIndex(), -1);
        Control<QLineEdit>(d, "1045")->setText("/typed");
        Control<QComboBox>(d, "1044")->setCurrentIndex(3);
        d.reject();
        return d.result();
    });
    seam.HandleDialogAs<CVisualOptionsDlg>([](CVisualOptionsDlg& d) {
        EXPECT_EQ(Control<QLineEdit>(d, "1045")->text(), "/old");  // Cancel kept the path
        EXPECT_EQ(Control<QComboBox>(d, "1044")->currentText(), "Details");
        d.reject();
        return d.result();
    });
    auto* button = Control<QPushButton>(dlg, "1005");
    button->click();
    button->click();
}

TEST_F(EditLocationDlgTest, ImageBrowseKeepsTheCheckBoxAndPicksNormal)
{
    CEditLocationDlg dlg(seam);
    dlg.LoadFromItem(CTSAppDataItem());
    seam.HandleDialogAs<CVisualOptionsDlg>([](CVisualOptionsDlg& d) {
        Control<QCheckBox>(d, "1041")->click();
        Control<QPushButton>(d, "1002")->click();  // cancelled: nothing changes
        EXPECT_EQ(d.m_nImageStyle, -1);
        Control<QPushButton>(d, "1002")->click();
        d.accept();
        return d.result();
    });
    seam.CancelFileDialog().ChooseFileAnswer("/img/sea.jpg");
    Control<QPushButton>(dlg, "1005")->click();
    CTSAppDataItem out;
    dlg.StoreToItem(out);
    EXPECT_EQ(out.m_visualOptions, Visual(true, u"/img/sea.jpg", 0, -1));
    ASSERT_EQ(seam.FileDialogs().size(), 2u);
    EXPECT_EQ(seam.FileDialogs()[0].kind, framework::FileDialogRequest::Kind::Open);
    EXPECT_TRUE(seam.FileDialogs()[0].filter.startsWith("Image Files (*.bmp *.gif *.jpg)"));
}

TEST_F(EditLocationDlgTest, BrowseFillsOnlyTheServerFolder)
{
    for (bool chosen : {true, false}) {
        ScriptedModalSeam folders;
        chosen ? folders.ChooseFileAnswer("/srv/picked") : folders.CancelFileDialog();
        CTSAppDataItem item;
        item.m_strName = u"Docs";
        item.m_strServerLocation = u"/srv/old";
        item.m_strClientLocation = u"/home/c";
        CEditLocationDlg dlg(folders);
        dlg.LoadFromItem(item);
        Control<QLineEdit>(dlg, "1000")->setText("Typed");
        Control<QPushButton>(dlg, "1002")->click();
        ASSERT_EQ(folders.FileDialogs().size(), 1u);
        EXPECT_EQ(folders.FileDialogs()[0].kind, framework::FileDialogRequest::Kind::Folder);
        EXPECT_EQ(folders.FileDialogs()[0].title, "Find Drive/Dir");
        EXPECT_EQ(folders.FileDialogs()[0].initialName, "/srv/old");
        EXPECT_EQ(Control<QLineEdit>(dlg, "1001")->text(), chosen ? "/srv/picked" : "/srv/old");
        EXPECT_EQ(Control<QLineEdit>(dlg, "1000")->text(), "Typed");
        EXPECT_EQ(Control<QLineEdit>(dlg, "1004")->text(), "/home/c");
    }
}

TEST_F(EditLocationDlgTest, CreateFolderAsksMakesOneLevelAndSaysWhyNot)
{
    probe::ScratchDir scratch;
    const QString base = QString::fromStdString(scratch.Path().string());
    std::filesystem::create_directory(scratch / "exists");
    const QString invalid =
        "Server location is not a valid directory.\nPlease enter a valid directory ant try again.";
    struct Case {
        QString server;
        std::vector<Answer> answers;
        QStringList messages;
        bool created;  // the folder is there afterwards
    };
    const Case cases[] = {
        {"/", {Answer::Ok}, {invalid}, false},
        {"//", {Answer::Ok}, {invalid}, false},
        {"", {Answer::Ok}, {invalid}, false},
        {"srv/new", {Answer::Ok}, {invalid}, false},
        {base + "/new", {Answer::Yes}, {"Are you sure you want to create " + base + "/new ?"}, true},
        {base + "/%1 100%", {Answer::Yes}, {"Are you sure you want to create " + base + "/%1 100% ?"}, true},
        {base + "/declined", {Answer::No}, {"Are you sure you want to create " + base + "/declined ?"}, false},
        {base + "/missing/child",
         {Answer::Yes, Answer::Ok},
         {"Are you sure you want to create " + base + "/missing/child ?",
          "Error creating directory\nNo such file or directory"},
         false},
        {base + "/exists",
         {Answer::Yes, Answer::Ok},
         {"Are you sure you want to create " + base + "/exists ?", "Error creating directory\nFile exists"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server.toStdString());
        ScriptedModalSeam boxes;
        for (Answer a : c.answers)
            boxes.AnswerMessage(a);
        CEditLocationDlg dlg(boxes);
        dlg.LoadFromItem(CTSAppDataItem());
        Control<QLineEdit>(dlg, "1001")->setText(c.server);
        Control<QPushButton>(dlg, "1003")->click();
        EXPECT_EQ(boxes.MessageTexts(), c.messages);
        if (c.server.startsWith(base)) {
            EXPECT_EQ(std::filesystem::is_directory(c.server.toStdString()), c.created);
        }
        for (const auto& m : boxes.Messages())
            EXPECT_EQ(m.icon, m.buttons == framework::MessageButtons::YesNo ? framework::MessageIcon::Question
                                                                            : framework::MessageIcon::Warning);
    }
}

TEST_F(EditLocationDlgTest, WorksFromTheKeyboard)
{
    CEditLocationDlg dlg(seam);
    CTSAppDataItem item;
    item.m_bSyncEnabled = 1;
    dlg.LoadFromItem(item);
    if (!admintest::ShowActive(dlg))
        GTEST_SKIP() << "the platform gives no window focus";
    EXPECT_EQ(admintest::TabChain(), QStringList({"1000", "1001", "1002", "1003", "1010", "1004", "1020", "1022",
                                                  "1023", "1024", "1039", "1015", "1038", "1011", "1005", "1", "2"}));

    QTest::keyClick(&dlg, Qt::Key_N, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "Docs");
    QTest::keyClick(&dlg, Qt::Key_S, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "/srv/docs/");
    QTest::keyClick(&dlg, Qt::Key_R, Qt::AltModifier);
    auto* rightMouse = Control<QCheckBox>(dlg, "1038");
    EXPECT_TRUE(admintest::Eventually([&] { return rightMouse->isChecked(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    CTSAppDataItem out;
    dlg.StoreToItem(out);
    EXPECT_EQ(out.m_strName, u"Docs");
    EXPECT_EQ(out.m_strServerLocation, u"/srv/docs");
    EXPECT_EQ(out.m_bSyncEnabled, 1);
    EXPECT_EQ(out.m_bRightMouseButton, 1);

    CEditLocationDlg again(seam);
    if (!admintest::ShowActive(again))
        GTEST_SKIP();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_FALSE(again.isVisible());
}

} // namespace
