#include "app/screen_follower.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace app {

ScreenFollower::ScreenFollower(QWidget& window, std::function<bool()> hasWindowManager)
    : QObject(&window), m_window(window), m_hasWindowManager(std::move(hasWindowManager))
{
    for (QScreen* screen : QGuiApplication::screens())
        Watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &ScreenFollower::OnScreenAdded);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &ScreenFollower::OnPrimaryScreenChanged);
}

void ScreenFollower::Show()
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    Show(primary ? primary->geometry() : QRect());
}

void ScreenFollower::Show(const QRect& geometry)
{
    if (!geometry.isEmpty() && !m_hasWindowManager())
        m_window.setGeometry(geometry);
    m_window.showMaximized();
    // Without a window manager nobody else gives it the keyboard.
    m_window.activateWindow();
}

void ScreenFollower::Watch(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, this, &ScreenFollower::OnGeometryChanged, Qt::UniqueConnection);
}

void ScreenFollower::OnScreenAdded(QScreen* screen)
{
    Watch(screen);
    if (screen == QGuiApplication::primaryScreen())
        OnPrimaryScreenChanged(screen);
}

void ScreenFollower::OnPrimaryScreenChanged(QScreen* screen)
{
    if (screen && !screen->geometry().isEmpty())
        Show(screen->geometry());
}

void ScreenFollower::OnGeometryChanged(const QRect& geometry)
{
    if (sender() == QGuiApplication::primaryScreen() && !geometry.isEmpty())
        Show(geometry);
}

} // namespace app
