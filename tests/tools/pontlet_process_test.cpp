// The transfer tool as scripts and sessions start it: exit codes, standard
// streams, another user's rights, a full target, signals in the middle.
#include "pontlet_support.h"
#include "platform/command_output.h"
#include "quillon_version.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace pontlettest;

namespace {

struct Result {
    int status;  // exit code, or -1 when ended by a signal
    std::string out;
    std::string err;
};

std::string Quoted(const std::vector<std::string>& args)
{
    std::string line = ShellQuote(QUILLON_PONTLET);
    for (const std::string& a : args)
        line += " " + ShellQuote(a);
    return line;
}

// Runs the tool through the shell, as from a script where no display opens
// (a hidden transfer's report box would wait for a click); `wrap` puts
// something around it ("setpriv ... %s"), where %s stands for the tool's
// command line.
Result Pontlet(const std::vector<std::string>& args, const std::string& wrap = "%s")
{
    const fs::path err = Fresh("stderr") / "err";
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + wrap;
    if (const auto at = command.find("%s"); at != std::string::npos)
        command.replace(at, 2, Quoted(args));
    const CommandOutput run = RunCommand(command + " 2>" + ShellQuote(err.string()));
    return {run.status, run.text, Slurp(err)};
}

std::vector<std::string> Auto(const fs::path& from, const fs::path& to, std::vector<std::string> more)
{
    std::vector<std::string> args = {"-ServerPath", from.string() + "/", "-ClientPath", to.string() + "/",
                                      "-Server2Client"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(PontletProcess, ExitCodesAndStreams)
{
    const fs::path from = Fresh("p-from"), to = Fresh("p-to");
    Put(from / "a", "new");
    Put(to / "a", "old");
    fs::last_write_time(to / "a", fs::last_write_time(from / "a") - std::chrono::hours(1));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;  // a part of standard output
        std::string err;  // a part of standard error ("" for none at all)
    };
    const Case cases[] = {
        {{"--help"}, 0, "  --dry-run", ""},
        {{"--version"}, 0, "pontlet " QUILLON_VERSION "\n", ""},
        {{"-ServerPath", "/s/", "-bogus"}, 2, "", "unknown argument '-bogus'"},
        {{"-ServerPath", "/", "-ClientPath", to.string(), "-Server2Client", "-hide"}, 2, "", "root folder"},
        {{"-ServerPath", "srv", "-ClientPath", to.string(), "-Server2Client", "-hide"}, 2, "", "not an absolute"},
        {Auto(from, from / "in", {"-hide"}), 2, "", "lies inside the server folder"},
        {Auto(from, to, {"-hide", "--dry-run"}), 1, "skip a\n", "kept, differs and no rule says to replace it"},
        {Auto(from, to, {"--dry-run", "-overwrite"}), 0, "overwrite a\n", ""},
        {Auto(from, to, {"-hide"}), 1, "", "kept, differs and no rule says to replace it: " + from.string() + "/a"},
        {Auto(from, to, {"-hide", "-skip"}), 0, "", ""},
        {Auto(from, to, {"-hide", "-overwrite"}), 0, "", ""},
    };
    for (const Case& c : cases) {
        const Result r = Pontlet(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << r.err;
        EXPECT_TRUE(Contains(r.out, c.out)) << c.args.back() << ": " << r.out;
        EXPECT_TRUE(!c.err.empty() ? Contains(r.err, c.err) : r.err.empty()) << c.args.back() << ": " << r.err
                                                                            << " expected " << c.err;
    }
    EXPECT_EQ(Slurp(to / "a"), "new") << "only the last case replaced it";
    EXPECT_FALSE(fs::exists(from / "in"));
}

TEST(PontletProcess, WhatAnotherUserCannotReadIsNamedAndNotCopied)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "changing credentials needs root";
    const fs::path from = Fresh("u-from"), to = Fresh("u-to");
    Put(from / "readable", "for all");
    Put(from / "secret", "root only");
    Put(from / "locked" / "inside", "root only");
    fs::permissions(from / "secret", fs::perms(0600));
    fs::permissions(from / "locked", fs::perms(0700));
    fs::permissions(to, fs::perms(0777));
    const Result r = Pontlet(Auto(from, to, {"-hide", "-overwrite"}),
                             "setpriv --reuid=65534 --regid=65534 --clear-groups %s");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, from.string() + "/secret: cannot read: Permission denied")) << r.err;
    EXPECT_TRUE(Contains(r.err, from.string() + "/locked: cannot read the folder: Permission denied")) << r.err;
    EXPECT_EQ(Names(to), std::vector<std::string>{"readable"}) << "no empty stand-in for the locked folder";
}

TEST(PontletProcess, AFullTargetKeepsTheOldFileWhole)
{
    const fs::path from = Fresh("full-from"), dir = Fresh("full-to");
    Put(from / "big", std::string(3 << 20, 'n'));
    const bool tmpfs = ::geteuid() == 0 && RunCommand("unshare --mount true 2>/dev/null").status == 0;
    struct Case {
        bool usable;
        const char* runner;
        const char* makeRoom;  // leaves 1 MiB for "$T"
        const char* reason;
    };
    const Case cases[] = {
        {tmpfs, "unshare --mount sh", "mount -t tmpfs -o size=1m tmpfs \"$T\" || exit 9", "No space left on device"},
        {true, "sh", "ulimit -f 2048", "File too large"},  // 512-byte blocks
    };
    for (const Case& c : cases) {
        if (!c.usable)
            continue;
        const fs::path script = Fresh("full-script") / "run.sh";
        Put(script, "T=" + ShellQuote(dir.string()) + "\n" + c.makeRoom + "\nprintf old > \"$T/big\"\n" +
                        Quoted({"-ServerPath", from.string(), "-ClientPath", dir.string(), "-Server2Client",
                                "-overwrite", "-hide"}) +
                        "\necho \"rc=$?\"; cat \"$T/big\"; echo; ls -A \"$T\"\n");
        const Result r = Pontlet({}, std::string(c.runner) + " " + ShellQuote(script.string()));
        EXPECT_EQ(r.out, "rc=1\nold\nbig\n") << c.reason << ": " << r.err;
        EXPECT_TRUE(Contains(r.err, "cannot write " + dir.string() + "/big: " + c.reason)) << r.err;
    }
}

TEST(PontletProcess, InterruptedCopiesLeaveNoHalfFileUnderARealName)
{
    const fs::path from = Fresh("int-from");
    for (int i = 0; i < 3000; ++i)
        Put(from / ("d" + std::to_string(i % 30)) / ("f" + std::to_string(i)), std::string(4096 + i, 'x'));
    struct Case {
        int signal;
        int expected;  // exit code; -1 for ended by the signal
    };
    for (const Case c : {Case{SIGTERM, 3}, Case{SIGINT, 3}, Case{SIGKILL, -1}}) {
        const fs::path to = Fresh("int-to");
        Put(to / "d0" / "f0", "the old file");
        const std::vector<std::string> args = Auto(from, to, {"-overwrite", "-hide"});
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::vector<char*> argv = {const_cast<char*>(QUILLON_PONTLET)};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        // Once the copy is under way, hold it, signal it, let it go on.
        while (!fs::exists(to / "d0" / "f30") && !fs::exists(to / "d1"))
            std::this_thread::yield();
        ::kill(pid, SIGSTOP);
        ::kill(pid, c.signal);
        ::kill(pid, SIGCONT);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.expected) << c.signal;

        std::size_t copied = 0, leftovers = 0;
        for (const auto& e : fs::recursive_directory_iterator(to)) {
            if (e.is_directory())
                continue;
            const std::string name = e.path().filename().string();
            if (name.rfind(".pontlet-", 0) == 0) {
                ++leftovers;
                continue;
            }
            const std::string content = Slurp(e.path());
            EXPECT_TRUE(content == "the old file" || content == Slurp(from / e.path().lexically_relative(to)))
                << e.path();
            ++copied;
        }
        EXPECT_LT(copied, 3000u) << c.signal << ": stopped before the end";
        EXPECT_TRUE(c.signal == SIGKILL || leftovers == 0) << "cleaned up when asked to stop";
        EXPECT_LE(leftovers, 1u) << "at most the one file being written when killed";
    }
}

namespace {

// Whether the process catches SIGTERM yet (its handler is in place).
bool CatchesTerm(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

// Whether the process waits in its event loop, a box or window up.
bool Sleeping(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = all.rfind(')');
    return close != std::string::npos && all.size() > close + 2 && all[close + 2] == 'S';
}

} // namespace

TEST(PontletProcess, OneStopSignalEndsItWithThreeWhateverIsOnScreen)
{
    const fs::path from = Fresh("stop-from"), to = Fresh("stop-to");
    struct Case {
        std::vector<std::string> args;  // with a window: the refusal box, the manual window
        bool waitForTheLoop;            // signal once it waits for the user, else as soon as it listens
    };
    const std::vector<std::string> refused = {"-ServerPath", "/", "-ClientPath", to.string(), "-Server2Client"};
    const std::vector<std::string> manual = {"-SetServerFileList", "Docs;" + from.string()};
    for (const Case& c : {Case{refused, false}, Case{refused, true}, Case{manual, false}, Case{manual, true}}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::vector<char*> argv = {const_cast<char*>(QUILLON_PONTLET)};
            for (const std::string& a : c.args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::freopen("/dev/null", "w", stderr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        bool ended = false;
        while (!(ended = ::waitpid(pid, &status, WNOHANG) == pid) &&
               (!CatchesTerm(pid) || (c.waitForTheLoop && !Sleeping(pid))))
            std::this_thread::yield();
        if (!ended)
            ::kill(pid, SIGTERM);
        // A box that ignores the signal would wait for ever: a hang ends as a kill.
        for (int polls = 0; !ended && ::waitpid(pid, &status, WNOHANG) == 0; ++polls) {
            if (polls == 3000)
                ::kill(pid, SIGKILL);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 3) << c.args.front() << " " << c.waitForTheLoop;
    }
}
