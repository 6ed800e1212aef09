#include "progress_window.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/progress_text.h"
#include "platform/stop_requests.h"

#include <future>
#include <memory>

namespace pontlet {

namespace {

constexpr int kRefreshMs = 100;
constexpr qint64 kSpeedWindowMs = 3000;
// A file costs about as much time as this many bytes, whatever its size:
// without it a tree of small files would seem to take no time at all.
constexpr double kBytesPerFile = 64 * 1024;

QString Counted(int n, const char* one, const char* many)
{
    return ProgressWindow::tr(n == 1 ? one : many).arg(n);
}

} // namespace

ProgressWindow::ProgressWindow(std::vector<CopyItem> items, CopySettings settings, Prompts& prompts,
                               const QString& title, const QString& route, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_copy(std::move(items), [&] {
          settings.ask = [this](const Conflict& c) { return AskOnGuiThread(c); };
          return std::move(settings);
      }())
{
    setWindowTitle(title);
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    auto* routeLabel = new QLabel(route, this);
    routeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_counts = new QLabel(tr("Counting files..."), this);
    m_current = new QLabel(this);
    m_current->setMinimumWidth(420);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 0);
    m_rate = new QLabel(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::rejected, this, &ProgressWindow::reject);
    for (QWidget* w : std::initializer_list<QWidget*>{routeLabel, m_counts, m_current, m_bar, m_rate, buttons})
        layout->addWidget(w);
    resize(480, sizeHint().height());

    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &ProgressWindow::Refresh);
}

ProgressWindow::~ProgressWindow()
{
    m_copy.Cancel();
    if (m_worker.joinable())
        m_worker.join();
}

Outcome ProgressWindow::Run(int showAfterMs)
{
    m_clock.start();
    m_refresh.start();
    if (showAfterMs == 0)
        show();
    else if (showAfterMs > 0)
        QTimer::singleShot(showAfterMs, this, [this] {
            if (!m_finished)
                show();
        });
    m_worker = std::thread([this] {
        Outcome outcome = m_copy.Run();
        QMetaObject::invokeMethod(
            this,
            [this, outcome = std::move(outcome)]() mutable {
                m_outcome = std::move(outcome);
                m_finished = true;
                m_loop.quit();
            },
            Qt::QueuedConnection);
    });
    if (!m_finished)
        m_loop.exec();
    m_worker.join();
    m_refresh.stop();
    Refresh();
    hide();
    return std::move(m_outcome);
}

void ProgressWindow::reject()
{
    m_copy.Cancel();
    m_cancel->setEnabled(false);
    m_rate->setText(tr("Cancelling..."));
}

Answer ProgressWindow::AskOnGuiThread(const Conflict& conflict)
{
    // The worker waits here; Run() keeps the GUI thread's loop going until
    // the worker ends, so the answer always comes.
    auto answer = std::make_shared<std::promise<Answer>>();
    std::future<Answer> result = answer->get_future();
    QMetaObject::invokeMethod(
        this,
        [this, conflict, answer] {
            QWidget* owner = isVisible() ? this : parentWidget();
            m_asking = true;
            answer->set_value(m_prompts.AskReplace(owner, conflict));
            m_asking = false;
            m_samples.clear();  // the time spent answering says nothing about speed
        },
        Qt::QueuedConnection);
    return result.get();
}

void ProgressWindow::Refresh()
{
    if (platform::StopRequested() && m_cancel->isEnabled()) {
        reject();
        // A question left open would hold the copy; closing it answers Cancel.
        if (QWidget* question = QApplication::activeModalWidget(); m_asking && question && question != this)
            question->close();
    }
    if (m_asking)
        return;
    const Progress p = m_copy.Snapshot();
    if (p.counting)
        return;
    const qint64 now = m_clock.elapsed();
    if (m_copyingSince < 0) {
        m_copyingSince = now;
        m_bar->setRange(0, 1000);
    }
    const double work = double(p.bytesTotal) + double(p.filesTotal) * kBytesPerFile;
    const double done = double(p.bytesDone) + double(p.filesDone) * kBytesPerFile;
    const double fraction = work > 0 ? std::min(1.0, done / work) : 1.0;
    m_bar->setValue(int(fraction * 1000));
    m_counts->setText(framework::FilesAndBytesText(p.filesDone, p.filesTotal, p.bytesDone, p.bytesTotal));
    const QString current = QString::fromStdString(p.current);
    m_current->setText(m_current->fontMetrics().elidedText(current, Qt::ElideMiddle, m_current->width()));
    m_current->setToolTip(current);

    if (!m_cancel->isEnabled())
        return;  // "Cancelling..." stays
    m_samples.emplace_back(now, p.bytesDone);
    while (m_samples.size() > 2 && now - m_samples.front().first > kSpeedWindowMs)
        m_samples.pop_front();
    QString rate, left;
    const qint64 span = now - m_samples.front().first;
    if (span >= 500) {
        const double speed = double(p.bytesDone - m_samples.front().second) * 1000.0 / double(span);
        rate = framework::SpeedText(std::uint64_t(speed));
    }
    const qint64 copying = now - m_copyingSince;
    if (copying >= 1000 && fraction > 0 && fraction < 1)
        left = framework::TimeLeftText(double(copying) / 1000.0 * (1 - fraction) / fraction);
    m_rate->setText(framework::RateText(rate, left));
}

QString ProgressWindow::CountsText() const
{
    return m_counts->text();
}

QString ProgressWindow::CurrentText() const
{
    return m_current->toolTip();
}

QString ProgressWindow::RateText() const
{
    return m_rate->text();
}

void TellOutcome(Prompts& prompts, QWidget* owner, const QString& title, const Outcome& outcome)
{
    if (outcome.cancelled || (outcome.failures.empty() && outcome.kept.empty()))
        return;
    QStringList lines;
    for (const Failure& f : outcome.failures)
        lines << QStringLiteral("%1: %2").arg(QString::fromStdString(f.path.string()), QString::fromStdString(f.reason));
    for (const auto& p : outcome.kept)
        lines << ProgressWindow::tr("%1: kept, it differs and no rule says to replace it")
                     .arg(QString::fromStdString(p.string()));
    // Which and why, in the box itself; a long list in full in the details.
    constexpr qsizetype kShown = 5;
    QString text = Counted(int(lines.size()), "%1 item could not be copied.", "%1 items could not be copied.") +
                   QStringLiteral("\n\n") + lines.mid(0, kShown).join('\n');
    if (lines.size() > kShown)
        text += QStringLiteral("\n...");
    prompts.Tell(owner, title, text, lines);
}

} // namespace pontlet
