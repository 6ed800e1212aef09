#pragma once
#include <QIcon>
#include <QList>
#include <QPixmap>

namespace app {

struct ToolBarLayout;

// The program's window icon.
QIcon ApplicationIcon();

// The icon theme the package depends on, for file types and folders.
inline constexpr const char* kIconTheme = "Adwaita";

// A kiosk session has no desktop to name an icon theme, and Qt's default
// (none, or hicolor) draws every file type as the same page: then the
// package's theme is used; a named theme gets it as its fallback.
void UseIconThemeWhereNoneIsNamed();

// The images of a toolbar's buttons, cut from its strip in button order.
// A strip that is missing or too short gives empty images for the rest.
QList<QPixmap> ToolBarImages(const ToolBarLayout& layout);

} // namespace app
