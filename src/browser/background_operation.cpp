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
T AskOnGuiThread(const std::shared_ptr<GuiPost>& post, const std::atomic<bool>& gone, std::function<T()> ask,
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
      m_window(new OperationWindow(owner)),
      m_showAfterMs(showAfterMs),
      m_post(std::make_shared<GuiPost>(this))
{
    m_window->hide();
    m_show.setSingleShot(true);
    connect(&m_show, &QTimer::timeout, this, &BackgroundOperation::ShowWindow);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, [this] { m_window->Show(Progress()); });
    connect(m_window, &OperationWindow::cancelRequested, this, &BackgroundOperation::Cancel);
}

BackgroundOperation::~BackgroundOperation()
{
    if (auto shared = m_shared.load())
        shared->gone = true;
    m_post->detach();
    delete m_window;
}

void BackgroundOperation::Cancel()
{
    if (auto shared = m_shared.load())
        shared->stop = true;
}

OperationProgress BackgroundOperation::Progress() const
{
    const auto shared = m_shared.load();
    return shared ? shared->meter.Snapshot() : OperationProgress{};
}

bool BackgroundOperation::StartTransfer(const QStringList& sources, const QString& targetFolder, bool move,
                                        Admit admit)
{
    return Start(move ? tr("Moving") : tr("Copying"), true, [=](const OperationContext& context) {
        QStringList from = sources;
        QString into = targetFolder;
        if (admit) {
            if (const QString refused = admit(from, into); !refused.isEmpty()) {
                context.report(refused);
                return false;
            }
        }
        FileTransfer transfer(context.askConflict, context.report, context.stopped);
        transfer.SetMeter(context.meter);
        return transfer.Run(from, into, move);
    });
}

bool BackgroundOperation::StartDelete(const QStringList& paths)
{
    const TrashFunction trash = m_actions.Trash();
    return Start(tr("Deleting"), false, [paths, trash](const OperationContext& context) {
        return FileActions::RemoveEntries(paths, trash, context);
    });
}

bool BackgroundOperation::Start(const QString& title, bool bytes, Job job)
{
    if (m_running)
        return false;
    m_running = true;
    auto shared = std::make_shared<Shared>();
    m_shared.store(shared);
    m_window->Begin(title, bytes);
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
            AskOnGuiThread<bool>(post, state->gone, [=, this] {
                return Asking<bool>([=] { actions->Report(message); return true; });
            }, true);
        },
        [this, post, actions, state](const QString& question) {
            return AskOnGuiThread<framework::Answer>(post, state->gone, [=, this] {
                return Asking<framework::Answer>([=] { return actions->Ask(question); });
            }, framework::Answer::Cancel);
        },
        [this, post, actions, state](const QString& target, bool folders) {
            return AskOnGuiThread<ConflictAnswer>(post, state->gone, [=, this] {
                return Asking<ConflictAnswer>([=] { return actions->AskConflict(target, folders); });
            }, ConflictAnswer::Cancel);
        },
        [state] { return state->stop || state->gone; },
        &state->meter};
    auto work = [this, post, shared, context, job] {
        const bool done = job(context);
        post->post([this, done] { Finish(done); });
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        // No thread to be had: done here, the window frozen meanwhile.
        const OperationContext direct{
            [actions](const QString& message) { actions->Report(message); },
            [actions](const QString& question) { return actions->Ask(question); },
            [actions](const QString& target, bool folders) { return actions->AskConflict(target, folders); },
            context.stopped, context.meter};
        Finish(job(direct));
    }
    return true;
}

template <class T>
T BackgroundOperation::Asking(const std::function<T()>& ask)
{
    ++m_asking;
    const T answer = ask();
    m_window->ForgetSpeed();
    if (--m_asking == 0 && m_showPending)
        ShowWindow();
    return answer;
}

void BackgroundOperation::ShowWindow()
{
    // A modal window shown over an open box would take its input away.
    m_showPending = m_asking > 0;
    if (m_showPending || !m_running)
        return;
    m_window->Show(Progress());
    m_window->show();
}

void BackgroundOperation::Finish(bool done)
{
    m_showPending = false;
    m_show.stop();
    m_refresh.stop();
    m_window->Show(Progress());
    m_window->hide();
    m_running = false;
    emit finished(done);
}

} // namespace browser
