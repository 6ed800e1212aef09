#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "browser/input_filter.h"

using namespace browser;

TEST(InputFilter, EveryFaceLocationFlagAndInput)
{
    // tree, location, admin view, location allows -> right button, Ctrl key, plain key
    const struct {
        bool tree, location, admin, allows;
        bool rightSwallowed, ctrlSwallowed, plainSwallowed;
    } cases[] = {
        {false, false, false, false, false, false, false},  // no tree: everything passes
        {false, false, true, false, false, false, false},
        {true, false, false, false, true, true, true},      // no location: everything swallowed
        {true, false, true, true, true, true, true},
        {true, true, false, false, true, true, false},      // user face, location forbids
        {true, true, false, true, false, false, false},     // the location allows
        {true, true, true, false, false, false, false},     // administrator face
        {true, true, true, true, false, false, false},
    };
    for (const auto& c : cases) {
        const InputContext context{c.tree, c.location, c.admin, c.allows};
        SCOPED_TRACE(testing::Message() << c.tree << c.location << c.admin << c.allows);
        EXPECT_EQ(swallowInput(InputKind::RightButton, false, context), c.rightSwallowed);
        EXPECT_EQ(swallowInput(InputKind::Key, true, context), c.ctrlSwallowed);
        EXPECT_EQ(swallowInput(InputKind::Key, false, context), c.plainSwallowed);
        EXPECT_FALSE(swallowInput(InputKind::Other, true, context));
    }
}

TEST(InputFilter, WhatEachEventCountsAs)
{
    const QPointF at(5, 5);
    QMouseEvent rightDown(QEvent::MouseButtonPress, at, at, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QMouseEvent rightUp(QEvent::MouseButtonRelease, at, at, Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent leftDown(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1), QPoint(1, 1));
    QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, "c");
    QKeyEvent ctrlUp(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QKeyEvent overrideCtrlV(QEvent::ShortcutOverride, Qt::Key_V, Qt::ControlModifier);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent shiftF10(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
    QEvent paint(QEvent::Paint);
    const struct {
        const char* name;
        const QEvent* event;
        InputKind kind;
        bool ctrl;
    } cases[] = {
        {"right down", &rightDown, InputKind::RightButton, false},
        {"right up", &rightUp, InputKind::RightButton, false},
        {"left with Ctrl", &leftDown, InputKind::Other, false},
        {"context menu key", &menuKey, InputKind::RightButton, false},
        {"Ctrl+C", &ctrlC, InputKind::Key, true},
        {"Ctrl itself", &ctrlUp, InputKind::Key, true},
        {"shortcut override", &overrideCtrlV, InputKind::Key, true},
        {"Enter", &enter, InputKind::Key, false},
        {"Shift+F10", &shiftF10, InputKind::Key, false},
        {"paint", &paint, InputKind::Other, false},
    };
    for (const auto& c : cases) {
        bool ctrl = !c.ctrl;
        EXPECT_EQ(classifyInput(*c.event, ctrl), c.kind) << c.name;
        EXPECT_EQ(ctrl, c.ctrl) << c.name;
    }
}
