#include "platform/files.h"

#include <algorithm>
#include <thread>

namespace platform {

FileError RetryTransient(const std::function<ReadAttempt()>& attempt, const RetryPolicy& policy)
{
    using Clock = std::chrono::steady_clock;
    const auto now = [&] { return policy.now ? policy.now() : Clock::now(); };
    const Clock::time_point start = now();
    std::chrono::milliseconds pause = policy.firstPause;
    for (int tries = 1;; ++tries) {
        const ReadAttempt last = attempt();
        if (!last.error || !last.transient)
            return last.error;
        // One more try if it can start within the budget, or while a slow
        // share has not had its few tries yet.
        if (now() + pause - start > policy.budget && tries >= policy.minTries)
            return last.error;
        if (policy.pause)
            policy.pause(pause);
        else
            std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::max(policy.maxPause, policy.firstPause));
    }
}

} // namespace platform
