#include "app/rebar.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <functional>

namespace app {

namespace {

// The handle at a band's left edge. A folded band's handle is wider and
// carries an arrow, so that it shows there is more to open.
class Gripper : public QWidget {
public:
    explicit Gripper(QWidget* parent, std::function<void()> onClick) : QWidget(parent), m_onClick(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        SetFolded(false);
    }

    void SetFolded(bool folded)
    {
        m_folded = folded;
        setFixedWidth(folded ? 18 : 8);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        option.rect = QRect(0, 0, 8, height());
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, this);
        if (m_folded) {
            option.rect = QRect(8, height() / 2 - 5, 10, 10);
            style()->drawPrimitive(QStyle::PE_IndicatorArrowRight, &option, &painter, this);
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_onClick();
    }

private:
    std::function<void()> m_onClick;
    bool m_folded = false;
};

} // namespace

class ReBarBand : public QWidget {
public:
    ReBarBand(QWidget* parent, QToolBar* bar) : QWidget(parent), m_bar(bar)
    {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        m_border = new QFrame(this);
        m_border->setFrameShape(QFrame::VLine);
        m_border->setFrameShadow(QFrame::Sunken);
        layout->addWidget(m_border);
        m_gripper = new Gripper(this, [this] { SetMinimized(!m_minimized); });
        layout->addWidget(m_gripper);
        bar->setParent(this);
        bar->setMovable(false);
        bar->setFloatable(false);
        layout->addWidget(bar);
    }

    QToolBar* Bar() const { return m_bar; }
    bool IsMinimized() const { return m_minimized; }
    void SetMinimized(bool minimized)
    {
        m_minimized = minimized;
        m_bar->setVisible(!minimized);
        m_gripper->SetFolded(minimized);
    }
    void SetBorderVisible(bool visible) { m_border->setVisible(visible); }

private:
    QToolBar* m_bar;
    QFrame* m_border;
    Gripper* m_gripper;
    bool m_minimized = false;
};

ReBar::ReBar(QWidget* parent) : QFrame(parent), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

ReBar::~ReBar() = default;

int ReBar::AddBand(QToolBar* bar)
{
    auto* band = new ReBarBand(this, bar);
    m_layout->insertWidget(m_layout->count() - 1, band);
    m_bands.push_back(band);
    UpdateBorders();
    return BandCount() - 1;
}

ReBarBand* ReBar::At(int index) const
{
    return index >= 0 && index < BandCount() ? m_bands[static_cast<std::size_t>(index)] : nullptr;
}

QToolBar* ReBar::Band(int index) const
{
    ReBarBand* band = At(index);
    return band ? band->Bar() : nullptr;
}

int ReBar::IndexOf(const QToolBar* bar) const
{
    for (int i = 0; i < BandCount(); ++i)
        if (m_bands[static_cast<std::size_t>(i)]->Bar() == bar)
            return i;
    return -1;
}

void ReBar::MinimizeBand(int index)
{
    if (ReBarBand* band = At(index))
        band->SetMinimized(true);
}

void ReBar::RestoreBand(int index)
{
    if (ReBarBand* band = At(index))
        band->SetMinimized(false);
}

bool ReBar::IsBandMinimized(int index) const
{
    ReBarBand* band = At(index);
    return band && band->IsMinimized();
}

void ReBar::ShowBand(int index, bool show)
{
    if (ReBarBand* band = At(index)) {
        band->setVisible(show);
        UpdateBorders();
    }
}

bool ReBar::IsBandShown(int index) const
{
    ReBarBand* band = At(index);
    return band && !band->isHidden();
}

// Only a band with a shown band before it gets a border on its left.
void ReBar::UpdateBorders()
{
    bool shownBefore = false;
    for (ReBarBand* band : m_bands) {
        band->SetBorderVisible(shownBefore);
        shownBefore = shownBefore || !band->isHidden();
    }
}

} // namespace app
