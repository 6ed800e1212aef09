#include "browser/input_filter.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace browser {

bool swallowInput(InputKind kind, bool ctrlDown, const InputContext& context)
{
    if (kind == InputKind::Other || !context.hasTree)
        return false;
    if (!context.hasLocation)
        return true;
    if (context.administratorView || context.locationAllows)
        return false;
    return kind == InputKind::RightButton || ctrlDown;
}

InputKind classifyInput(const QEvent& event, bool& ctrlDown)
{
    ctrlDown = false;
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<const QMouseEvent&>(event).button() == Qt::RightButton ? InputKind::RightButton
                                                                                   : InputKind::Other;
    case QEvent::ContextMenu:
        return InputKind::RightButton;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        const auto& key = static_cast<const QKeyEvent&>(event);
        ctrlDown = key.modifiers().testFlag(Qt::ControlModifier) || key.key() == Qt::Key_Control;
        return InputKind::Key;
    }
    default:
        return InputKind::Other;
    }
}

} // namespace browser
