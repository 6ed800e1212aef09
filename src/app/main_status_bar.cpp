#include "app/main_status_bar.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>

namespace app {

MainStatusBar::MainStatusBar(QWidget* parent, LockSource source) : QStatusBar(parent), m_source(std::move(source))
{
    m_idle = new QLabel(IdleText(), this);
    addWidget(m_idle, 1);
    m_caps = AddIndicator(QStringLiteral("CAP"));
    m_num = AddIndicator(QStringLiteral("NUM"));
    m_scroll = AddIndicator(QStringLiteral("SCRL"));
    RefreshKeyLocks();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

MainStatusBar::~MainStatusBar()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

QString MainStatusBar::IdleText() { return QStringLiteral("For Help, press F1"); }

QLabel* MainStatusBar::AddIndicator(const QString& name)
{
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    // Wide enough for the name whether lit or not, so nothing jumps.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(name) + 12);
    addPermanentWidget(label);
    return label;
}

QString MainStatusBar::IdleMessage() const { return m_idle->text(); }

QStringList MainStatusBar::IndicatorTexts() const { return {m_caps->text(), m_num->text(), m_scroll->text()}; }

void MainStatusBar::SetKeyLocks(const KeyLocks& locks)
{
    m_caps->setText(locks.caps ? m_caps->objectName() : QString());
    m_num->setText(locks.num ? m_num->objectName() : QString());
    m_scroll->setText(locks.scroll ? m_scroll->objectName() : QString());
}

void MainStatusBar::RefreshKeyLocks()
{
    if (!m_source)
        return;
    if (const std::optional<KeyLocks> locks = m_source())
        SetKeyLocks(*locks);
}

bool MainStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    // The lights change with a lock key; another program may have changed
    // them while this window was in the background.
    if (event->type() == QEvent::KeyRelease) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock: RefreshKeyLocks(); break;
        default: break;
        }
    } else if (event->type() == QEvent::WindowActivate && watched == window()) {
        RefreshKeyLocks();
    }
    return QStatusBar::eventFilter(watched, event);
}

} // namespace app
