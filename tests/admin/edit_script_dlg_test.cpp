#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "admin/dialog_controls.h"
#include "admin/edit_script_dlg.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

using framework::Answer;
using testsupport::ScriptedModalSeam;

class EditScriptDlgTest : public testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }
    QWidget* Control(CEditScriptDlg& dlg, const char* id) { return dlg.findChild<QWidget*>(QLatin1String(id)); }
    ScriptedModalSeam seam;
};

CTSUserScriptItem Script(bool wait, std::int32_t timeout)
{
    CTSUserScriptItem s;
    s.m_strProgramPath = u"/bin/logon";
    s.m_strDisplayName = u"Logon";
    s.m_strArguments = u"-x";
    s.m_strWorkingDirectory = u"/tmp";
    s.m_bWait = wait;
    s.m_nTimeout = timeout;
    s.m_bEnabled = 1;
    return s;
}

TEST_F(EditScriptDlgTest, LoadChoosesTheWaitModeAndSeconds)
{
    struct Case {
        bool wait;
        std::int32_t timeout;
        int mode;
        int seconds;
        const char* checked;
    };
    for (Case c : {Case{true, 45000, 1, 45, "1037"}, Case{false, -1, 0, 30, "1039"}, Case{true, -1, 2, 30, "1038"},
                   Case{true, 999, 1, 0, "1037"}, Case{true, -2, 1, 4294967, "1037"}}) {
        CEditScriptDlg dlg(seam);
        dlg.LoadFromItem(Script(c.wait, c.timeout));
        EXPECT_EQ(dlg.m_nWaitMode, c.mode) << c.timeout;
        EXPECT_EQ(dlg.m_nWaitSeconds, c.seconds) << c.timeout;
        EXPECT_TRUE(static_cast<QRadioButton*>(Control(dlg, c.checked))->isChecked());
        EXPECT_EQ(Control(dlg, "1032")->isEnabled(), c.mode == 1);
        EXPECT_EQ(Control(dlg, "1034")->isEnabled(), c.mode != 0);
    }
}

TEST_F(EditScriptDlgTest, StoreWritesTimeoutAndWaitFromTheMode)
{
    struct Case {
        int mode;
        int seconds;
        std::int32_t timeout;
        std::int32_t wait;
    };
    for (Case c : {Case{1, 45, 45000, 1}, Case{1, 0, 0, 1}, Case{1, -5, 0, 1}, Case{1, 3000000, 2147483000, 1},
                   Case{2, 45, -1, 1}, Case{0, 45, -1, 0}}) {
        CEditScriptDlg dlg(seam);
        dlg.m_nWaitMode = c.mode;
        dlg.m_nWaitSeconds = c.seconds;
        CTSUserScriptItem out;
        dlg.StoreToItem(out);
        EXPECT_EQ(out.m_nTimeout, c.timeout) << c.mode << " " << c.seconds;
        EXPECT_EQ(out.m_bWait, c.wait);
    }
}

TEST_F(EditScriptDlgTest, OkWithTheControlsUntouchedGivesTheScriptBack)
{
    for (CTSUserScriptItem in : {Script(true, 45000), Script(true, -1)}) {
        CEditScriptDlg dlg(seam);
        dlg.LoadFromItem(in);
        dlg.accept();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        CTSUserScriptItem out;
        out.m_bUserCanAbort = 0;
        dlg.StoreToItem(out);
        in.m_bUserCanAbort = 1;
        EXPECT_EQ(out, in);
    }
}

TEST_F(EditScriptDlgTest, SecondsThatAreNoIntegerKeepTheDialogOpen)
{
    seam.AnswerMessage(Answer::Ok);
    CEditScriptDlg dlg(seam);
    dlg.LoadFromItem(Script(true, 45000));
    static_cast<QLineEdit*>(Control(dlg, "1032"))->setText(QStringLiteral("4x"));
    dlg.accept();
    EXPECT_EQ(seam.MessageTexts(), QStringList{QStringLiteral("Please enter an integer.")});
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nWaitSeconds, 45);
}

TEST_F(EditScriptDlgTest, EnableScriptSwitchesTheControls)
{
    const char* nine[] = {"1000", "1029", "1030", "1031", "1032", "1037", "1038", "1039", "1034"};
    CEditScriptDlg dlg(seam);
    dlg.LoadFromItem(Script(false, -1));  // mode 0
    auto* enable = static_cast<QCheckBox*>(Control(dlg, "1036"));
    enable->click();
    EXPECT_FALSE(dlg.m_bEnabled);
    for (const char* id : nine)
        EXPECT_FALSE(Control(dlg, id)->isEnabled()) << id;
    enable->click();
    EXPECT_TRUE(dlg.m_bEnabled);
    for (const char* id : nine)
        EXPECT_EQ(Control(dlg, id)->isEnabled(), std::string(id) != "1032" && std::string(id) != "1034") << id;
}

QLineEdit* Seconds(CEditScriptDlg& dlg) { return admintest::Control<QLineEdit>(dlg, "1032"); }

TEST_F(EditScriptDlgTest, WaitModesChosenByTheButtonsComeBackWhenReopened)
{
    struct Case {
        const char* clicked;
        const char* seconds;
        std::int32_t wait, timeout;
        const char* reopenedSeconds;
    };
    for (Case c : {Case{"1038", "45", 1, -1, "30"}, Case{"1039", "45", 0, -1, "30"}, Case{"1037", "-7", 1, 0, "0"},
                   Case{"1037", "90", 1, 90000, "90"}}) {
        SCOPED_TRACE(c.clicked);
        CEditScriptDlg dlg(seam), reopened(seam);
        dlg.LoadFromItem(Script(true, 45000));
        static_cast<QRadioButton*>(Control(dlg, c.clicked))->click();
        Seconds(dlg)->setText(c.seconds);
        dlg.accept();
        CTSUserScriptItem out;
        dlg.StoreToItem(out);
        EXPECT_EQ(std::make_pair(out.m_bWait, out.m_nTimeout), std::make_pair(c.wait, c.timeout));
        reopened.LoadFromItem(out);
        EXPECT_TRUE(static_cast<QRadioButton*>(Control(reopened, c.clicked))->isChecked());
        EXPECT_EQ(Seconds(reopened)->text(), c.reopenedSeconds);
    }
}

TEST_F(EditScriptDlgTest, SecondsBoxTakesOnlyIntegersAndLimitsThemToTheMilliseconds)
{
    const std::pair<const char*, std::int32_t> cases[] = {  // -2: refused
        {"", -2}, {"1.5", -2}, {"99999999999", -2}, {" 12 ", 12000}, {"2147483", 2147483000},
        {"2147484", 2147483000}, {"2147483647", 2147483000}, {"-2147483648", 0}};
    for (const auto& [text, timeout] : cases) {
        ScriptedModalSeam boxes;
        if (timeout == -2)
            boxes.AnswerMessage(Answer::Ok);
        CEditScriptDlg dlg(boxes);
        dlg.LoadFromItem(Script(true, 45000));
        Seconds(dlg)->setText(text);
        dlg.accept();
        CTSUserScriptItem out;
        dlg.StoreToItem(out);
        EXPECT_EQ(dlg.result() == QDialog::Accepted ? out.m_nTimeout : -2, timeout) << text;
        EXPECT_EQ(boxes.Messages().size(), timeout == -2 ? 1u : 0u) << text;
    }
}

TEST_F(EditScriptDlgTest, WorksFromTheKeyboard)
{
    using admintest::Key;
    CEditScriptDlg dlg(seam);
    dlg.LoadFromItem(Script(true, 45000));
    if (!admintest::ShowActive(dlg))
        GTEST_SKIP() << "the platform gives no window focus";
    Control(dlg, "1036")->setFocus();
    EXPECT_EQ(admintest::TabChain(),
              QStringList({"1036", "1000", "1029", "1030", "1031", "1037", "1032", "1034", "1", "2"}));
    Key(Qt::Key_F, Qt::AltModifier);  // to the wait buttons
    Key(Qt::Key_Down);
    EXPECT_EQ(admintest::FocusedId() + QString::number(dlg.m_nWaitMode), "10382");
    EXPECT_FALSE(Seconds(dlg)->isEnabled());
    Key(Qt::Key_D, Qt::AltModifier);  // selects the name
    Key(Qt::Key_End);
    QTest::keyClicks(QApplication::focusWidget(), " now");
    Key(Qt::Key_Return);
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    CTSUserScriptItem out;
    dlg.StoreToItem(out);
    EXPECT_EQ(out.m_strDisplayName, u"Logon now");
}

} // namespace
