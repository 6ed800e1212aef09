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

QMenu* ShowFramePopup(const QWidget& pane, const QString& caption, const QPoint& globalPos)
{
    QMenu* popup = FindFramePopup(pane, caption);
    // Not exec(): nothing waits on the popup; its items reach the command
    // route as the menu bar's do.
    if (popup)
        popup->popup(globalPos);
    return popup;
}

} // namespace admin
