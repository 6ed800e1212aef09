#pragma once
#include <QPoint>
#include <QString>

class QMenu;
class QWidget;

namespace admin {

// The popup of the pane's own main window menu bar whose caption is
// `caption` ("&Locations", "&Users and Groups"), or null when the menu in
// force has none, as the user's menu has not.
QMenu* FindFramePopup(const QWidget& pane, const QString& caption);

// Shows that popup at `globalPos` and gives it; null when there is none.
QMenu* ShowFramePopup(const QWidget& pane, const QString& caption, const QPoint& globalPos);

} // namespace admin
