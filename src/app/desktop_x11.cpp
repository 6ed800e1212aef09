#include "app/desktop.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace app {

namespace {

Display* CurrentDisplay()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// The lights are looked up by name: their numbers depend on the keymap.
bool IndicatorOn(Display* display, const char* name)
{
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return false;
    Bool on = False;
    return XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) && on;
}

} // namespace

std::optional<KeyLocks> QueryKeyLocks()
{
    Display* display = CurrentDisplay();
    if (!display)
        return std::nullopt;
    KeyLocks locks;
    locks.caps = IndicatorOn(display, "Caps Lock");
    locks.num = IndicatorOn(display, "Num Lock");
    locks.scroll = IndicatorOn(display, "Scroll Lock");
    return locks;
}

// A window manager that follows the desktop conventions announces itself
// with a window named by the root's _NET_SUPPORTING_WM_CHECK property.
bool HasWindowManager()
{
    Display* display = CurrentDisplay();
    if (!display)
        return true;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &remaining, &data);
    const bool found = status == Success && type == XA_WINDOW && format == 32 && count == 1 && data;
    if (data)
        XFree(data);
    return found;
}

} // namespace app
