#include "app/app_resources.h"

#include "app/toolbar_layouts.h"

// The resources live in this library; a static library's resources must be
// registered by name before first use.
static void InitQuillonResources() { Q_INIT_RESOURCE(quillon); }

namespace app {

namespace {

void EnsureResources()
{
    static const bool done = (InitQuillonResources(), true);
    (void)done;
}

} // namespace

QIcon ApplicationIcon()
{
    EnsureResources();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/quillon%1.xpm").arg(size), QSize(size, size));
    return icon;
}

void UseIconThemeWhereNoneIsNamed()
{
    const QString named = QIcon::themeName();
    if (named.isEmpty() || named == QLatin1String("hicolor"))
        QIcon::setThemeName(QLatin1String(kIconTheme));
    else
        QIcon::setFallbackThemeName(QLatin1String(kIconTheme));
}

QList<QPixmap> ToolBarImages(const ToolBarLayout& layout)
{
    EnsureResources();
    const QPixmap strip(layout.ImagePath());
    QList<QPixmap> images;
    const int width = layout.imageSize.width();
    for (std::size_t i = 0; i < layout.buttons.size(); ++i) {
        const int x = static_cast<int>(i) * width;
        if (strip.isNull() || x + width > strip.width() || layout.imageSize.height() > strip.height())
            images << QPixmap();
        else
            images << strip.copy(QRect(QPoint(x, 0), layout.imageSize));
    }
    return images;
}

} // namespace app
