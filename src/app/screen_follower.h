#pragma once
#include <QObject>
#include <QRect>
#include <functional>

class QScreen;
class QWidget;

namespace app {

// Keeps the window of a session program on the whole screen. A session's
// screen may appear or change size after the program started (xrdp's Xorg
// back end adds its output late, and a reconnect may bring another size),
// so every change of the primary screen refits the window: maximised, and
// set to the screen's geometry itself where no window manager would do it.
// An empty geometry, as a screen without an output reports, is ignored.
class ScreenFollower : public QObject {
    Q_OBJECT
public:
    // Parented to `window`; `hasWindowManager` is asked at every refit, as
    // a window manager may come up after the program.
    ScreenFollower(QWidget& window, std::function<bool()> hasWindowManager);

    // Shows and activates the window fitted to `geometry` (the primary
    // screen's when none is given).
    void Show(const QRect& geometry);
    void Show();

private:
    void Watch(QScreen* screen);
    void OnScreenAdded(QScreen* screen);
    void OnPrimaryScreenChanged(QScreen* screen);
    void OnGeometryChanged(const QRect& geometry);

    QWidget& m_window;
    std::function<bool()> m_hasWindowManager;
};

} // namespace app
