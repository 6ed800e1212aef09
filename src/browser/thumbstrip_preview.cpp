#include "browser/thumbstrip_preview.h"

#include <QPainter>

#include "browser/gui_post.h"
#include "browser/preview_loader.h"

namespace browser {

namespace {

// Big enough for any pane, small enough that a huge photo costs little.
const QSize kLargest(1280, 960);
constexpr int kIconSize = 128;

} // namespace

ThumbstripPreview::ThumbstripPreview(PreviewLoader& loader, QWidget* parent)
    : QWidget(parent), m_loader(loader), m_post(std::make_shared<GuiPost>(this))
{
    setMinimumHeight(120);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

ThumbstripPreview::~ThumbstripPreview()
{
    m_loader.cancelReads(this);
    m_post->detach();
}

void ThumbstripPreview::Clear()
{
    ++m_ticket;
    m_loader.cancelReads(this);
    m_path.clear();
    m_name.clear();
    m_icon = QIcon();
    m_image = QImage();
    update();
}

void ThumbstripPreview::ShowItem(const QString& path, const QString& name, const QIcon& icon, bool isImage)
{
    if (path == m_path)
        return;
    Clear();
    m_path = path;
    m_name = name;
    m_icon = icon;
    update();
    if (!isImage)
        return;
    const quint64 ticket = m_ticket;
    auto post = m_post;
    m_loader.read(this, path, [this, post, ticket, path] {
        QImage image = PreviewLoader::readImage(path, kLargest);
        post->post([this, ticket, image = std::move(image)] {
            if (ticket != m_ticket || image.isNull())
                return;
            m_image = image;
            update();
            emit imageShown();
        });
    });
}

void ThumbstripPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect().adjusted(8, 8, -8, -8 - fontMetrics().height());
    if (!m_image.isNull()) {
        const QSize shown = m_image.size().scaled(area.size(), Qt::KeepAspectRatio).boundedTo(m_image.size());
        painter.drawImage(QRect(area.center() - QPoint(shown.width() / 2, shown.height() / 2), shown), m_image);
    } else if (!m_icon.isNull()) {
        const int side = qMin(kIconSize, qMin(area.width(), area.height()));
        m_icon.paint(&painter, QRect(area.center() - QPoint(side / 2, side / 2), QSize(side, side)));
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(rect().adjusted(8, 0, -8, -4), Qt::AlignHCenter | Qt::AlignBottom,
                     fontMetrics().elidedText(m_name, Qt::ElideMiddle, width() - 16));
}

} // namespace browser
