#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

#include "support/fake_account_services.h"
#include "admin/frame_popup.h"
#include "admin/left_view.h"
#include "admin/user_group_view.h"
#include "app/main_frame.h"
#include "app/main_status_bar.h"
#include "browser/quillon_view.h"
#include "app/rebar.h"
#include "app/toolbar_layouts.h"
#include "app_fakes.h"
#include "document/quillon_doc.h"
#include "framework/command_actions.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "framework/command_table.h"
#include "support/scripted_modal_seam.h"
#include "support/temp_files.h"
#include "support/test_application.h"

using namespace framework;

namespace {

// A menu as lines "popup/popup/text#id", "-" for a separator.
void Flatten(const QMenu* menu, const QString& path, QStringList& out)
{
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            out << path + "-";
        else if (action->menu())
            Flatten(action->menu(), path + action->text() + "/", out);
        else
            out << path + action->text() + QString("#%1").arg(CommandActions::CommandIdOf(action));
    }
}

QStringList Flatten(const QMenuBar* bar)
{
    QStringList out;
    for (QAction* action : bar->actions())
        Flatten(action->menu(), action->text() + "/", out);
    return out;
}

void Flatten(const MenuEntry& popup, const QString& path, QStringList& out)
{
    for (const MenuEntry& entry : popup.entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator: out << path + "-"; break;
        case MenuEntry::Kind::Popup: Flatten(entry, path + entry.text + "/", out); break;
        case MenuEntry::Kind::Command: out << path + entry.CommandText() + QString("#%1").arg(entry.id); break;
        }
    }
}

QStringList FlattenDefinition(int menuId)
{
    QStringList out;
    for (const MenuEntry& popup : MenuDefinition(menuId))
        Flatten(popup, popup.text + "/", out);
    return out;
}

bool MenuBarHolds(const QMenuBar* bar, int id)
{
    const QString suffix = QString("#%1").arg(id);
    const QStringList lines = Flatten(bar);
    return std::any_of(lines.begin(), lines.end(), [&](const QString& line) { return line.endsWith(suffix); });
}

QStringList BandNames(const app::ReBar& rebar)
{
    QStringList names;
    for (int i = 0; i < rebar.BandCount(); ++i)
        names << rebar.Band(i)->objectName();
    return names;
}

class MainFrameTest : public apptest::WithApplication, public ::testing::Test {
protected:
    // Closing a frame writes the settings: each test has its own.
    void SetUp() override
    {
        const auto dir = testfiles::ScratchDir(std::string("frame-") +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.string()));
    }

    void Make(bool administrator)
    {
        m_docHost.administrator = administrator;
        m_frame = std::make_unique<CMainFrame>(administrator, m_document, m_router, m_actions, m_host);
        ASSERT_TRUE(m_frame->Create());
        m_router.SetDocument(&m_document);
        m_router.SetFrame(m_frame.get());
    }

    void Show()
    {
        m_frame->resize(1200, 800);
        m_frame->show();
        QApplication::processEvents();
    }

    testsupport::ScriptedModalSeam m_seam;
    apptest::FakeDocumentHost m_docHost;
    accounts::FakeAccountServices m_accounts;
    CQuillonDoc m_document{m_seam, m_docHost, m_accounts};
    CommandRouter m_router;
    CommandActions m_actions{m_router};
    apptest::FakeFrameHost m_host;
    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(MainFrameTest, AnAdministratorGetsThreeColumnsAndAUserTwo)
{
    struct Case {
        bool administrator;
        QStringList panes;
    };
    for (const Case& c : {Case{true, {"CUserGroupView", "CLeftView", "CQuillonView"}},
                          Case{false, {"CLeftView", "CQuillonView"}}}) {
        SCOPED_TRACE(c.administrator);
        Make(c.administrator);
        QStringList panes;
        for (int i = 0; i < m_frame->Splitter()->count(); ++i)
            panes << m_frame->Splitter()->widget(i)->metaObject()->className();
        EXPECT_EQ(panes, c.panes);
        EXPECT_EQ(m_frame->UserGroupView() != nullptr, c.administrator);
    }
}

TEST_F(MainFrameTest, EachFaceStartsWithItsMenuAndBands)
{
    struct Case {
        bool administrator;
        int menu;
        QStringList bands;
    };
    for (const Case& c : {Case{true, 128, {"toolbar139", "toolbar143", "toolbar135", "toolbar141"}},
                          Case{false, 129, {"toolbar135", "toolbar141"}}}) {
        SCOPED_TRACE(c.administrator);
        Make(c.administrator);
        EXPECT_EQ(m_frame->CurrentMenuId(), c.menu);
        EXPECT_EQ(m_frame->IsAdministratorView(), c.administrator);
        EXPECT_EQ(Flatten(m_frame->menuBar()), FlattenDefinition(c.menu));
        EXPECT_EQ(BandNames(*m_frame->ReBar()), c.bands);
        // The first band starts minimised, the others open.
        for (int i = 0; i < m_frame->ReBar()->BandCount(); ++i) {
            EXPECT_EQ(m_frame->ReBar()->IsBandMinimized(i), i == 0) << i;
            EXPECT_TRUE(m_frame->ReBar()->IsBandShown(i)) << i;
        }
        EXPECT_EQ(m_frame->UserGroupBar() != nullptr, c.administrator);
        EXPECT_EQ(m_frame->LocationBar() != nullptr, c.administrator);
    }
}

TEST_F(MainFrameTest, ToolbarsCarryTheirLabelsTipsAndImageSizes)
{
    Make(true);
    const std::pair<QToolBar*, const app::ToolBarLayout*> bars[] = {
        {m_frame->NavigationBar(), &app::NavigationBarLayout()},
        {m_frame->UserGroupBar(), &app::UserGroupBarLayout()},
        {m_frame->SyncBar(), &app::SyncBarLayout()},
        {m_frame->LocationBar(), &app::LocationBarLayout()},
    };
    for (const auto& [bar, layout] : bars) {
        SCOPED_TRACE(layout->resourceId);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->iconSize(), layout->imageSize);
        EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        const QList<QAction*> actions = bar->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(layout->buttons.size()));
        QSize buttonSize;
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const app::ToolBarButton& button = layout->buttons[static_cast<std::size_t>(i)];
            EXPECT_EQ(CommandActions::CommandIdOf(actions[i]), button.id);
            EXPECT_EQ(actions[i]->text(), button.label);
            EXPECT_EQ(actions[i]->toolTip(), FindCommand(button.id)->ToolTip());
            EXPECT_FALSE(actions[i]->icon().isNull());
            const QSize size = bar->widgetForAction(actions[i])->size();
            if (i == 0)
                buttonSize = size;
            EXPECT_EQ(size, buttonSize) << "every button of a bar has the same size";
        }
    }
    // The labels the table gives, checked once by hand.
    EXPECT_EQ(m_frame->SyncBar()->actions()[0]->toolTip(), "Send Files To Server");
    EXPECT_EQ(m_frame->UserGroupBar()->actions()[3]->toolTip(), "Save");
}

// The view commands and Shell View: enabled for an administrator only, the face shown checked.
TEST_F(MainFrameTest, ViewCommandsFollowTheFlagsInEveryFace)
{
    struct Case {
        bool administrator;
        bool administratorView;
        bool userEnabled, userChecked, adminEnabled, adminChecked;
    };
    const Case cases[] = {
        {true, true, true, false, true, true},
        {true, false, true, true, true, false},
        {false, false, false, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.administrator << c.administratorView);
        Make(c.administrator);
        if (!c.administratorView)
            m_frame->SwitchToUserView();
        const CommandState user = m_router.QueryState(ID_VIEW_USER);
        const CommandState admin = m_router.QueryState(ID_VIEW_ADMINISTRATOR);
        EXPECT_EQ(user.enabled, c.userEnabled);
        EXPECT_EQ(user.checked, c.userChecked);
        EXPECT_EQ(admin.enabled, c.adminEnabled);
        EXPECT_EQ(admin.checked, c.adminChecked);
        EXPECT_EQ(m_router.QueryState(ID_VIEW_SHELL).enabled, c.administrator);
    }
}

TEST_F(MainFrameTest, SwitchingFacesSwapsMenusBarsAndTheFirstColumn)
{
    Make(true);
    Show();
    QSplitter* splitter = m_frame->Splitter();
    app::ReBar* rebar = m_frame->ReBar();

    ASSERT_TRUE(m_router.Execute(ID_VIEW_USER));
    EXPECT_FALSE(m_frame->IsAdministratorView());
    EXPECT_EQ(m_frame->CurrentMenuId(), 129);
    EXPECT_EQ(Flatten(m_frame->menuBar()), FlattenDefinition(129));
    EXPECT_FALSE(rebar->IsBandShown(rebar->IndexOf(m_frame->UserGroupBar())));
    EXPECT_FALSE(m_frame->LocationBar()->isVisible());
    EXPECT_TRUE(rebar->IsBandShown(rebar->IndexOf(m_frame->NavigationBar())));
    EXPECT_TRUE(m_frame->SyncBar()->isVisible());
    // Still three columns, the first one hidden.
    ASSERT_EQ(splitter->count(), 3);
    EXPECT_EQ(splitter->sizes()[0], 0);
    EXPECT_GT(splitter->sizes()[2], 0);

    ASSERT_TRUE(m_router.Execute(ID_VIEW_ADMINISTRATOR));
    EXPECT_TRUE(m_frame->IsAdministratorView());
    EXPECT_EQ(m_frame->CurrentMenuId(), 128);
    // The users and groups band comes back as it was: minimised.
    EXPECT_TRUE(rebar->IsBandShown(rebar->IndexOf(m_frame->UserGroupBar())));
    EXPECT_TRUE(rebar->IsBandMinimized(rebar->IndexOf(m_frame->UserGroupBar())));
    EXPECT_TRUE(m_frame->LocationBar()->isVisible());
    EXPECT_EQ(splitter->sizes()[0], splitter->width() / 6);
    EXPECT_TRUE(m_frame->UserGroupView()->isVisible());
}

TEST_F(MainFrameTest, AUserCannotReachTheAdministratorView)
{
    Make(false);
    Show();
    EXPECT_FALSE(m_router.Execute(ID_VIEW_ADMINISTRATOR));
    EXPECT_EQ(m_frame->Splitter()->count(), 2);
    EXPECT_FALSE(MenuBarHolds(m_frame->menuBar(), ID_VIEW_SHELL));
}

TEST_F(MainFrameTest, ShellViewIsOnlyInTheAdministratorMenuAndLeavesTheFaceAlone)
{
    Make(true);
    EXPECT_TRUE(MenuBarHolds(m_frame->menuBar(), ID_VIEW_SHELL));
    ASSERT_TRUE(m_router.Execute(ID_VIEW_SHELL));
    EXPECT_EQ(m_host.shells, 1);
    EXPECT_TRUE(m_frame->IsAdministratorView());
    m_frame->SwitchToUserView();
    EXPECT_FALSE(MenuBarHolds(m_frame->menuBar(), ID_VIEW_SHELL));
}

TEST_F(MainFrameTest, StatusBarShowsTheIdleTextAndLitIndicators)
{
    Make(false);
    Show();
    app::MainStatusBar* bar = m_frame->StatusBar();
    EXPECT_EQ(bar->IdleMessage(), "For Help, press F1");
    bar->SetKeyLocks({true, false, true});
    EXPECT_EQ(bar->IndicatorTexts(), (QStringList{"CAP", "", "SCRL"}));
    bar->SetKeyLocks({false, true, false});
    EXPECT_EQ(bar->IndicatorTexts(), (QStringList{"", "NUM", ""}));

    EXPECT_TRUE(m_router.QueryState(ID_VIEW_STATUS_BAR).checked);
    ASSERT_TRUE(m_router.Execute(ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(m_router.QueryState(ID_VIEW_STATUS_BAR).checked);
}

TEST_F(MainFrameTest, EveryHelpCommandReachesTheHelpPage)
{
    Make(true);
    for (int id : {ID_HELP, ID_CONTEXT_HELP, ID_HELP_FINDER, ID_DEFAULT_HELP})
        EXPECT_TRUE(m_router.Execute(id)) << id;
    EXPECT_EQ(m_host.helps, 4);
}

TEST_F(MainFrameTest, TheViewsBecomeTheDocumentsPanesAtTheirInitialUpdate)
{
    for (bool administrator : {true, false}) {
        Make(administrator);
        m_frame->InitialUpdateFrame();
        EXPECT_EQ(m_document.m_pLocationsView, m_frame->LocationsView());
        EXPECT_EQ(m_document.m_pBrowserView, m_frame->BrowserView());
        EXPECT_EQ(m_document.m_pUserGroupView, m_frame->UserGroupView());
        // The first column's pane leads the route.
        EXPECT_EQ(m_router.ActiveView(), dynamic_cast<View*>(m_frame->Splitter()->widget(0)));
        m_frame.reset();
        EXPECT_EQ(m_document.m_pLocationsView, nullptr);
        EXPECT_EQ(m_router.ActiveView(), nullptr);
    }
}

TEST_F(MainFrameTest, ClosingWithUnsavedChangesAsksFirst)
{
    Make(true);
    Show();
    m_document.SetModifiedFlag(true);
    m_seam.AnswerMessage(Answer::Cancel);
    EXPECT_FALSE(m_frame->close());
    EXPECT_TRUE(m_frame->isVisible());
    m_seam.AnswerMessage(Answer::No);
    EXPECT_TRUE(m_frame->close());
    EXPECT_EQ(m_seam.MessageTexts(), (QStringList(2, "You have unsaved changes\nWould you like to save those changes ?")));
}

TEST_F(MainFrameTest, TheCaptionIsTheDocumentTitleAndTheApplicationName)
{
    Make(false);
    EXPECT_EQ(m_frame->windowTitle(), " - Quillon");
    EXPECT_EQ(CMainFrame::FrameTitle("x"), "x - Quillon");
}

TEST_F(MainFrameTest, NextPaneSkipsTheHiddenColumn)
{
    Make(true);
    Show();
    m_frame->activateWindow();
    m_frame->SwitchToUserView();
    m_frame->LocationsView()->setFocus();
    ASSERT_TRUE(m_router.Execute(ID_NEXT_PANE));
    EXPECT_TRUE(m_frame->BrowserView()->hasFocus());
    ASSERT_TRUE(m_router.Execute(ID_NEXT_PANE));
    EXPECT_TRUE(m_frame->LocationsView()->hasFocus());
    ASSERT_TRUE(m_router.Execute(ID_PREV_PANE));
    EXPECT_TRUE(m_frame->BrowserView()->hasFocus());
}

// The columns as they were at the last close come back at the next start,
// for each face; the user face keeps only its own two columns.
TEST_F(MainFrameTest, SplitterPositionsComeBackAtTheNextStart)
{
    struct Case {
        const char* name;
        bool administrator;
        bool closeInUserView;
        QList<int> set;       // leading columns before closing
        QList<int> restored;  // leading columns at the next start
    };
    const Case cases[] = {
        {"administrator", true, false, {150, 250}, {150, 250}},
        {"user", false, false, {300}, {300}},
        {"administrator in the user view", true, true, {150, 250}, {150, 250}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(c.administrator);
        Show();
        QList<int> sizes = c.set;
        sizes << 1200 - 150 - 250;
        m_frame->Splitter()->setSizes(sizes);
        if (c.closeInUserView)
            m_frame->SwitchToUserView();
        ASSERT_TRUE(m_frame->close());

        Make(c.administrator);
        Show();
        EXPECT_EQ(m_frame->Splitter()->sizes().mid(0, c.restored.size()), c.restored);
    }
    QSettings settings("Varnel Software", "Quillon");
    EXPECT_EQ(settings.value("Splitter/UserView").toString().count(','), 1) << "two columns in the user face";
}

TEST_F(MainFrameTest, AFirstStartOrUnusableSettingsGiveTheInitialColumns)
{
    for (const char* stored : {"", "abc,1,2", "-5,10,10", "10,10", "0,0,0", "999999,1,1", "1,2,3,4"}) {
        SCOPED_TRACE(stored);
        QSettings("Varnel Software", "Quillon").setValue("Splitter/AdministratorView", stored);
        Make(true);
        Show();
        EXPECT_EQ(m_frame->Splitter()->sizes().mid(0, 2), (QList<int>{100, 100}));
    }
}

// Widths kept on a wider screen shrink in step, so that the browser keeps
// a quarter of a narrower window.
TEST_F(MainFrameTest, KeptWidthsLeaveTheLastColumnAQuarter)
{
    struct Case {
        const char* stored;
        int first, second;
    };
    for (const Case& c : {Case{"700,700,500", 1, 1}, Case{"1200,400,5", 3, 1}}) {
        SCOPED_TRACE(c.stored);
        QSettings("Varnel Software", "Quillon").setValue("Splitter/AdministratorView", c.stored);
        Make(true);
        Show();
        const QList<int> sizes = m_frame->Splitter()->sizes();
        const int total = sizes[0] + sizes[1] + sizes[2];
        EXPECT_GE(sizes[2], total / 4);
        EXPECT_NEAR(double(sizes[0]) / sizes[1], double(c.first) / c.second, 0.05);
    }
}

TEST_F(MainFrameTest, AltUOpensTheUsersAndGroupsMenu)
{
    Make(true);
    Show();
    m_frame->activateWindow();
    m_frame->UserGroupView()->setFocus();
    QTest::keyClick(m_frame.get(), Qt::Key_U, Qt::AltModifier);
    QMenu* popup = admin::FindFramePopup(*m_frame->UserGroupView(), "&Users and Groups");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), popup);
    popup->close();
}

} // namespace
