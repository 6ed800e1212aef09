#include "platform/stop_requests.h"

#include <atomic>
#include <csignal>
#include <initializer_list>

namespace platform {

namespace {

std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnStopSignal(int)
{
    g_stopRequested.store(true);
}

} // namespace

void WatchStopRequests()
{
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // The first signal asks; the handler is then reset, so a second one ends
    // the program whatever it is doing.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    ::signal(SIGXFSZ, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested()
{
    return g_stopRequested.load();
}

} // namespace platform
