#include "browser/start_page.h"

#include <QPainter>

namespace browser {

StartPage::StartPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("startPage"));
    setWindowTitle(QStringLiteral("Nada"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

QString StartPage::title()
{
    return QStringLiteral("Quillon");
}

void StartPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont font = this->font();
    font.setBold(true);
    font.setItalic(true);
    // As large as the pane allows, up to the size of a page heading twice over.
    font.setPixelSize(qBound(16, qMin(height() / 5, width() / 6), 72));
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(rect(), Qt::AlignCenter, title());
}

} // namespace browser
