#pragma once
#include <QPoint>
#include <QString>
#include <functional>

class QMenu;
class QMenuBar;

namespace admin {

// The menu bar the frame shows now; it changes with the face, so the panes
// ask for it each time instead of keeping one.
using MenuBarSource = std::function<QMenuBar*()>;

// The popup of the first top-level item whose text equals `caption` exactly
// (letter case and mnemonic included); null when there is no such item or
// it opens no popup.
QMenu* FindMenuPopup(const QMenuBar* bar, const QString& caption);

// Shows that popup at a screen position, its items routed like the menu's
// own; returns it, or null when the bar in force has no such popup.
QMenu* ShowMenuPopup(const MenuBarSource& bar, const QString& caption, const QPoint& globalPos);

} // namespace admin
