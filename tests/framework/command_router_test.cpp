#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include "fake_targets.h"
#include "framework/command_router.h"
#include "support/test_application.h"

using framework::CommandRouter;
using framework::CommandState;
using testsupport_framework::FakeTarget;

namespace {

constexpr int kId = 32771;

class CommandRouterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::TestApplication();
        m_router.SetActiveView(&m_view);
        m_router.SetDocument(&m_document);
        m_router.SetFrame(&m_frame);
        m_router.SetApplication(&m_application);
    }

    FakeTarget& ByName(char c)
    {
        switch (c) {
        case 'v': return m_view;
        case 'd': return m_document;
        case 'f': return m_frame;
        default: return m_application;
        }
    }

    QStringList m_log;
    FakeTarget m_view{"view", m_log}, m_document{"document", m_log}, m_frame{"frame", m_log},
        m_application{"application", m_log};
    CommandRouter m_router;
};

struct RouteCase {
    const char* handlers;  // v d f a: which targets handle the command
    const char* winner;    // empty: nobody
};

TEST_F(CommandRouterTest, FirstTargetOnTheRouteThatHandlesTheCommandWins)
{
    const RouteCase cases[] = {
        {"vdfa", "view"}, {"dfa", "document"}, {"da", "document"}, {"fa", "frame"},
        {"a", "application"}, {"f", "frame"}, {"", ""},
    };
    int id = 1000;
    for (const auto& c : cases) {
        ++id;  // a fresh command per case: handlers cannot be unregistered
        for (const char* h = c.handlers; *h; ++h)
            ByName(*h).Handle(id);
        m_log.clear();
        const bool handled = m_router.Execute(id);
        EXPECT_EQ(handled, *c.winner != '\0') << c.handlers;
        EXPECT_EQ(m_log, *c.winner ? QStringList{QString("%1:%2").arg(c.winner).arg(id)} : QStringList{})
            << c.handlers;
    }
}

struct StateCase {
    const char* name;
    const char* handlers;
    const char* updaters;  // these targets answer enabled = `enabledBy`, checked = true
    bool updaterEnables;
    bool expectedEnabled;
    bool expectedChecked;
};

TEST_F(CommandRouterTest, StateComesFromTheFirstUpdateHandlerElseFromWhetherAnyoneHandles)
{
    const StateCase cases[] = {
        {"handled, no update handler", "d", "", false, true, false},
        {"nobody handles", "", "", false, false, false},
        {"frame greys what the document handles", "d", "f", false, false, true},
        {"view update hides the frame's", "d", "vf", true, true, true},
        {"update handler alone enables", "", "a", true, true, true},
    };
    int id = 2000;
    for (const auto& c : cases) {
        ++id;
        for (const char* h = c.handlers; *h; ++h)
            ByName(*h).Handle(id);
        bool first = true;
        for (const char* u = c.updaters; *u; ++u) {
            // Only the first updater answers as the case says; later ones
            // answer the opposite, so that a wrong winner shows.
            ByName(*u).Update(id, first ? c.updaterEnables : !c.updaterEnables, first);
            first = false;
        }
        const CommandState state = m_router.QueryState(id);
        EXPECT_EQ(state.enabled, c.expectedEnabled) << c.name;
        EXPECT_EQ(state.checked, c.expectedChecked) << c.name;
    }
}

TEST_F(CommandRouterTest, DisabledCommandIsNotRun)
{
    m_document.Handle(kId);
    m_document.Update(kId, false);
    EXPECT_FALSE(m_router.Execute(kId));
    EXPECT_TRUE(m_log.isEmpty());
}

TEST_F(CommandRouterTest, MissingTargetsAreSkippedAndNoneIsAskedTwice)
{
    CommandRouter router;
    QStringList log;
    FakeTarget both("both", log);
    router.SetDocument(&both);
    router.SetFrame(&both);
    EXPECT_EQ(router.Route(), std::vector<framework::CommandTarget*>{&both});
}

TEST_F(CommandRouterTest, ExecutedCommandIsAnnounced)
{
    m_frame.Handle(kId);
    QList<int> announced;
    QObject::connect(&m_router, &CommandRouter::commandExecuted, [&announced](int id) { announced << id; });
    m_router.Execute(kId);
    m_router.Execute(kId + 1);  // nobody handles it
    EXPECT_EQ(announced, QList<int>{kId});
}

TEST_F(CommandRouterTest, FocusMakesAViewActiveAndItStaysWhenFocusLeavesTheViews)
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* left = new QWidget;
    auto* leftChild = new QLineEdit(left);
    auto* right = new QLineEdit;
    auto* elsewhere = new QLineEdit;
    layout->addWidget(left);
    layout->addWidget(right);
    layout->addWidget(elsewhere);
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    if (QApplication::activeWindow() != &window)
        GTEST_SKIP() << "the platform gives no window focus";

    CommandRouter router;
    QStringList log;
    FakeTarget leftView("left", log), rightView("right", log);
    router.AddView(left, &leftView);
    router.AddView(right, &rightView);

    leftChild->setFocus();
    EXPECT_EQ(router.ActiveView(), &leftView);
    right->setFocus();
    EXPECT_EQ(router.ActiveView(), &rightView);
    elsewhere->setFocus();
    EXPECT_EQ(router.ActiveView(), &rightView);

    delete right;
    EXPECT_EQ(router.ActiveView(), nullptr);
    leftChild->setFocus();
    EXPECT_EQ(router.ActiveView(), &leftView);
}

} // namespace
