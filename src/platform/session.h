#pragma once
#include <memory>

// The user's desktop session: the desktop shell started in the program's
// place, the fallback when it does not start, and ending the session.
// No call throws and none waits for what it starts.
namespace platform {

class SessionServices {
public:
    virtual ~SessionServices() = default;

    // Starts the desktop shell (kDefaultShellCommand) and lets it run;
    // whether it started.
    virtual bool StartDefaultShell() = 0;
    // Replaces this program with the desktop shell, so that the session goes
    // on in it once the program would have ended. Returns (false) only when
    // that failed.
    virtual bool ReplaceWithDefaultShell() = 0;
    // Opens the user's home folder with the desktop's default handler;
    // whether the handler started.
    virtual bool OpenHomeFolder() = 0;
    // Asks the system to end the session the program runs in, without
    // waiting; false when there is no session to end or the request could
    // not be made.
    virtual bool LogoffSession() = 0;
};

// The services of the system the program runs on.
std::unique_ptr<SessionServices> CreateSystemSessionServices();

} // namespace platform
