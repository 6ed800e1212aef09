#pragma once
// What the browser's thread tests hang their fake reads on, and the time they
// see: no test waits for a clock.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace browsertest {

// Blocks every caller of Pass() until Open(), like a share that stopped
// answering; counts who is inside.
class Gate {
public:
    void Pass()
    {
        ++m_inside;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait(lock, [&] { return m_open; });
        lock.unlock();
        --m_inside;
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_wake.notify_all();
    }
    int Inside() const { return m_inside; }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_open = false;
    std::atomic<int> m_inside{0};
};

// A clock that moves only when told to.
class FakeClock {
public:
    using Clock = std::chrono::steady_clock;
    std::function<Clock::time_point()> Now() const
    {
        return [ticks = m_ticks] { return Clock::time_point(Clock::duration(ticks->load())); };
    }
    void Advance(std::chrono::milliseconds by) { *m_ticks += std::chrono::duration_cast<Clock::duration>(by).count(); }

private:
    std::shared_ptr<std::atomic<Clock::rep>> m_ticks = std::make_shared<std::atomic<Clock::rep>>(1);
};

} // namespace browsertest
