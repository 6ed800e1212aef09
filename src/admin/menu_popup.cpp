#include "admin/menu_popup.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace admin {

QMenu* FindMenuPopup(const QMenuBar* bar, const QString& caption)
{
    if (!bar)
        return nullptr;
    for (QAction* item : bar->actions()) {
        if (item->text() == caption)
            return item->menu();
    }
    return nullptr;
}

QMenu* ShowMenuPopup(const MenuBarSource& bar, const QString& caption, const QPoint& globalPos)
{
    QMenu* popup = FindMenuPopup(bar ? bar() : nullptr, caption);
    // Not exec(): nothing waits on the popup, and its items reach the
    // command route as the menu bar's do.
    if (popup)
        popup->popup(globalPos);
    return popup;
}

} // namespace admin
