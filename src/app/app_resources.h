#pragma once
#include <QIcon>
#include <QList>
#include <QPixmap>

namespace app {

struct ToolBarLayout;

// The program's window icon.
QIcon ApplicationIcon();

// The images of a toolbar's buttons, cut from its strip in button order.
// A strip that is missing or too short gives empty images for the rest.
QList<QPixmap> ToolBarImages(const ToolBarLayout& layout);

} // namespace app
