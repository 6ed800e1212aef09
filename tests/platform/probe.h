#pragma once
// Helpers for tests that start real programs: a scratch folder, the probe
// program that reports its arguments and working directory, and waiting for
// things that happen in other processes.
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace probe {

// The probe program (built beside the tests).
std::string ProbePath();

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// What the probe reported.
struct Report {
    int pid = 0;
    int processGroup = 0;
    std::string cwd;
    std::vector<std::string> argv;
};
std::optional<Report> ReadReport(const std::filesystem::path& file);

// Polls until `done` holds; false when it does not within a generous limit
// (the limit only stops a broken test from hanging, it measures nothing).
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20));

// Whether a process id still names a live process (a zombie is not live).
bool IsAlive(int pid);
// Whether this process still has `pid` as an uncollected child.
bool IsUncollectedChild(int pid);

} // namespace probe
