#include "browser/examiner.h"

#include <atomic>
#include <condition_variable>
#include <system_error>
#include <thread>

namespace browser {

struct Examiner::Thread {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> jobs;
    bool ended = false;
    bool busy = false;
    QString share;                     // of the job under way
    std::function<void()> refused;     // of the job under way, until it is given up
    std::atomic<Clock::rep> lastSign{0};  // when that job last made progress
};

Examiner::Examiner(Options options) : m_options(std::move(options))
{
    m_watch.setInterval(std::max<int>(10, int(m_options.hangAfter.count() / 2)));
    QObject::connect(&m_watch, &QTimer::timeout, &m_watch, [this] { check(); });
}

Examiner::~Examiner()
{
    if (!m_thread)
        return;
    std::lock_guard<std::mutex> lock(m_thread->mutex);
    m_thread->ended = true;
    m_thread->jobs.clear();
    m_thread->wake.notify_all();
}

bool Examiner::startThread()
{
    auto thread = std::make_shared<Thread>();
    auto now = m_options.now;
    auto loop = [thread, now] {
        const Alive alive = [&thread, &now] { thread->lastSign = now().time_since_epoch().count(); };
        std::unique_lock<std::mutex> lock(thread->mutex);
        for (;;) {
            thread->wake.wait(lock, [&] { return thread->ended || !thread->jobs.empty(); });
            if (thread->ended)
                return;
            Job job = std::move(thread->jobs.front());
            thread->jobs.pop_front();
            thread->busy = true;
            thread->share = job.share;
            thread->refused = std::move(job.refused);
            alive();
            lock.unlock();
            job.work(alive);
            job = {};
            lock.lock();
            thread->busy = false;
            thread->refused = nullptr;
        }
    };
    try {
        std::thread(std::move(loop)).detach();
    } catch (const std::system_error&) {
        return false;
    }
    ++m_started;
    m_thread = std::move(thread);
    return true;
}

bool Examiner::hangsOn(const QString& share) const
{
    for (const auto& t : m_abandoned) {
        std::lock_guard<std::mutex> lock(t->mutex);
        if (t->busy && t->share == share)
            return true;
    }
    if (!m_thread)
        return false;
    std::lock_guard<std::mutex> lock(m_thread->mutex);
    const Clock::duration quiet = m_options.now().time_since_epoch() - Clock::duration(m_thread->lastSign.load());
    return m_thread->busy && m_thread->share == share && quiet >= m_options.hangAfter;
}

bool Examiner::idle() const
{
    if (!m_thread)
        return true;
    std::lock_guard<std::mutex> lock(m_thread->mutex);
    return !m_thread->busy && m_thread->jobs.empty();
}

void Examiner::refuse(std::function<void()> refused)
{
    // Later, never from inside the caller's own request.
    if (refused)
        QMetaObject::invokeMethod(&m_watch, std::move(refused), Qt::QueuedConnection);
}

void Examiner::run(const QString& share, Work work, std::function<void()> refused)
{
    check();
    if (hangsOn(share) || (!m_thread && (int(m_abandoned.size()) > m_options.maxAbandoned || !startThread()))) {
        refuse(std::move(refused));
        return;
    }
    Job job{share, std::move(work), std::move(refused)};
    {
        std::lock_guard<std::mutex> lock(m_thread->mutex);
        m_thread->jobs.push_back(std::move(job));
        m_thread->wake.notify_all();
    }
    check();
    if (!m_watch.isActive())
        m_watch.start();
}

void Examiner::check()
{
    std::erase_if(m_abandoned, [](const std::shared_ptr<Thread>& t) {
        std::lock_guard<std::mutex> lock(t->mutex);
        return !t->busy;
    });
    if (!m_thread)
        return;
    std::vector<Job> refusedJobs;
    std::deque<Job> moving;
    bool idle = false;
    {
        std::lock_guard<std::mutex> lock(m_thread->mutex);
        const Clock::duration quiet = m_options.now().time_since_epoch() - Clock::duration(m_thread->lastSign.load());
        if (m_thread->busy && quiet >= m_options.hangAfter) {
            // Its caller hears now that no answer is coming; one that comes
            // after all must be dropped there.
            refusedJobs.push_back({m_thread->share, nullptr, std::move(m_thread->refused)});
            m_thread->refused = nullptr;
            for (Job& job : m_thread->jobs) {
                if (job.share == m_thread->share)
                    refusedJobs.push_back(std::move(job));
                else
                    moving.push_back(std::move(job));
            }
            m_thread->jobs.clear();
            // Left to end on its own, if it ever does; the next job gets a
            // fresh thread.
            m_thread->ended = true;
        } else {
            idle = !m_thread->busy && m_thread->jobs.empty();
        }
    }
    if (m_thread->ended) {
        m_abandoned.push_back(std::move(m_thread));
        m_thread.reset();
        if (!moving.empty()) {
            if (int(m_abandoned.size()) <= m_options.maxAbandoned && startThread()) {
                std::lock_guard<std::mutex> lock(m_thread->mutex);
                m_thread->jobs = std::move(moving);
                m_thread->wake.notify_all();
            } else {
                std::move(moving.begin(), moving.end(), std::back_inserter(refusedJobs));
            }
        }
    }
    for (Job& job : refusedJobs)
        refuse(std::move(job.refused));
    if (idle || !m_thread)
        m_watch.stop();
}

} // namespace browser
