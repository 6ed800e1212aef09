#include "platform/files.h"

#include <algorithm>
#include <thread>

namespace platform {

FileError RetryTransient(const std::function<ReadAttempt()>& attempt, const RetryPolicy& policy)
{
    ReadAttempt last;
    for (int i = 0; i < std::max(policy.tries, 1); ++i) {
        if (i > 0)
            std::this_thread::sleep_for(policy.pause);
        last = attempt();
        if (!last.error || !last.transient)
            break;
    }
    return last.error;
}

} // namespace platform
