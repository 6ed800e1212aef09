#pragma once
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <QString>
#include <QTimer>

namespace browser {

struct ExaminerOptions {
    std::chrono::milliseconds hangAfter{3000};
    int maxAbandoned = 3;
    std::function<std::chrono::steady_clock::time_point()> now = [] { return std::chrono::steady_clock::now(); };
};

// The one thread that examines and lists folders for a view, kept for the
// view's life. Jobs run one after the other. A job that stops making
// progress for `hangAfter` (a share that no longer answers) is refused and
// its thread abandoned, never joined: jobs for other shares move to a fresh
// thread, while jobs for the share it hangs on are refused, so that clicks on
// a dead share never add threads. At most `maxAbandoned` hung threads are
// left behind; past that, every job that would need another is refused.
class Examiner {
public:
    using Clock = std::chrono::steady_clock;
    using Options = ExaminerOptions;
    // Called by a job now and then while it makes progress.
    using Alive = std::function<void()>;
    using Work = std::function<void(const Alive& alive)>;

    explicit Examiner(Options options);
    // The thread ends after its job; nothing waits for it.
    ~Examiner();
    Examiner(const Examiner&) = delete;
    Examiner& operator=(const Examiner&) = delete;

    // Queues `work` for the folder of `share` (a mount point). When it will
    // not run or hangs, `refused` is called on this thread, never from
    // inside run(); a hung `work` may still end later and report. `work`
    // must not throw.
    void run(const QString& share, Work work, std::function<void()> refused);
    // Applies the rules above to the jobs that wait; a timer calls it while
    // any do.
    void check();
    // Whether a job has hung on `share`.
    bool hangsOn(const QString& share) const;
    int threadsStarted() const { return m_started; }
    // No job waits or runs (hung ones left behind aside).
    bool idle() const;

private:
    struct Thread;
    struct Job {
        QString share;
        Work work;
        std::function<void()> refused;
    };
    bool startThread();
    void refuse(std::function<void()> refused);

    Options m_options;
    std::shared_ptr<Thread> m_thread;
    std::vector<std::shared_ptr<Thread>> m_abandoned;
    QTimer m_watch;
    int m_started = 0;
};

} // namespace browser
