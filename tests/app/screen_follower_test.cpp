#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <gtest/gtest.h>

#include "app/screen_follower.h"
#include "support/test_application.h"

namespace {

// Each case: a window manager or not, then what the primary screen reports.
struct Case {
    const char* name;
    bool windowManager;
    QRect reported;
    bool refitted;  // the window takes the reported geometry
};

TEST(ScreenFollower, PrimaryScreenChangesRefitTheWindowUnlessEmptyOrManaged)
{
    testsupport::TestApplication();
    const Case cases[] = {
        {"grown screen", false, QRect(0, 0, 1024, 768), true},
        {"reconnect at another size", false, QRect(0, 0, 1600, 900), true},
        {"no output yet", false, QRect(0, 0, 0, 0), false},
        {"null geometry", false, QRect(), false},
        {"window manager places it", true, QRect(0, 0, 1024, 768), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QMainWindow window;
        bool windowManager = c.windowManager;
        auto* follower = new app::ScreenFollower(window, [&] { return windowManager; });
        follower->Show(QRect(0, 0, 640, 480));
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.isMaximized());
        window.setGeometry(QRect(0, 0, 248, 164));

        emit QGuiApplication::primaryScreen()->geometryChanged(c.reported);
        EXPECT_EQ(window.geometry() == c.reported, c.refitted);
        EXPECT_EQ(window.geometry() == QRect(0, 0, 248, 164), !c.refitted);
    }
}

TEST(ScreenFollower, AnAddedPrimaryScreenIsWatchedOnce)
{
    testsupport::TestApplication();
    QMainWindow window;
    int asked = 0;
    auto* follower = new app::ScreenFollower(window, [&] { return ++asked, false; });
    follower->Show(QRect());
    EXPECT_EQ(asked, 0);  // an empty screen leaves the placing to later
    emit qGuiApp->screenAdded(QGuiApplication::primaryScreen());
    EXPECT_EQ(asked, 1);
    asked = 0;
    emit QGuiApplication::primaryScreen()->geometryChanged(QRect(0, 0, 1024, 768));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(window.geometry(), QRect(0, 0, 1024, 768));
}

} // namespace
