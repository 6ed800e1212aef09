#include "browser/background_transfer.h"

#include <chrono>
#include <functional>
#include <future>
#include <system_error>
#include <thread>

#include "browser/file_actions.h"
#include "browser/file_transfer.h"
#include "browser/gui_post.h"

namespace browser {

namespace {

// Runs `ask` on the GUI thread and waits for its answer; `whenGone` when the
// answer cannot come any more.
template <class T>
T AskOnGuiThread(const std::shared_ptr<GuiPost>& post, const std::shared_ptr<std::atomic<bool>>& stop,
                 std::function<T()> ask, T whenGone)
{
    auto promise = std::make_shared<std::promise<T>>();
    std::future<T> answer = promise->get_future();
    post->post([promise, ask = std::move(ask)] { promise->set_value(ask()); });
    while (answer.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        if (*stop)
            return whenGone;
    return answer.get();
}

} // namespace

BackgroundTransfer::BackgroundTransfer(FileActions& actions, QObject* parent)
    : QObject(parent),
      m_actions(actions),
      m_post(std::make_shared<GuiPost>(this)),
      m_stop(std::make_shared<std::atomic<bool>>(false))
{
}

BackgroundTransfer::~BackgroundTransfer()
{
    *m_stop = true;
    m_post->detach();
}

bool BackgroundTransfer::Start(const QStringList& givenSources, const QString& givenTarget, bool move, Admit admit)
{
    if (m_running)
        return false;
    m_running = true;
    auto post = m_post;
    auto stop = m_stop;
    // Only posted calls touch m_actions, and they run only while this object lives.
    FileActions* actions = &m_actions;
    auto work = [this, post, stop, actions, sources = givenSources, targetFolder = givenTarget, move,
                 admit]() mutable {
        if (admit) {
            if (const QString refused = admit(sources, targetFolder); !refused.isEmpty()) {
                AskOnGuiThread<bool>(post, stop, [=] { actions->Report(refused); return true; }, true);
                post->post([this] {
                    m_running = false;
                    emit finished(false);
                });
                return;
            }
        }
        FileTransfer transfer(
            [=](const QString& target, bool folders) {
                return AskOnGuiThread<ConflictAnswer>(
                    post, stop, [=] { return actions->AskConflict(target, folders); }, ConflictAnswer::Cancel);
            },
            [=](const QString& message) {
                AskOnGuiThread<bool>(post, stop, [=] { actions->Report(message); return true; }, true);
            },
            [stop] { return stop->load(); });
        const bool done = transfer.Run(sources, targetFolder, move);
        post->post([this, done] {
            m_running = false;
            emit finished(done);
        });
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        QStringList sources = givenSources;
        QString targetFolder = givenTarget;
        const QString refused = admit ? admit(sources, targetFolder) : QString();
        if (!refused.isEmpty())
            m_actions.Report(refused);
        const bool done = refused.isEmpty() && m_actions.Transfer(sources, targetFolder, move);
        m_running = false;
        emit finished(done);
    }
    return true;
}

} // namespace browser
