#include "browser/operation_window.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/progress_text.h"

namespace browser {

namespace {

// A file costs about as much time as this many bytes, whatever its size:
// without it a tree of small files would seem to take no time at all.
constexpr double kBytesPerFile = 64 * 1024;

constexpr qint64 kSpeedWindowMs = 3000;

} // namespace

OperationWindow::OperationWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OperationWindow"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    m_counts = new QLabel(this);
    m_current = new QLabel(this);
    m_current->setMinimumWidth(420);
    m_bar = new QProgressBar(this);
    m_state = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::rejected, this, &OperationWindow::reject);
    for (QWidget* w : std::initializer_list<QWidget*>{m_counts, m_current, m_bar, m_state, buttons})
        layout->addWidget(w);
    resize(480, sizeHint().height());
}

void OperationWindow::begin(const QString& title, bool bytes)
{
    setWindowTitle(title);
    m_bytes = bytes;
    m_cancel->setEnabled(true);
    m_state->clear();
    m_counts->setText(tr("Counting files..."));
    m_current->clear();
    m_current->setToolTip(QString());
    m_bar->setRange(0, 0);
    m_samples.clear();
    m_clock.start();
}

void OperationWindow::showProgress(const OperationProgress& p)
{
    if (p.counting)
        return;
    const double work = double(p.bytesTotal) + double(p.filesTotal) * kBytesPerFile;
    const double done = double(p.bytesDone) + double(p.filesDone) * kBytesPerFile;
    m_bar->setRange(0, 1000);
    m_bar->setValue(int((work > 0 ? std::min(1.0, done / work) : 1.0) * 1000));
    m_counts->setText(m_bytes ? framework::FilesAndBytesText(p.filesDone, p.filesTotal, p.bytesDone, p.bytesTotal)
                              : framework::ItemsText(p.filesDone, p.filesTotal));
    m_current->setText(m_current->fontMetrics().elidedText(p.current, Qt::ElideMiddle, m_current->width()));
    m_current->setToolTip(p.current);
    if (!m_cancel->isEnabled())
        return;  // "Cancelling..." stays
    // Over the last seconds, so that a pause for a question is soon forgotten.
    const qint64 now = m_clock.elapsed();
    m_samples.push_back({now, done, p.bytesDone});
    while (m_samples.size() > 2 && now - m_samples.front().ms > kSpeedWindowMs)
        m_samples.pop_front();
    const Sample& first = m_samples.front();
    const qint64 span = now - first.ms;
    const double speed = span >= 500 ? (done - first.work) * 1000.0 / double(span) : 0;
    QString rate, left;
    if (speed > 0 && m_bytes)
        rate = framework::SpeedText(std::uint64_t(double(p.bytesDone - first.bytes) * 1000.0 / double(span)));
    if (speed > 0 && work > done)
        left = framework::TimeLeftText((work - done) / speed);
    m_state->setText(framework::RateText(rate, left));
}

void OperationWindow::reject()
{
    // The window stays until the operation has stopped.
    if (!m_cancel->isEnabled())
        return;
    m_cancel->setEnabled(false);
    m_state->setText(tr("Cancelling..."));
    emit cancelRequested();
}

QString OperationWindow::countsText() const
{
    return m_counts->text();
}

QString OperationWindow::rateText() const
{
    return m_state->text();
}

QString OperationWindow::currentText() const
{
    return m_current->toolTip();
}

} // namespace browser
