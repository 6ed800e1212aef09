#include "platform/probe.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace probe {

std::string ProbePath() { return QUILLON_PROCESS_PROBE; }

ScratchDir::ScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_path = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ec);
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name)
{
    if (const char* old = std::getenv(name))
        m_old = old;
    ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (m_old)
        ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

std::optional<Report> ReadReport(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\0') {
            parts.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    }
    if (parts.size() < 3)
        return std::nullopt;
    Report r;
    r.pid = std::atoi(parts[0].c_str());
    r.processGroup = std::atoi(parts[1].c_str());
    r.cwd = parts[2];
    r.argv.assign(parts.begin() + 3, parts.end());
    return r;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool IsAlive(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    if (!stat)
        return false;
    std::string line;
    std::getline(stat, line);
    // The state letter follows the name, which is in parentheses.
    std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z'
        && line[close + 2] != 'X';
}

bool IsUncollectedChild(int pid)
{
    siginfo_t info{};
    // WNOWAIT: look without collecting, so the test changes nothing.
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == -1)
        return false;  // ECHILD: not (or no longer) our child
    return true;  // our child, running or a zombie
}

} // namespace probe
