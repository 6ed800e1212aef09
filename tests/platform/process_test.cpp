#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <unistd.h>

#include "platform/probe.h"
#include "platform/process.h"

namespace {

using probe::ReadReport;
using probe::ScopedEnv;
using probe::ScratchDir;
using probe::WaitFor;

bool WaitEnded(platform::Process& p)
{
    return WaitFor([&] { return p.HasEnded(); });
}

int ReadPid(const std::filesystem::path& file)
{
    std::ifstream in(file);
    int pid = 0;
    in >> pid;
    return pid;
}

class ProcessTest : public testing::Test {
protected:
    ScratchDir dir;
    std::filesystem::path out = dir / "report";
    ScopedEnv probeOut{"PROBE_OUT", out.string()};
};

TEST_F(ProcessTest, ProgramThatEndsIsCollected)
{
    platform::Process p;
    ASSERT_TRUE(p.Start(probe::ProbePath(), ""));
    const int pid = p.Id();
    EXPECT_GT(pid, 0);
    ASSERT_TRUE(WaitEnded(p));
    EXPECT_FALSE(p.IsRunning());
    EXPECT_FALSE(probe::IsUncollectedChild(pid));
    EXPECT_TRUE(p.HasEnded()) << "stays ended";
    auto r = ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->pid, pid);
    EXPECT_EQ(r->processGroup, pid) << "a process group of its own";
}

TEST_F(ProcessTest, ArgumentsWithBlanksAndQuotesArriveExactly)
{
    platform::Process p;
    const std::string line = probe::ProbePath() + R"( plain "two words" "  padded  " a\"q "end\\" )";
    ASSERT_TRUE(p.Start(line, ""));
    ASSERT_TRUE(WaitEnded(p));
    auto r = ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->argv, (std::vector<std::string>{probe::ProbePath(), "plain", "two words", "  padded  ",
                                                 R"(a"q)", R"(end\)"}));
}

TEST_F(ProcessTest, WorkingDirectoryReachesTheProgram)
{
    std::filesystem::create_directory(dir / "work dir");
    platform::Process p;
    ASSERT_TRUE(p.Start(probe::ProbePath(), (dir / "work dir").string()));
    ASSERT_TRUE(WaitEnded(p));
    auto r = ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(std::filesystem::path(r->cwd), std::filesystem::canonical(dir / "work dir"));
}

TEST_F(ProcessTest, NoWorkingDirectoryMeansTheCallersOwn)
{
    platform::Process p;
    ASSERT_TRUE(p.Start(probe::ProbePath(), ""));
    ASSERT_TRUE(WaitEnded(p));
    auto r = ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(std::filesystem::path(r->cwd), std::filesystem::current_path());
}

TEST_F(ProcessTest, RelativeProgramIsFoundFromTheCallersDirectory)
{
    // The working directory applies to the program, not to finding it.
    const auto relative = std::filesystem::relative(probe::ProbePath());
    ASSERT_TRUE(relative.is_relative());
    platform::Process p;
    ASSERT_TRUE(p.Start(relative.string() + " x", dir.Path().string()));
    ASSERT_TRUE(WaitEnded(p));
    auto r = ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->argv, (std::vector<std::string>{relative.string(), "x"}));
}

TEST_F(ProcessTest, UnquotedProgramPathWithBlanksStarts)
{
    std::filesystem::create_directories(dir / "my tools");
    const auto program = dir / "my tools" / "run me";
    std::filesystem::copy_file(probe::ProbePath(), program);
    platform::Process p;
    ASSERT_TRUE(p.Start(program.string() + " one \"two three\" ", ""));
    ASSERT_TRUE(WaitEnded(p));
    auto r = ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->argv, (std::vector<std::string>{program.string(), "one", "two three"}));
}

TEST_F(ProcessTest, BareNameIsLookedUpOnPath)
{
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "other");
    std::filesystem::copy_file(probe::ProbePath(), dir / "bin" / "quillon-probe");
    // A file of that name that cannot run is passed over, as the shell does.
    std::ofstream(dir / "other" / "quillon-probe") << "not a program";
    ScopedEnv path("PATH", (dir / "other").string() + ":" + (dir / "bin").string());
    platform::Process p;
    ASSERT_TRUE(p.Start("quillon-probe arg", ""));
    ASSERT_TRUE(WaitEnded(p));
    auto r = ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->argv, (std::vector<std::string>{"quillon-probe", "arg"}));
}

struct StartFailure {
    const char* what;
    std::function<std::string(const std::filesystem::path&)> commandLine;
    std::function<std::string(const std::filesystem::path&)> workingDirectory;
};

TEST_F(ProcessTest, ProgramsThatCannotStart)
{
    std::filesystem::create_directories(dir / "folder");
    std::ofstream(dir / "text") << "#!/nonexistent/interpreter\n";
    std::filesystem::permissions(dir / "text", std::filesystem::perms::owner_all);
    std::ofstream(dir / "plain") << "just text\n";
    const StartFailure cases[] = {
        {"missing file", [](auto& d) { return (d / "missing").string() + " arg"; }, [](auto&) { return ""; }},
        {"bare name nowhere on PATH", [](auto&) { return "quillon-no-such-program-here"; },
         [](auto&) { return ""; }},
        {"a folder", [](auto& d) { return (d / "folder").string(); }, [](auto&) { return ""; }},
        {"not executable", [](auto& d) { return (d / "plain").string(); }, [](auto&) { return ""; }},
        {"bad interpreter", [](auto& d) { return (d / "text").string(); }, [](auto&) { return ""; }},
        {"empty command line", [](auto&) { return "  "; }, [](auto&) { return ""; }},
        {"missing working directory", [](auto&) { return probe::ProbePath(); },
         [](auto& d) { return (d / "no such dir").string(); }},
    };
    for (const auto& c : cases) {
        platform::Process p;
        EXPECT_FALSE(p.Start(c.commandLine(dir.Path()), c.workingDirectory(dir.Path()))) << c.what;
        EXPECT_NE(p.Error(), 0) << c.what;
        EXPECT_FALSE(p.IsRunning()) << c.what;
        EXPECT_TRUE(p.HasEnded()) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(out)) << "nothing ran";
}

TEST_F(ProcessTest, TerminateEndsTheProgramAndItsChildren)
{
    const auto pidFile = dir / "child";
    platform::Process p;
    ASSERT_TRUE(p.Start("/bin/sh -c \"sleep 300 & echo $! > '" + pidFile.string() + "'; wait\"", ""));
    const int pid = p.Id();
    ASSERT_TRUE(WaitFor([&] { return ReadPid(pidFile) > 0; }));
    const int child = ReadPid(pidFile);
    ASSERT_TRUE(probe::IsAlive(child));
    EXPECT_FALSE(p.HasEnded());

    EXPECT_TRUE(p.Terminate());
    EXPECT_FALSE(p.IsRunning());
    EXPECT_TRUE(WaitFor([&] { return !probe::IsAlive(child); })) << "the child outlived its parent";
    EXPECT_TRUE(WaitFor([&] { return !probe::IsUncollectedChild(pid); })) << "left a zombie";
}

TEST_F(ProcessTest, DetachedProgramRunsOnAndIsCollectedWhenItEnds)
{
    const auto release = dir / "release";
    int pid = 0;
    {
        platform::Process p;
        ASSERT_TRUE(p.Start("/bin/sh -c \"while [ ! -e '" + release.string() + "' ]; do sleep 0.01; done\"", ""));
        pid = p.Id();
        p.Detach();
        EXPECT_FALSE(p.IsRunning());
    }
    EXPECT_TRUE(probe::IsAlive(pid)) << "letting go does not end it";
    std::ofstream(release) << "go";
    EXPECT_TRUE(WaitFor([&] { return !probe::IsUncollectedChild(pid); })) << "left a zombie";
}

TEST_F(ProcessTest, DestroyingAHandleLetsTheProgramGo)
{
    ScopedEnv wait("PROBE_WAIT", "1");
    int pid = 0;
    {
        platform::Process p;
        ASSERT_TRUE(p.Start(probe::ProbePath(), ""));
        pid = p.Id();
        ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(out); }));
    }
    EXPECT_TRUE(probe::IsAlive(pid));
    ::kill(pid, SIGKILL);
    EXPECT_TRUE(WaitFor([&] { return !probe::IsUncollectedChild(pid); })) << "left a zombie";
}

TEST_F(ProcessTest, MovedHandleKeepsTheProgram)
{
    ScopedEnv wait("PROBE_WAIT", "1");
    platform::Process a;
    ASSERT_TRUE(a.Start(probe::ProbePath(), ""));
    const int pid = a.Id();
    platform::Process b(std::move(a));
    EXPECT_FALSE(a.IsRunning());
    EXPECT_EQ(b.Id(), pid);
    EXPECT_FALSE(b.HasEnded());
    EXPECT_TRUE(b.Terminate());
    EXPECT_TRUE(WaitFor([&] { return !probe::IsUncollectedChild(pid); }));
}

TEST_F(ProcessTest, StartProgramDoesNotWait)
{
    ScopedEnv wait("PROBE_WAIT", "1");
    EXPECT_TRUE(platform::StartProgram(probe::ProbePath() + " shell"));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(out); }));
    auto r = ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->argv.back(), "shell");
    EXPECT_TRUE(probe::IsAlive(r->pid));
    ::kill(r->pid, SIGKILL);
    EXPECT_TRUE(WaitFor([&] { return !probe::IsUncollectedChild(r->pid); })) << "left a zombie";
    EXPECT_FALSE(platform::StartProgram((dir / "missing").string()));
}

} // namespace

TEST_F(ProcessTest, StartDetachedPassesTheArgumentsAsGivenAndRefusesAllButAbsoluteExecutables)
{
    std::filesystem::create_directory(dir / "files");
    const std::vector<std::string> args = {probe::ProbePath(), "$HOME", "a b", "*", "; rm -rf /", "`id`"};
    ASSERT_EQ(platform::StartDetached(args, (dir / "files").string()), 0);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(out); }));
    std::optional<probe::Report> r;
    ASSERT_TRUE(WaitFor([&] { return (r = ReadReport(out)).has_value(); }));
    EXPECT_EQ(r->argv, args) << "no shell, no expansion";
    EXPECT_EQ(std::filesystem::path(r->cwd), std::filesystem::canonical(dir / "files"));
    EXPECT_EQ(r->processGroup, r->pid);

    std::ofstream(dir / "plain") << "not a program";
    const struct {
        std::vector<std::string> argv;
        int error;
    } refused[] = {
        {{}, ENOENT},
        {{"true"}, ENOENT},  // a bare name is never looked up
        {{(dir / "missing").string()}, ENOENT},
        {{(dir / "plain").string()}, EACCES},
        {{dir.Path().string()}, EACCES},
    };
    for (const auto& c : refused)
        EXPECT_EQ(platform::StartDetached(c.argv, ""), c.error) << (c.argv.empty() ? "" : c.argv.front());
}

// The exit code is known once the program is seen to end; a signal counts as 128 plus its number.
TEST_F(ProcessTest, ExitCodeIsKnownOnceEnded)
{
    const struct {
        const char* command;
        int code;
    } cases[] = {{"/bin/sh -c \"exit 0\"", 0}, {"/bin/sh -c \"exit 3\"", 3}, {"/bin/sh -c \"kill -9 $$\"", 137}};
    for (const auto& c : cases) {
        platform::Process p;
        ASSERT_TRUE(p.Start(c.command, ""));
        EXPECT_EQ(p.ExitCode(), -1);
        ASSERT_TRUE(WaitEnded(p));
        EXPECT_EQ(p.ExitCode(), c.code) << c.command;
    }
}
