#include "platform/process.h"
#include "platform/command_line.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {

const char* const kDefaultShellCommand = "x-session-manager";

namespace {

// Relative names are taken from the caller's directory, never from the
// program's working directory, which only applies once it runs.
std::string Absolute(const std::string& name)
{
    std::error_code ec;
    auto p = std::filesystem::absolute(name, ec);
    return ec ? name : p.string();
}

bool IsFile(const std::string& path, bool needExecutable)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return !needExecutable || (S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0);
}

std::string SearchPath()
{
    if (const char* path = std::getenv("PATH"))
        return path;
    std::size_t n = ::confstr(_CS_PATH, nullptr, 0);
    std::string def(n, '\0');
    if (n > 0)
        ::confstr(_CS_PATH, def.data(), n);
    def.resize(n ? n - 1 : 0);
    return def;
}

// A name with a slash is a path; a bare name is the first executable file of
// that name in a PATH folder (an empty entry is the current directory).
std::optional<std::string> LookupProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos) {
        std::string path = Absolute(name);
        if (IsFile(path, false))
            return path;
        return std::nullopt;
    }
    const std::string dirs = SearchPath();
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t colon = dirs.find(':', start);
        if (colon == std::string::npos)
            colon = dirs.size();
        std::string dir = dirs.substr(start, colon - start);
        std::string candidate = Absolute((dir.empty() ? std::string(".") : dir) + "/" + name);
        if (IsFile(candidate, true))
            return candidate;
        start = colon + 1;
    }
    return std::nullopt;
}

// Collects a program in the background: a thread parked in waitpid until it
// ends. Only used for programs that are let go while still running.
// The null-terminated argument array that posix_spawn and execv take; it
// points into `parsed`, which must outlive it.
std::vector<char*> ArgumentVector(ParsedCommandLine& parsed)
{
    std::vector<char*> argv;
    argv.reserve(parsed.argv.size() + 1);
    for (auto& a : parsed.argv)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

void CollectLater(pid_t pid)
{
    try {
        std::thread([pid] {
            while (::waitpid(pid, nullptr, 0) == -1 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the program is left as our child; it is
        // collected by the system when this process ends.
    }
}

class SpawnSettings {
public:
    explicit SpawnSettings(const std::string& workingDirectory)
    {
        ::posix_spawn_file_actions_init(&m_actions);
        ::posix_spawnattr_init(&m_attr);
        if (!workingDirectory.empty())
            m_error = ::posix_spawn_file_actions_addchdir_np(&m_actions, workingDirectory.c_str());
        // Its own process group, so that ending it reaches its children; a
        // clean signal state, whatever this process blocks or ignores.
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        ::posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        ::posix_spawnattr_setpgroup(&m_attr, 0);
        ::posix_spawnattr_setsigmask(&m_attr, &none);
        ::posix_spawnattr_setsigdefault(&m_attr, &all);
    }
    ~SpawnSettings()
    {
        ::posix_spawnattr_destroy(&m_attr);
        ::posix_spawn_file_actions_destroy(&m_actions);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    int Error() const { return m_error; }
    const posix_spawn_file_actions_t* Actions() const { return &m_actions; }
    const posix_spawnattr_t* Attributes() const { return &m_attr; }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attr;
    int m_error = 0;
};

} // namespace

Process::~Process() { Detach(); }

Process::Process(Process&& other) noexcept : m_pid(other.m_pid), m_error(other.m_error), m_exitCode(other.m_exitCode)
{
    other.m_pid = 0;
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Detach();
        m_pid = other.m_pid;
        m_error = other.m_error;
        m_exitCode = other.m_exitCode;
        other.m_pid = 0;
    }
    return *this;
}

bool Process::Start(std::string_view commandLine, const std::string& workingDirectory)
{
    Detach();
    m_error = 0;
    m_exitCode = -1;
    auto parsed = ParseCommandLine(commandLine, LookupProgram);
    if (!parsed) {
        m_error = ENOENT;
        return false;
    }
    SpawnSettings settings(workingDirectory);
    if (settings.Error() != 0) {
        m_error = settings.Error();
        return false;
    }
    std::vector<char*> argv = ArgumentVector(*parsed);

    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, parsed->program.c_str(), settings.Actions(), settings.Attributes(),
                           argv.data(), environ);
    if (rc != 0) {
        m_error = rc;
        return false;
    }
    m_pid = pid;
    return true;
}

bool Process::HasEnded()
{
    if (m_pid <= 0)
        return true;
    int status = 0;
    pid_t r = ::waitpid(m_pid, &status, WNOHANG);
    if (r == 0)
        return false;
    if (r == -1 && errno == EINTR)
        return false;
    if (r == m_pid)
        m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    // Collected now, or by someone else already (ECHILD): it is gone either way.
    m_pid = 0;
    return true;
}

bool Process::Terminate()
{
    if (m_pid <= 0)
        return true;
    // The group first, then the program itself in case it left its group.
    // The program is not collected yet, so its id cannot have been reused.
    bool group = ::killpg(m_pid, SIGKILL) == 0;
    int groupError = errno;
    bool self = ::kill(m_pid, SIGKILL) == 0;
    if (!group && !self) {
        m_error = groupError;
        return false;
    }
    Detach();
    return true;
}

void Process::Detach()
{
    if (m_pid <= 0)
        return;
    if (!HasEnded())
        CollectLater(m_pid);
    m_pid = 0;
}

bool StartProgram(std::string_view commandLine)
{
    Process p;
    if (!p.Start(commandLine, std::string()))
        return false;
    p.Detach();
    return true;
}

int StartDetached(const std::vector<std::string>& argv, const std::string& workingDirectory)
{
    if (argv.empty() || argv.front().empty() || argv.front().front() != '/')
        return ENOENT;
    struct stat st {};
    if (::stat(argv.front().c_str(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode) || ::access(argv.front().c_str(), X_OK) != 0)
        return EACCES;
    SpawnSettings settings(workingDirectory);
    if (settings.Error() != 0)
        return settings.Error();
    std::vector<std::string> copy = argv;
    std::vector<char*> pointers;
    pointers.reserve(copy.size() + 1);
    for (auto& a : copy)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, copy.front().c_str(), settings.Actions(), settings.Attributes(),
                                 pointers.data(), environ);
    if (rc != 0)
        return rc;
    CollectLater(pid);
    return 0;
}

bool ReplaceProcess(std::string_view commandLine)
{
    auto parsed = ParseCommandLine(commandLine, LookupProgram);
    if (!parsed)
        return false;
    std::vector<char*> argv = ArgumentVector(*parsed);
    // An exec keeps the signal mask and ignored signals; the new program
    // starts clean, as a started one does. Undone if the exec fails.
    sigset_t none;
    sigset_t oldMask;
    sigemptyset(&none);
    ::pthread_sigmask(SIG_SETMASK, &none, &oldMask);
    std::vector<int> ignored;
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction current {};
        if (::sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            ::signal(sig, SIG_DFL);
            ignored.push_back(sig);
        }
    }
    std::fflush(nullptr);
    ::execv(parsed->program.c_str(), argv.data());
    for (int sig : ignored)
        ::signal(sig, SIG_IGN);
    ::pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    return false;
}

} // namespace platform
