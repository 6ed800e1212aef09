#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "admin/account_images.h"
#include "admin/frame_popup.h"
#include "admin/user_group_view.h"
#include "document/document_fakes.h"
#include "document/quillon_doc.h"
#include "framework/command_actions.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "support/fake_account_services.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

// Another view of the document: records who told it of each change.
class RecordingView : public framework::View {
public:
    std::vector<const framework::View*> senders;
    void OnUpdate(framework::View* sender, long, framework::HintObject) override { senders.push_back(sender); }
};

class UserGroupViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        host.administrator = true;
        // The pane sits in a frame with the administrator's menu, as in the program.
        frame = std::make_unique<QMainWindow>();
        frame->setMenuBar(actions.BuildMenuBar(framework::IDR_MENU_ADMINISTRATOR));
        pane = new CUserGroupView(doc, router);
        frame->setCentralWidget(pane);
        doc.AddView(&other);
        for (const char16_t* name : {u"CORP\\anna", u"CORP\\Sales", u"SERVER1\\bob", u"CORP\\carl", u"CORP\\dora"})
            doc.m_userData.Add(name, name == std::u16string(u"CORP\\Sales") ? kEntryGroup : kEntryUser, false);
        pane->OnInitialUpdate();
    }

    void Show()
    {
        frame->resize(300, 400);
        frame->show();
        frame->activateWindow();
        pane->setFocus();
        QApplication::processEvents();
    }

    // The document's selection as row numbers of the entries.
    std::vector<int> SelectionRows() const
    {
        std::vector<int> rows;
        for (const CTSUserDataItem* entry : doc.m_selection)
            for (std::size_t i = 0; i < doc.m_userData.GetSize(); ++i) {
                if (&doc.m_userData.GetAt(i) == entry)
                    rows.push_back(static_cast<int>(i));
            }
        return rows;
    }

    void Click(int row, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect rect = pane->visualRect(pane->model()->index(row, 0));
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    testsupport::ScriptedModalSeam seam;
    doctest::FakeHost host;
    accounts::FakeAccountServices accounts;
    CQuillonDoc doc{seam, host, accounts};
    framework::CommandRouter router;
    framework::CommandActions actions{router};
    RecordingView other;
    std::unique_ptr<QMainWindow> frame;
    CUserGroupView* pane = nullptr;  // owned by the frame
};

TEST_F(UserGroupViewTest, RowsMirrorTheEntriesWithTheirImages)
{
    EXPECT_EQ(doc.m_pUserGroupView, pane);
    QAbstractItemModel* model = pane->model();
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "User/Group");
    EXPECT_EQ(pane->header()->sectionSize(0), 200);
    for (int row = 0; row < 5; ++row) {
        const CTSUserDataItem& entry = doc.m_userData.GetAt(static_cast<std::size_t>(row));
        const QModelIndex index = model->index(row, 0);
        EXPECT_EQ(index.data().toString().toStdU16String(), entry.m_strName);
        EXPECT_EQ(index.data(Qt::DecorationRole).value<QPixmap>().toImage(),
                  admin::AccountImage(entry.m_nType == kEntryGroup).toImage())
            << row;
    }
}

// A refill caused elsewhere empties the rows' selection but leaves the
// document's; the pane's own announcements are no reason to refill.
TEST_F(UserGroupViewTest, RefillFollowsTheSenderAndLeavesTheDocumentsSelection)
{
    struct Case {
        const char* name;
        framework::View* sender;
        bool refilled;
    };
    for (const Case& c : {Case{"none", nullptr, true}, Case{"other", &other, true}, Case{"pane", pane, false}}) {
        SCOPED_TRACE(c.name);
        pane->selectionModel()->select(pane->model()->index(2, 0), QItemSelectionModel::ClearAndSelect);
        ASSERT_EQ(SelectionRows(), std::vector<int>{2});
        doc.m_userData.Add(u"CORP\\new", kEntryUser, true);
        pane->OnUpdate(c.sender, 0, {});
        EXPECT_EQ(pane->model()->rowCount() == static_cast<int>(doc.m_userData.GetSize()), c.refilled);
        EXPECT_EQ(pane->HasSelectedRow(), !c.refilled);
        EXPECT_EQ(SelectionRows(), std::vector<int>{2});
        doc.m_userData.Remove(u"CORP\\new");
        pane->OnUpdate(nullptr, 0, {});
    }
}

// Each click leaves the document's selection holding exactly the selected
// rows, in row order; the other views hear of it only while a row is selected.
TEST_F(UserGroupViewTest, ClicksRebuildTheSelectionInRowOrder)
{
    Show();
    struct Step {
        int row;
        Qt::KeyboardModifiers modifiers;
        std::vector<int> selection;
        bool told;
    };
    const Step steps[] = {
        {1, {}, {1}, true},
        {3, Qt::ShiftModifier, {1, 2, 3}, true},
        {2, Qt::ControlModifier, {1, 3}, true},
        {0, Qt::ControlModifier, {0, 1, 3}, true},
        {4, {}, {4}, true},
        {4, Qt::ControlModifier, {}, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.row);
        const std::size_t before = other.senders.size();
        Click(s.row, s.modifiers);
        EXPECT_EQ(SelectionRows(), s.selection);
        EXPECT_EQ(other.senders.size() > before, s.told);
    }
    for (const framework::View* sender : other.senders)
        EXPECT_EQ(sender, pane);
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(UserGroupViewTest, KeysMoveAndExtendTheSelection)
{
    Show();
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::vector<int> selection;
    };
    const Step steps[] = {
        {Qt::Key_Down, {}, {0}},
        {Qt::Key_Down, {}, {1}},
        {Qt::Key_Down, Qt::ShiftModifier, {1, 2}},
        {Qt::Key_End, {}, {4}},
        {Qt::Key_Home, Qt::ShiftModifier, {0, 1, 2, 3, 4}},
        {Qt::Key_Down, {}, {1}},
        {Qt::Key_Home, {}, {0}},
        {Qt::Key_Down, Qt::ControlModifier, {0}},
        {Qt::Key_Space, Qt::ControlModifier, {0, 1}},
        {Qt::Key_Up, {}, {0}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(QKeySequence(s.key | s.modifiers).toString().toStdString());
        QTest::keyClick(pane, s.key, s.modifiers);
        EXPECT_EQ(SelectionRows(), s.selection);
    }
}

// Taking the focus after a refill changes no row, so the entries the tree
// still shows stay the document's selection.
TEST_F(UserGroupViewTest, FocusAloneChangesNoRow)
{
    doc.m_selection = {&doc.m_userData.GetAt(3)};
    pane->OnUpdate(nullptr, 0, {});
    Show();
    EXPECT_TRUE(pane->hasFocus());
    EXPECT_EQ(SelectionRows(), std::vector<int>{3});
    EXPECT_TRUE(other.senders.empty());
}

// Rows are tied to entries by their text: one whose entry went without a
// refill is skipped, the others are found wherever they now stand.
TEST_F(UserGroupViewTest, ARowWithoutItsEntryIsSkipped)
{
    doc.m_userData.Remove(u"CORP\\anna");
    pane->selectAll();
    ASSERT_EQ(doc.m_selection.size(), 4u);
    EXPECT_EQ(doc.m_selection[0]->m_strName, u"CORP\\Sales");
    EXPECT_EQ(doc.m_selection[3]->m_strName, u"CORP\\dora");
    EXPECT_EQ(pane->SelectedRowTexts().front(), u"CORP\\anna");
}

TEST_F(UserGroupViewTest, RightClickOpensTheUsersAndGroupsMenuOfTheFaceInForce)
{
    Show();
    for (int menu : {framework::IDR_MENU_ADMINISTRATOR, framework::IDR_MENU_USER}) {
        SCOPED_TRACE(menu);
        frame->setMenuBar(actions.BuildMenuBar(menu));
        const QPoint pos = pane->visualRect(pane->model()->index(1, 0)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, pane->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(pane->viewport(), &event);
        QMenu* expected = admin::FindFramePopup(*pane, "&Users and Groups");
        EXPECT_EQ(QApplication::activePopupWidget(), expected);
        EXPECT_EQ(expected != nullptr, menu == framework::IDR_MENU_ADMINISTRATOR);
        if (expected)
            expected->close();
    }
    // setMenuBar deletes the replaced bar later; done now, not at exit after
    // the application's thread storage is gone (a crash under Qt 6.8).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
