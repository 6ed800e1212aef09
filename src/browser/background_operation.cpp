#include "browser/background_operation.h"

#include <atomic>
#include <chrono>
#include <future>
#include <system_error>
#include <thread>

#include "browser/file_actions.h"
#include "browser/file_transfer.h"
#include "browser/gui_post.h"
#include "browser/operation_window.h"

namespace browser {

// What the worker keeps of the operation, whoever goes first.
struct BackgroundOperation::Shared {
    std::atomic<bool> stop{false};  // Cancel
    std::atomic<bool> gone{false};  // the operation's owner is gone
    OperationMeter meter;
};

namespace {

constexpr int kRefreshMs = 100;

// Runs `ask` on the GUI thread and waits for its answer; `whenGone` when the
// answer cannot come any more.
template <class T>
T askOnGuiThread(const std::shared_ptr<GuiPost>& post, const std::atomic<bool>& gone, std::function<T()> ask,
                 T whenGone)
{
    auto promise = std::make_shared<std::promise<T>>();
    std::future<T> answer = promise->get_future();
    post->post([promise, ask = std::move(ask)] { promise->set_value(ask()); });
    while (answer.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        if (gone)
            return whenGone;
    return answer.get();
}

} // namespace

BackgroundOperation::BackgroundOperation(FileActions& actions, QWidget* owner, int showAfterMs)
    : QObject(owner),
      m_actions(actions),
      m_owner(owner),
      m_showAfterMs(showAfterMs),
      m_post(std::make_shared<GuiPost>(this))
{
    m_show.setSingleShot(true);
    connect(&m_show, &QTimer::timeout, this, &BackgroundOperation::showWindow);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, [this] { progressWindow().showProgress(progress()); });
}

BackgroundOperation::~BackgroundOperation()
{
    if (auto shared = m_shared.load())
        shared->gone = true;
    m_post->detach();
    delete m_window;
}

OperationWindow& BackgroundOperation::progressWindow()
{
    // Made with the first operation: most sessions never copy anything, and
    // the window's widgets and images would be carried for nothing.
    if (!m_window) {
        m_window = new OperationWindow(m_owner);
        m_window->hide();
        connect(m_window, &OperationWindow::cancelRequested, this, &BackgroundOperation::cancel);
    }
    return *m_window;
}

void BackgroundOperation::cancel()
{
    if (auto shared = m_shared.load())
        shared->stop = true;
}

OperationProgress BackgroundOperation::progress() const
{
    const auto shared = m_shared.load();
    return shared ? shared->meter.snapshot() : OperationProgress{};
}

bool BackgroundOperation::startTransfer(const QStringList& sources, const QString& targetFolder, bool move,
                                        Admit admit)
{
    return start(move ? tr("Moving") : tr("Copying"), true, [=](const OperationContext& context) {
        QStringList from = sources;
        QString into = targetFolder;
        if (admit) {
            if (const QString refused = admit(from, into); !refused.isEmpty()) {
                context.report(refused);
                return false;
            }
        }
        FileTransfer transfer(context.askConflict, context.report, context.stopped);
        transfer.setMeter(context.meter);
        return transfer.run(from, into, move);
    });
}

bool BackgroundOperation::startDelete(const QStringList& paths)
{
    const TrashFunction trash = m_actions.trash();
    return start(tr("Deleting"), false, [paths, trash](const OperationContext& context) {
        return FileActions::removeEntries(paths, trash, context);
    });
}

bool BackgroundOperation::start(const QString& title, bool bytes, Job job)
{
    if (m_running)
        return false;
    m_running = true;
    auto shared = std::make_shared<Shared>();
    m_shared.store(shared);
    progressWindow().begin(title, bytes);
    if (m_showAfterMs >= 0)
        m_show.start(m_showAfterMs);
    m_refresh.start();

    // Only posted calls touch this object and m_actions, and they run only
    // while this object lives; the worker keeps `shared` (and so the meter)
    // alive itself.
    auto post = m_post;
    FileActions* actions = &m_actions;
    Shared* state = shared.get();
    const OperationContext context{
        [this, post, actions, state](const QString& message) {
            askOnGuiThread<bool>(post, state->gone, [=, this] {
                return asking<bool>([=] { actions->report(message); return true; });
            }, true);
        },
        [this, post, actions, state](const QString& question) {
            return askOnGuiThread<framework::Answer>(post, state->gone, [=, this] {
                return asking<framework::Answer>([=] { return actions->ask(question); });
            }, framework::Answer::Cancel);
        },
        [this, post, actions, state](const QString& target, bool folders) {
            return askOnGuiThread<ConflictAnswer>(post, state->gone, [=, this] {
                return asking<ConflictAnswer>([=] { return actions->askConflict(target, folders); });
            }, ConflictAnswer::Cancel);
        },
        [state] { return state->stop || state->gone; },
        &state->meter};
    auto work = [this, post, shared, context, job] {
        const bool done = job(context);
        post->post([this, done] { finish(done); });
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        // No thread to be had: done here, the window frozen meanwhile.
        const OperationContext direct{
            [actions](const QString& message) { actions->report(message); },
            [actions](const QString& question) { return actions->ask(question); },
            [actions](const QString& target, bool folders) { return actions->askConflict(target, folders); },
            context.stopped, context.meter};
        finish(job(direct));
    }
    return true;
}

template <class T>
T BackgroundOperation::asking(const std::function<T()>& ask)
{
    ++m_asking;
    const T answer = ask();
    progressWindow().forgetSpeed();
    if (--m_asking == 0 && m_showPending)
        showWindow();
    return answer;
}

void BackgroundOperation::showWindow()
{
    // A modal window shown over an open box would take its input away.
    m_showPending = m_asking > 0;
    if (m_showPending || !m_running)
        return;
    progressWindow().showProgress(progress());
    progressWindow().show();
}

void BackgroundOperation::finish(bool done)
{
    m_showPending = false;
    m_show.stop();
    m_refresh.stop();
    progressWindow().showProgress(progress());
    progressWindow().hide();
    m_running = false;
    emit finished(done);
}

} // namespace browser
