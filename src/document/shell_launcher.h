#pragma once

namespace framework {
class ModalSeam;
}
namespace platform {
class SessionServices;
}

namespace document {

// The session duties around the program: the desktop shell started for a
// user without locations (and by "S&hell View"), and the logoff performed at
// exit once the session start has armed it. The application object holds
// one and calls it from LaunchDefaultShell and ExitInstance.
class ShellLauncher {
public:
    ShellLauncher(framework::ModalSeam& seam, platform::SessionServices& session);

    // The desktop shell; when it does not start, the user is told and the
    // home folder is opened instead. Nothing is reported beyond that.
    void LaunchDefaultShell();
    // The same where the program ends after starting the shell: the shell
    // takes the program's place, since a session ends with its program.
    // Returns only when it could not, after the same report and fallback.
    void ReplaceWithDefaultShell();
    // Ends the session; nothing happens where there is no session to end.
    void LogoffSession();

private:
    void Fallback();

    framework::ModalSeam& m_seam;
    platform::SessionServices& m_session;
};

} // namespace document
