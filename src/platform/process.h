#pragma once
#include <string>
#include <string_view>
#include <vector>

// Starting programs from a command line, polling them and ending them. Texts
// are UTF-8. No call throws and none blocks on a running program.
//
// A started program runs in a process group of its own, so that ending it
// also ends whatever it started. Nothing is left a zombie: a program that
// ends is collected when it is polled or terminated, and one that is let go
// (Detach, or destroying the Process) is collected in the background.
namespace platform {

class Process {
public:
    Process() = default;
    ~Process();  // a program still running is let go, not ended
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts the command line (split as command_line.h says; a bare program
    // name is looked up on PATH) in `workingDirectory`, or in the caller's
    // current directory when that is empty. The program inherits the
    // environment. False when it cannot be started; Error() says why.
    // A Process still holding a program lets it go first.
    bool Start(std::string_view commandLine, const std::string& workingDirectory);

    // Whether a program is held: started and not yet seen to end.
    bool IsRunning() const { return m_pid > 0; }
    // Polls without waiting; true once the program has ended (and when none
    // is held). The program is collected then.
    bool HasEnded();
    // Ends the program and everything in its process group at once. False
    // when the system refuses; the program is then still held.
    bool Terminate();
    // Lets the program run on its own; it is collected when it ends.
    void Detach();

    int Id() const { return m_pid; }
    int Error() const { return m_error; }  // errno of the last failed call
    // How the program ended, once HasEnded saw it end: its exit code, or
    // 128 plus the signal that ended it; -1 while unknown.
    int ExitCode() const { return m_exitCode; }

private:
    int m_pid = 0;
    int m_error = 0;
    int m_exitCode = -1;
};

// Starts a program without waiting for it, in the caller's current
// directory; whether it started.
bool StartProgram(std::string_view commandLine);

// Starts the program `argv[0]`, which must be an absolute path to an
// executable file (nothing is looked up on PATH and no shell reads the
// arguments), with exactly `argv`, in `workingDirectory` (the caller's when
// empty), in its own process group, and lets it run. 0, or the system's
// error number (ENOENT, EACCES, ...).
int StartDetached(const std::vector<std::string>& argv, const std::string& workingDirectory);

// Replaces this process with the program of the command line (found as Start
// finds it), with a clean signal state. Returns only when that failed: false,
// the process unchanged.
bool ReplaceProcess(std::string_view commandLine);

// The desktop shell started for a user who has no locations.
extern const char* const kDefaultShellCommand;

} // namespace platform
