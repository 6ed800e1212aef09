#include <gtest/gtest.h>

#include <QComboBox>

#include "admin/dialog_controls.h"
#include "admin/visual_options_dlg.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

using admintest::Control;
using testsupport::ScriptedModalSeam;

class VisualOptionsDlgTest : public testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }
    ScriptedModalSeam seam;
};

TEST_F(VisualOptionsDlgTest, ListsShowTheStoredStyleOrNone)
{
    struct Case {
        int image, view;
        const char* imageText;  // "": no row selected
        const char* viewText;
    };
    for (Case c : {Case{1, 7, "Center", "Thumbstrip"}, Case{16, 2, "Tile", "Small Icon"}, Case{-1, -1, "", ""},
                   Case{2, 0, "", ""}}) {
        CTSAppDataItem item;
        item.m_visualOptions.m_nImageStyle = c.image;
        item.m_visualOptions.m_nViewStyle = c.view;
        CVisualOptionsDlg dlg(seam);
        dlg.LoadFromItem(item);
        EXPECT_EQ(Control<QComboBox>(dlg, "1046")->currentText(), c.imageText) << c.image;
        EXPECT_EQ(Control<QComboBox>(dlg, "1044")->currentText(), c.viewText) << c.view;
        EXPECT_EQ(Control<QComboBox>(dlg, "1046")->count(), 3);
        EXPECT_EQ(Control<QComboBox>(dlg, "1044")->count(), 7);
        CTSAppDataItem out;
        dlg.StoreToItem(out);
        EXPECT_EQ(out.m_visualOptions, item.m_visualOptions);  // unknown values are kept
    }
}

TEST_F(VisualOptionsDlgTest, WorksFromTheKeyboard)
{
    CVisualOptionsDlg dlg(seam);
    dlg.LoadFromItem(CTSAppDataItem());
    if (!admintest::ShowActive(dlg))
        GTEST_SKIP() << "the platform gives no window focus";
    EXPECT_EQ(admintest::TabChain(), QStringList({"1041", "1045", "1002", "1046", "1044", "1", "2"}));
    QTest::keyClick(&dlg, Qt::Key_V, Qt::AltModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(dlg.m_nViewStyle, 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.m_nViewStyle, 2);  // chosen in a list: kept after Cancel
}

} // namespace
