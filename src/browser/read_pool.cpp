#include "browser/read_pool.h"

#include <system_error>
#include <thread>
#include <vector>

namespace browser {

std::shared_ptr<ReadPool> ReadPool::create(Limits limits)
{
    return std::shared_ptr<ReadPool>(new ReadPool(std::move(limits)));
}

void ReadPool::submit(Read read)
{
    std::vector<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(read));
        while (m_queue.size() > m_limits.maxQueued) {
            if (m_queue.front().dropped)
                dropped.push_back(std::move(m_queue.front().dropped));
            m_queue.pop_front();
        }
        startWorkersLocked();
    }
    for (auto& fn : dropped)
        fn();
}

void ReadPool::cancel(const void* owner)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::erase_if(m_queue, [owner](const Read& r) { return r.owner == owner; });
}

void ReadPool::check()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    startWorkersLocked();
}

std::size_t ReadPool::waiting() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

int ReadPool::threadsStarted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_started;
}

std::deque<ReadPool::Read>::iterator ReadPool::nextLocked()
{
    for (auto it = m_queue.end(); it != m_queue.begin();) {
        --it;
        const auto running = m_running.find(it->share);
        if (running == m_running.end() || running->second < m_limits.perShare)
            return it;
    }
    return m_queue.end();
}

void ReadPool::startWorkersLocked()
{
    // Reads that could start now, each share up to its room.
    std::map<QString, int> room;
    int ready = 0;
    for (const Read& r : m_queue) {
        auto [it, fresh] = room.try_emplace(r.share, 0);
        if (fresh) {
            const auto running = m_running.find(r.share);
            it->second = m_limits.perShare - (running == m_running.end() ? 0 : running->second);
        }
        if (it->second > 0) {
            --it->second;
            ++ready;
        }
    }
    const auto now = m_limits.now();
    int alive = int(m_workers.size());
    int hung = 0;
    int idle = 0;
    for (const Worker& w : m_workers) {
        if (!w.busy)
            ++idle;
        else if (now - w.since >= m_limits.hangAfter)
            ++hung;
    }
    ready -= idle;  // a worker between two reads takes the next itself
    while (ready > 0 && alive - hung < m_limits.threads && alive < m_limits.hardCap) {
        m_workers.emplace_back();
        auto self = std::prev(m_workers.end());
        try {
            std::thread([pool = shared_from_this(), self] { pool->work(self); }).detach();
        } catch (const std::system_error&) {
            m_workers.erase(self);
            return;  // the queued reads wait for a worker that ends
        }
        ++m_started;
        ++alive;
        --ready;
    }
}

void ReadPool::work(std::list<Worker>::iterator self)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        const auto next = nextLocked();
        if (next == m_queue.end()) {
            m_workers.erase(self);
            return;
        }
        Read read = std::move(*next);
        m_queue.erase(next);
        self->busy = true;
        self->share = read.share;
        self->since = m_limits.now();
        ++m_running[read.share];
        lock.unlock();
        read.work();
        read = {};  // what the read holds goes before the lock is taken
        lock.lock();
        self->busy = false;
        if (--m_running[self->share] == 0)
            m_running.erase(self->share);
    }
}

} // namespace browser
