#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/probe.h"
#include "platform/session.h"

namespace {

namespace fs = std::filesystem;
using probe::ScopedEnv;
using Args = std::vector<std::string>;

// Removes a variable for the lifetime of the object.
class ScopedUnset {
public:
    explicit ScopedUnset(const char* name) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        ::unsetenv(name);
    }
    ~ScopedUnset()
    {
        if (m_old)
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// The desktop's programs are the probe under their names, found on PATH.
class SessionTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(bin);
        for (const char* name : {"x-session-manager", "xdg-open", "loginctl"})
            fs::create_symlink(probe::ProbePath(), bin / name);
    }

    // The arguments the started program got, after its name.
    std::optional<Args> Started()
    {
        if (!probe::WaitFor([&] { return fs::exists(out); }))
            return std::nullopt;
        auto report = probe::ReadReport(out);
        if (!report)
            return std::nullopt;
        fs::remove(out);
        return Args(report->argv.begin(), report->argv.end());
    }

    probe::ScratchDir dir;
    fs::path bin = dir / "bin";
    fs::path out = dir / "report";
    ScopedEnv probeOut{"PROBE_OUT", out.string()};
    ScopedEnv path{"PATH", bin.string()};
    std::unique_ptr<platform::SessionServices> session = platform::CreateSystemSessionServices();
};

TEST_F(SessionTest, DefaultShellIsStartedFromThePath)
{
    ASSERT_TRUE(session->StartDefaultShell());
    EXPECT_EQ(Started(), Args{"x-session-manager"});

    fs::remove(bin / "x-session-manager");
    EXPECT_FALSE(session->StartDefaultShell());
}

// The shell takes over this very process: a child stands in for the program.
TEST_F(SessionTest, DefaultShellReplacesTheProgramOrReportsThatItCouldNot)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        session->ReplaceWithDefaultShell();
        ::_exit(99);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    auto report = probe::ReadReport(out);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->pid, child);
    EXPECT_EQ(report->argv, Args{"x-session-manager"});

    fs::remove(bin / "x-session-manager");
    EXPECT_FALSE(session->ReplaceWithDefaultShell());
}

TEST_F(SessionTest, HomeFolderReachesTheOpenerAsOneArgument)
{
    for (std::string home : {dir.Path().string() + "/my home", dir.Path().string() + "/odd \"name\\\" \\"}) {
        ScopedEnv h("HOME", home);
        ASSERT_TRUE(session->OpenHomeFolder());
        EXPECT_EQ(Started(), (Args{"xdg-open", home}));
    }
    fs::remove(bin / "xdg-open");
    EXPECT_FALSE(session->OpenHomeFolder());
}

TEST_F(SessionTest, LogoffEndsTheSessionNamedByTheEnvironmentOnly)
{
    {
        ScopedUnset none("XDG_SESSION_ID");
        EXPECT_FALSE(session->LogoffSession());
    }
    for (const char* bad : {"", "3 --force", "-h", "c2;reboot"}) {
        ScopedEnv id("XDG_SESSION_ID", bad);
        EXPECT_FALSE(session->LogoffSession()) << bad;
    }
    EXPECT_FALSE(fs::exists(out));  // nothing was started for any of them

    ScopedEnv id("XDG_SESSION_ID", "c7");
    ASSERT_TRUE(session->LogoffSession());
    EXPECT_EQ(Started(), (Args{"loginctl", "terminate-session", "c7"}));
}

} // namespace
