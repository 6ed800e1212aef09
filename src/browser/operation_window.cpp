#include "browser/operation_window.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace browser {

namespace {

// A file costs about as much time as this many bytes, whatever its size:
// without it a tree of small files would seem to take no time at all.
constexpr double kBytesPerFile = 64 * 1024;

QString Size(std::uint64_t bytes)
{
    return QLocale().formattedDataSize(static_cast<qint64>(bytes));
}

QString Number(std::uint64_t n)
{
    return QLocale().toString(qulonglong(n));
}

constexpr qint64 kSpeedWindowMs = 3000;

QString TimeLeft(double seconds)
{
    const auto counted = [](int n, const char* one, const char* many) {
        return OperationWindow::tr(n == 1 ? one : many).arg(n);
    };
    if (seconds < 60)
        return counted(std::max(1, int(seconds + 0.5)), "about %1 second left", "about %1 seconds left");
    if (seconds < 3600)
        return counted(int(seconds / 60 + 0.5), "about %1 minute left", "about %1 minutes left");
    return counted(int(seconds / 3600 + 0.5), "about %1 hour left", "about %1 hours left");
}

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

void OperationWindow::Begin(const QString& title, bool bytes)
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

void OperationWindow::Show(const OperationProgress& p)
{
    if (p.counting)
        return;
    const double work = double(p.bytesTotal) + double(p.filesTotal) * kBytesPerFile;
    const double done = double(p.bytesDone) + double(p.filesDone) * kBytesPerFile;
    m_bar->setRange(0, 1000);
    m_bar->setValue(int((work > 0 ? std::min(1.0, done / work) : 1.0) * 1000));
    m_counts->setText(m_bytes ? tr("%1 of %2 files, %3 of %4")
                                    .arg(Number(p.filesDone), Number(p.filesTotal), Size(p.bytesDone), Size(p.bytesTotal))
                              : tr("%1 of %2 items").arg(Number(p.filesDone), Number(p.filesTotal)));
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
    QString rate;
    if (speed > 0 && m_bytes)
        rate = tr("%1/s").arg(Size(std::uint64_t(double(p.bytesDone - first.bytes) * 1000.0 / double(span))));
    if (speed > 0 && work > done)
        rate = rate.isEmpty() ? TimeLeft((work - done) / speed) : tr("%1, %2").arg(rate, TimeLeft((work - done) / speed));
    m_state->setText(rate);
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

QString OperationWindow::CountsText() const
{
    return m_counts->text();
}

QString OperationWindow::RateText() const
{
    return m_state->text();
}

QString OperationWindow::CurrentText() const
{
    return m_current->toolTip();
}

} // namespace browser
