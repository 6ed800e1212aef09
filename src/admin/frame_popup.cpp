#include "admin/frame_popup.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace admin {

QMenu* FindFramePopup(const QWidget& pane, const QString& caption)
{
    const auto* frame = qobject_cast<const QMainWindow*>(pane.window());
    if (!frame || !frame->menuWidget())
        return nullptr;
    const auto* bar = qobject_cast<const QMenuBar*>(frame->menuWidget());
    if (!bar)
        return nullptr;
    for (QAction* action : bar->actions()) {
        if (action->menu() && action->text() == caption)
            return action->menu();
    }
    return nullptr;
}

bool ShowFramePopup(const QWidget& pane, const QString& caption, const QPoint& globalPos)
{
    QMenu* popup = FindFramePopup(pane, caption);
    if (!popup)
        return false;
    popup->exec(globalPos);
    return true;
}

} // namespace admin
