#pragma once
#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

// Controls carry their classic ids as names; an embedded dialog has ids of
// its own, so a control is looked up in the window it belongs to.
namespace admintest {

template <class W = QWidget>
W* Control(QDialog& dialog, const char* id)
{
    for (W* w : dialog.findChildren<W*>(QLatin1String(id)))
        if (w->window() == &dialog)
            return w;
    ADD_FAILURE() << "no control " << id;
    return nullptr;
}

// Shown, not modally, and active, so that keys reach it as a user's would.
inline bool ShowActive(QDialog& dialog)
{
    dialog.show();
    dialog.activateWindow();
    QApplication::processEvents();
    return QApplication::activeWindow() == &dialog;
}

inline QString FocusedId() { return QApplication::focusWidget()->objectName(); }
inline void Key(int key, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), m); }

// The ids Tab visits from the focus on, until it comes back.
inline QStringList TabChain()
{
    QStringList ids{FocusedId()};
    for (Key(Qt::Key_Tab); FocusedId() != ids.front() && ids.size() < 40; Key(Qt::Key_Tab))
        ids << FocusedId();
    return ids;
}

// A button's mnemonic clicks it a moment later, once it has shown itself pressed.
template <class Predicate>
bool Eventually(Predicate done)
{
    for (int i = 0; i < 200 && !done(); ++i)
        QTest::qWait(10);
    return done();
}

} // namespace admintest
