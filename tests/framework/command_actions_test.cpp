#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include "fake_targets.h"
#include "framework/command_actions.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "support/test_application.h"

using namespace framework;
using testsupport_framework::FakeTarget;

namespace {

QAction* FindAction(const QMenu* menu, int id)
{
    for (QAction* action : menu->actions()) {
        if (CommandActions::CommandIdOf(action) == id)
            return action;
        if (action->menu())
            if (QAction* inner = FindAction(action->menu(), id))
                return inner;
    }
    return nullptr;
}

QMenu* Popup(const QMenuBar* bar, const QString& title)
{
    for (QAction* action : bar->actions())
        if (action->menu() && action->menu()->title() == title)
            return action->menu();
    return nullptr;
}

class CommandActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        m_router.SetDocument(&m_document);
        m_router.SetFrame(&m_frame);
    }

    QStringList m_log;
    FakeTarget m_document{"document", m_log}, m_frame{"frame", m_log};
    CommandRouter m_router;
    CommandActions m_actions{m_router};
};

// The face commands as a frame answers them: both enabled for an
// administrator only, the shown face checked, the shell view always on.
struct FaceCase {
    bool administrator;
    bool administratorView;
    bool userEnabled, userChecked, adminEnabled, adminChecked;
};

TEST_F(CommandActionsTest, MenuItemsTakeTheirStatesWhenTheMenuIsAboutToShow)
{
    const FaceCase cases[] = {
        {true, true, true, false, true, true},
        {true, false, true, true, true, false},
        {false, false, false, true, false, false},
    };
    bool administrator = false, administratorView = false, notAdministratorView = false;
    m_frame.UpdateFrom(ID_VIEW_USER, administrator, notAdministratorView);
    m_frame.UpdateFrom(ID_VIEW_ADMINISTRATOR, administrator, administratorView);
    m_frame.Handle(ID_VIEW_SHELL);
    std::unique_ptr<QMenuBar> bar(m_actions.BuildMenuBar(IDR_MENU_ADMINISTRATOR));
    QMenu* view = Popup(bar.get(), "&View");
    ASSERT_NE(view, nullptr);
    for (const auto& c : cases) {
        administrator = c.administrator;
        administratorView = c.administratorView;
        notAdministratorView = !c.administratorView;
        emit view->aboutToShow();
        QAction* user = FindAction(view, ID_VIEW_USER);
        QAction* admin = FindAction(view, ID_VIEW_ADMINISTRATOR);
        EXPECT_EQ(user->isEnabled(), c.userEnabled);
        EXPECT_EQ(user->isChecked(), c.userChecked);
        EXPECT_EQ(admin->isEnabled(), c.adminEnabled);
        EXPECT_EQ(admin->isChecked(), c.adminChecked);
        EXPECT_TRUE(FindAction(view, ID_VIEW_SHELL)->isEnabled());
        EXPECT_FALSE(FindAction(view, ID_VIEW_STATUS_BAR)->isEnabled()) << "nobody handles it here";
    }
}

TEST_F(CommandActionsTest, MenuItemsCarryPromptAndToolTip)
{
    std::unique_ptr<QMenuBar> bar(m_actions.BuildMenuBar(IDR_MENU_ADMINISTRATOR));
    QAction* add = FindAction(Popup(bar.get(), "&Users and Groups"), ID_ADD_USER_GROUP);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->statusTip(), "Add New User or Group");
    EXPECT_EQ(add->toolTip(), "Add New User or Group");
    EXPECT_TRUE(add->shortcut().isEmpty()) << "keys come from the accelerator table only";
}

TEST_F(CommandActionsTest, TriggeredItemRunsItsCommandThroughTheRoute)
{
    m_document.Handle(ID_ADD_USER_GROUP);
    std::unique_ptr<QMenuBar> bar(m_actions.BuildMenuBar(IDR_MENU_ADMINISTRATOR));
    FindAction(Popup(bar.get(), "&Users and Groups"), ID_ADD_USER_GROUP)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(m_log, QStringList{"document:32772"});
}

TEST_F(CommandActionsTest, UpdateHandlerMayChangeTheText)
{
    m_document.Update(ID_GO_HOME, true, false, "&Home Sweet Home");
    std::unique_ptr<QMenuBar> bar(m_actions.BuildMenuBar(IDR_MENU_USER));
    QMenu* navigation = Popup(bar.get(), "&Navigation");
    emit navigation->aboutToShow();
    EXPECT_EQ(FindAction(navigation, ID_GO_HOME)->text(), "&Home Sweet Home");
}

TEST_F(CommandActionsTest, ToolBarActionsFollowTheRouteAtIdleTime)
{
    bool canGoBack = false, unchecked = false;
    m_document.Handle(ID_GO_BACK);
    m_document.UpdateFrom(ID_GO_BACK, canGoBack, unchecked);
    QToolBar toolBar;
    QAction* back = m_actions.CreateToolBarAction(ID_GO_BACK, "Back", &toolBar);
    toolBar.addAction(back);
    EXPECT_EQ(back->text(), "Back");
    EXPECT_EQ(back->toolTip(), "Go Back");
    EXPECT_EQ(back->statusTip(), "Go Back");
    EXPECT_FALSE(back->isEnabled());

    canGoBack = true;
    EXPECT_FALSE(back->isEnabled()) << "not before the program is idle";
    m_actions.RequestRefresh();
    QApplication::processEvents();
    EXPECT_TRUE(back->isEnabled());

    // Running a command refreshes too: its handler may change states.
    m_document.Handle(ID_STOP);
    canGoBack = false;
    m_router.Execute(ID_STOP);
    QApplication::processEvents();
    EXPECT_FALSE(back->isEnabled());
}

TEST_F(CommandActionsTest, AcceleratorsWorkWhateverMenuIsShownAndRespectStates)
{
    QMainWindow window;
    window.setMenuBar(m_actions.BuildMenuBar(IDR_MENU_USER));  // no file commands in it
    const QList<QAction*> keys = m_actions.InstallAccelerators(&window);
    ASSERT_EQ(keys.size(), 8);
    m_document.Handle(ID_FILE_NEW);
    m_document.Handle(ID_FILE_SAVE);
    m_document.Update(ID_FILE_SAVE, false);  // not modified

    window.show();
    window.activateWindow();
    QApplication::processEvents();
    if (QApplication::activeWindow() != &window)
        GTEST_SKIP() << "the platform gives no window focus";
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(m_log, QStringList{"document:57600"});
}

} // namespace
