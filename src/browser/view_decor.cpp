#include "browser/view_decor.h"

#include <QCoreApplication>
#include <QPainter>

namespace browser {

namespace {

constexpr int kCentred = 1;
constexpr int kTiledBit = 16;
// The rows stay readable over any picture: it is shown through a veil of the
// view's own background colour.
constexpr qreal kVeil = 0.35;

} // namespace

BackgroundPlacement placeBackground(int style, QSize image, QRect area)
{
    BackgroundPlacement placement;
    if (style < 0 || image.isEmpty())
        return placement;
    placement.draw = true;
    if (style == kCentred) {
        placement.origin = area.topLeft() + QPoint((area.width() - image.width()) / 2, (area.height() - image.height()) / 2);
        return placement;
    }
    placement.tiled = (style & kTiledBit) != 0;
    placement.origin = area.topLeft();
    return placement;
}

void ViewDecor::setImage(const QImage& image, int style)
{
    m_style = image.isNull() ? -1 : style;
    m_pixmap = m_style < 0 ? QPixmap() : QPixmap::fromImage(image);
}

void ViewDecor::paint(QPainter& painter, const QRect& area, const QColor& base, const QColor& text) const
{
    const BackgroundPlacement placement = placeBackground(m_style, m_pixmap.size(), area);
    if (placement.draw) {
        if (placement.tiled)
            painter.drawTiledPixmap(area, m_pixmap, area.topLeft() - placement.origin);
        else
            painter.drawPixmap(placement.origin, m_pixmap);
        QColor veil = base;
        veil.setAlphaF(kVeil);
        painter.fillRect(area, veil);
    }
    if (m_isEmpty && m_isEmpty()) {
        painter.setPen(text);
        const QString shown = m_placeholder.isEmpty() ? QCoreApplication::translate("browser::ViewDecor", "This folder is empty.") : m_placeholder;
        painter.drawText(area.adjusted(16, 24, -16, -16), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, shown);
    }
}

} // namespace browser
