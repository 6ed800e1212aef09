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

TEST_F(EditLocationDlgTest, OkRefusesAFolderPathWithADoubleQuote)
{
    const struct {
        const char* server;
        const char* client;
        bool accepted;
    } cases[] = {{"/srv/s\"x", "/c", false}, {"/srv/s", "/c\" -hide", false}, {"/srv/it's", "/c d", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server);
        ScriptedModalSeam boxes;
        CEditLocationDlg dlg(boxes);
        dlg.LoadFromItem(CTSAppDataItem());
        dlg.show();
        Control<QLineEdit>(dlg, "1001")->setText(c.server);
        Control<QLineEdit>(dlg, "1004")->setText(c.client);
        if (!c.accepted)
            boxes.AnswerMessage(Answer::Ok);
        dlg.accept();
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(boxes.MessageTexts(),
                  c.accepted ? QStringList() : QStringList{"A folder path cannot contain the character \"."});
    }
}

TEST_F(EditLocationDlgTest, NewLocationAsksDoesNotUpdateAndHasItsSynchronizationControlsOff)
{
    CEditLocationDlg dlg(seam);
    dlg.LoadFromItem(CTSAppDataItem());
    EXPECT_TRUE(Control<QRadioButton>(dlg, "1020")->isChecked() && Control<QRadioButton>(dlg, "1039")->isChecked());
    for (bool sync : {false, true, false}) {
        for (const char* id : kSyncControls)
            EXPECT_EQ(Control(dlg, id)->isEnabled(), sync) << id;
        for (const char* id : {"1000", "1001", "1002", "1003", "1010", "1038", "1011", "1005", "1", "2"})
            EXPECT_TRUE(Control(dlg, id)->isEnabled()) << id;
        Control<QCheckBox>(dlg, "1010")->click();
    }
}

CLocationVisualOptions Visual(const char16_t* path, int image, int view, bool commonTasks = false)
{
    return {commonTasks, path, image, view};
}

// One run of "Visual Options..." (what is done in it, OK or Cancel), then
// OK in the editor.
TEST_F(EditLocationDlgTest, VisualOptionsReachTheLocationAsTheirListsAndOkSay)
{
    using Act = std::function<void(CVisualOptionsDlg&)>;
    auto pick = [](const char* id, int row) -> Act {
        return [=](CVisualOptionsDlg& d) { Control<QComboBox>(d, id)->setCurrentIndex(row); };
    };
    const Act type = [](CVisualOptionsDlg& d) { QTest::keyClicks(Control<QLineEdit>(d, "1045"), "/i"); };
    struct Case {
        const char* what;
        CLocationVisualOptions stored;
        Act act;
        bool ok;
        CLocationVisualOptions expected;
    } const cases[] = {
        {"new location", Visual(u"", -1, -1), [](CVisualOptionsDlg&) {}, true, Visual(u"", -1, -1)},
        {"opening picks no style", Visual(u"/p", -1, -1), [](CVisualOptionsDlg&) {}, true, Visual(u"/p", -1, -1)},
        {"unknown styles kept", Visual(u"", 2, 0), [](CVisualOptionsDlg&) {}, true, Visual(u"", 2, 0)},
        {"typing picks Normal", Visual(u"", -1, -1), type, true, Visual(u"/i", 0, -1)},
        {"typing keeps Tile", Visual(u"", 16, -1), type, true, Visual(u"/i", 16, -1)},
        {"Tile image", Visual(u"", -1, -1), pick("1046", 1), true, Visual(u"", 16, -1)},
        {"Tile view", Visual(u"", -1, -1), pick("1044", 5), true, Visual(u"", -1, 6)},
        {"Details, Cancel", Visual(u"", -1, 1), pick("1044", 3), false, Visual(u"", -1, 4)},
        {"typing and check box, Cancel", Visual(u"/old", -1, -1),
         [&](CVisualOptionsDlg& d) { type(d), Control<QCheckBox>(d, "1041")->click(); }, false,
         Visual(u"/old", 0, -1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTSAppDataItem item, out;
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
        dlg.StoreToItem(out);
        EXPECT_EQ(out.m_visualOptions, c.expected);
    }
}

TEST_F(EditLocationDlgTest, EachVisualOptionsRunStartsFromWhatTheLastOneKept)
{
    CTSAppDataItem item;
    item.m_visualOptions = Visual(u"/old", 1, -1);
    CEditLocationDlg dlg(seam);
    dlg.LoadFromItem(item);
    for (const char* path : {"/old", "/old"}) {  // the first run's Cancel drops its typing
        seam.HandleDialogAs<CVisualOptionsDlg>([path](CVisualOptionsDlg& d) {
            EXPECT_EQ(Control<QLineEdit>(d, "1045")->text(), path);
            EXPECT_EQ(Control<QComboBox>(d, "1046")->currentText(), "Center");
            Control<QLineEdit>(d, "1045")->setText("/typed");
            d.reject();
            return d.result();
        });
        Control<QPushButton>(dlg, "1005")->click();
    }
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
    EXPECT_EQ(out.m_visualOptions, Visual(u"/img/sea.jpg", 0, -1, true));
    EXPECT_EQ(seam.FileDialogs().at(0).filter, "Image Files (*.bmp *.gif *.jpg);;All Files (*)");
}

TEST_F(EditLocationDlgTest, BrowseFillsOnlyTheServerFolder)
{
    for (bool chosen : {true, false}) {
        ScriptedModalSeam folders;
        chosen ? folders.ChooseFileAnswer("/srv/picked") : folders.CancelFileDialog();
        CTSAppDataItem item;
        item.m_strServerLocation = u"/srv/old";
        item.m_strClientLocation = u"/home/c";
        CEditLocationDlg dlg(folders);
        dlg.LoadFromItem(item);
        Control<QPushButton>(dlg, "1002")->click();
        const framework::FileDialogRequest& asked = folders.FileDialogs().at(0);
        EXPECT_EQ(asked.kind, framework::FileDialogRequest::Kind::Folder);
        EXPECT_EQ(asked.title + asked.initialName, "Find Drive/Dir/srv/old");
        EXPECT_EQ(Control<QLineEdit>(dlg, "1001")->text(), chosen ? "/srv/picked" : "/srv/old");
        EXPECT_EQ(Control<QLineEdit>(dlg, "1004")->text(), "/home/c");
    }
}

TEST_F(EditLocationDlgTest, CreateFolderAsksMakesOneLevelAndSaysWhyNot)
{
    probe::ScratchDir scratch;
    const QString dir = QString::fromStdString(scratch.Path().string());
    std::filesystem::create_directory(scratch / "exists");
    const QString invalid = "Server location is not a valid directory.\nPlease enter a valid directory ant try again.";
    auto ask = [&](const QString& name) { return "Are you sure you want to create " + dir + name + " ?"; };
    struct Case {
        QString server;  // a name beginning with '/' is made inside the scratch folder
        std::vector<Answer> answers;
        QStringList messages;
        bool created;
    } const cases[] = {
        {"/", {Answer::Ok}, {invalid}, false},
        {"", {Answer::Ok}, {invalid}, false},
        {"srv/new", {Answer::Ok}, {invalid}, false},
        {"/new", {Answer::Yes}, {ask("/new")}, true},
        {"/%1 100%", {Answer::Yes}, {ask("/%1 100%")}, true},
        {"/declined", {Answer::No}, {ask("/declined")}, false},
        {"/a/b", {Answer::Yes, Answer::Ok}, {ask("/a/b"), "Error creating directory\nNo such file or directory"}, false},
        {"/exists", {Answer::Yes, Answer::Ok}, {ask("/exists"), "Error creating directory\nFile exists"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server.toStdString());
        ScriptedModalSeam boxes;
        for (Answer a : c.answers)
            boxes.AnswerMessage(a);
        CEditLocationDlg dlg(boxes);
        const QString server = c.server.size() > 1 && c.server[0] == '/' ? dir + c.server : c.server;
        Control<QLineEdit>(dlg, "1001")->setText(server);
        Control<QPushButton>(dlg, "1003")->click();
        EXPECT_EQ(boxes.MessageTexts(), c.messages);
        EXPECT_EQ(server.startsWith(dir) && std::filesystem::is_directory(server.toStdString()), c.created);
    }
}

TEST_F(EditLocationDlgTest, WorksFromTheKeyboard)
{
    using admintest::Key;
    CEditLocationDlg dlg(seam);
    CTSAppDataItem item;
    item.m_bSyncEnabled = 1;
    dlg.LoadFromItem(item);
    if (!admintest::ShowActive(dlg))
        GTEST_SKIP() << "the platform gives no window focus";
    EXPECT_EQ(admintest::TabChain(), QStringList({"1000", "1001", "1002", "1003", "1010", "1004", "1020", "1022",
                                                  "1023", "1024", "1039", "1015", "1038", "1011", "1005", "1", "2"}));
    Key(Qt::Key_N, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "Docs");
    Key(Qt::Key_S, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "/srv/docs/");
    Key(Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(admintest::Eventually([&] { return Control<QCheckBox>(dlg, "1038")->isChecked(); }));
    seam.HandleDialogAs<CVisualOptionsDlg>([](CVisualOptionsDlg& d) {
        if (!admintest::ShowActive(d))
            return int(QDialog::Rejected);
        EXPECT_EQ(admintest::TabChain(), QStringList({"1041", "1045", "1002", "1046", "1044", "1", "2"}));
        Key(Qt::Key_V, Qt::AltModifier);
        Key(Qt::Key_Down);
        Key(Qt::Key_Escape);  // the chosen "Icon" stays
        return d.result();
    });
    Key(Qt::Key_V, Qt::AltModifier);
    EXPECT_TRUE(admintest::Eventually([&] { return seam.Dialogs().size() == 1; }));
    ASSERT_TRUE(admintest::ShowActive(dlg));
    Key(Qt::Key_Return);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    CTSAppDataItem out;
    dlg.StoreToItem(out);
    EXPECT_EQ(out.m_strName + u"|" + out.m_strServerLocation, u"Docs|/srv/docs");
    EXPECT_EQ(out.m_visualOptions.m_nViewStyle, 1);

    CEditLocationDlg again(seam);
    if (admintest::ShowActive(again)) {
        Key(Qt::Key_Escape);
        EXPECT_EQ(again.result(), QDialog::Rejected);
    }
}

} // namespace
