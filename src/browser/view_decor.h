#pragma once
#include <functional>

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

namespace browser {

// Where a background image goes in the visible area: "Normal" (0) at the
// top left, "Center" (1) in the middle, "Tile" (16, and any value with that
// bit) repeated from the top left; -1 draws nothing.
struct BackgroundPlacement {
    bool draw = false;
    bool tiled = false;
    QPoint origin;
};
BackgroundPlacement placeBackground(int style, QSize image, QRect area);

// What the folder views draw behind their rows (the background image) and
// instead of rows (a short text when the folder shows none).
class ViewDecor {
public:
    void setImage(const QImage& image, int style);  // a null image or style -1: none
    bool hasImage() const { return !m_pixmap.isNull(); }
    int imageStyle() const { return m_style; }
    QSize imageSize() const { return m_pixmap.size(); }

    void setPlaceholder(const QString& text) { m_placeholder = text; }
    const QString& placeholder() const { return m_placeholder; }
    // Whether the view has no rows to show now (the text is drawn then).
    void setEmptyTest(std::function<bool()> isEmpty) { m_isEmpty = std::move(isEmpty); }

    void paint(QPainter& painter, const QRect& area, const QColor& base, const QColor& text) const;

private:
    QPixmap m_pixmap;
    int m_style = -1;
    QString m_placeholder;
    std::function<bool()> m_isEmpty;
};

} // namespace browser
