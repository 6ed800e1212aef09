#pragma once
#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// The editors' controls carry their classic ids as object names; a dialog
// embedded in another has ids of its own, so a control is looked up in the
// window it belongs to.
namespace admintest {

template <class W = QWidget>
W* Control(QDialog& dialog, const char* id)
{
    for (W* w : dialog.findChildren<W*>(QLatin1String(id)))
        if (w->window() == &dialog)
            return w;
    ADD_FAILURE() << "no control " << id << " in " << dialog.objectName().toStdString();
    return nullptr;
}

// Shows the dialog (not modally) and makes it the active window, so that
// keys reach it as they would a user's; false where the platform gives no
// window focus.
inline bool ShowActive(QDialog& dialog)
{
    dialog.show();
    dialog.activateWindow();
    QApplication::processEvents();
    return QApplication::activeWindow() == &dialog;
}

inline QString FocusedId() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "-"; }

// The ids the focus visits from the current focus on, one Tab at a time,
// until it comes back.
inline QStringList TabChain()
{
    QStringList ids{FocusedId()};
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (FocusedId() == ids.front())
            break;
        ids << FocusedId();
    }
    return ids;
}

// A button's mnemonic clicks it a moment later (the button shows itself
// pressed first); this lets that moment pass.
template <class Predicate>
bool Eventually(Predicate done)
{
    for (int i = 0; i < 200 && !done(); ++i)
        QTest::qWait(10);
    return done();
}

} // namespace admintest
