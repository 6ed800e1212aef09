#pragma once
#include <chrono>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>

#include <QString>

namespace browser {

struct ReadPoolLimits {
    int threads = 2;
    int perShare = 2;
    int hardCap = 8;
    std::size_t maxQueued = 256;
    std::chrono::milliseconds hangAfter{4000};
    std::function<std::chrono::steady_clock::time_point()> now = [] { return std::chrono::steady_clock::now(); };
};

// Worker threads for reads that may hang for good (a share that stopped
// answering). Nothing ever waits for them: a worker holds the pool alive and
// ends when no read is left for it, so the program's exit never waits on a
// hung read. A share that hangs costs only its own reads: at most `perShare`
// of its reads run at once, and a worker that has been on one read for
// longer than `hangAfter` no longer counts, so another is started in its
// place, up to `hardCap` threads in all.
class ReadPool : public std::enable_shared_from_this<ReadPool> {
public:
    using Clock = std::chrono::steady_clock;
    using Limits = ReadPoolLimits;
    struct Read {
        const void* owner = nullptr;
        QString share;
        std::function<void()> work;     // on a worker; must not throw
        std::function<void()> dropped;  // on the caller's thread, when it never runs
    };

    static std::shared_ptr<ReadPool> create(Limits limits = {});

    // Queued reads run newest first: the rows on screen now.
    void submit(Read read);
    // The owner's queued reads are forgotten (their `dropped` is not called).
    void cancel(const void* owner);
    // Starts workers in place of hung ones when reads wait; submit does
    // this too, a timer of the owner calls it while reads wait.
    void check();
    std::size_t waiting() const;
    int threadsStarted() const;

private:
    explicit ReadPool(Limits limits) : m_limits(std::move(limits)) {}
    struct Worker {
        bool busy = false;
        QString share;
        Clock::time_point since;
    };
    void startWorkersLocked();
    std::deque<Read>::iterator nextLocked();
    void work(std::list<Worker>::iterator self);

    const Limits m_limits;
    mutable std::mutex m_mutex;
    std::deque<Read> m_queue;  // newest at the back
    std::list<Worker> m_workers;
    std::map<QString, int> m_running;  // reads under way, by share
    int m_started = 0;
};

} // namespace browser
