#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <ostream>

#include "runner/task_running_dlg.h"
#include "runner_test_support.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

namespace {

using runnertest::ExecWatched;
using runnertest::Script;
using testsupport::ScriptedModalSeam;

// Sees the window-system calls the dialog makes.
class WatchedDlg : public CTaskRunningDlg {
public:
    using CTaskRunningDlg::CTaskRunningDlg;
    int flashes = 0;
    bool failTimers = false;

protected:
    void FlashWindow() override { ++flashes; }
    int CreateTimer(int ms) override { return failTimers ? 0 : CTaskRunningDlg::CreateTimer(ms); }
};

class TaskRunningDlgTest : public testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }

    void TearDown() override
    {
        // Nothing a test started may outlive it.
        for (int pid : started) {
            if (probe::IsAlive(pid))
                ::kill(pid, SIGKILL);
        }
    }

    // A program that runs until it is ended.
    CTSUserScriptItem Waiting(const std::u16string& name, std::int32_t timeout, bool canAbort)
    {
        return Script("/bin/sh", "-c \"exec sleep 300\"", name, timeout, canAbort);
    }

    probe::ScratchDir dir;
    std::filesystem::path out = dir / "report";
    probe::ScopedEnv probeOut{"PROBE_OUT", out.string()};
    std::vector<int> started;
};

TEST_F(TaskRunningDlgTest, LooksLikeItsTemplate)
{
    ScriptedModalSeam seam;
    CTaskRunningDlg dlg(seam, false);
    EXPECT_EQ(dlg.windowTitle(), "Running Task....");
    ASSERT_TRUE(dlg.EndTaskButton());
    EXPECT_EQ(dlg.EndTaskButton()->text(), "End Task");
    EXPECT_TRUE(dlg.EndTaskButton()->isDefault());
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint) << "no close box";
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize()) << "fixed size";
    EXPECT_TRUE(dlg.rect().contains(dlg.EndTaskButton()->geometry()));
    // Centred across, as 44 + 70 + 43 of 157 units puts it.
    EXPECT_NEAR(dlg.EndTaskButton()->geometry().center().x(), dlg.width() / 2, 3);
}

TEST_F(TaskRunningDlgTest, ProgramThatEndsClosesTheDialogAsSuccess)
{
    ScriptedModalSeam seam;
    QString finalTitle;
    seam.HandleDialog([&](QDialog& d) {
        int r = ExecWatched(d, [](CTaskRunningDlg&) {});
        finalTitle = d.windowTitle();
        return r;
    });
    CTaskRunningDlg dlg(seam, false);
    dlg.Init(Script(probe::ProbePath(), "", u"Logon", 5000, false));
    EXPECT_TRUE(dlg.RunAndWait());
    ASSERT_EQ(seam.Dialogs().size(), 1u);
    EXPECT_EQ(seam.Dialogs()[0].title, "Running Logon");
    EXPECT_EQ(finalTitle, "Terminating Logon");
    EXPECT_FALSE(dlg.IsRunning());
    EXPECT_FALSE(dlg.IsTimedOut());
    EXPECT_TRUE(seam.Messages().empty()) << "no termination was attempted";
}

// The countdown driven tick by tick: each tick counts 10 ms.
struct TickCase {
    const char16_t* name;
    std::int32_t timeout;
    int ticksBeforeTimeout;  // -1: never times out
};
void PrintTo(const TickCase& c, std::ostream* os)
{
    *os << (c.name[0] ? "named" : "unnamed") << "_timeout" << (c.timeout < 0 ? "Minus" : "") << std::abs(c.timeout);
}

class CountdownTest : public TaskRunningDlgTest, public testing::WithParamInterface<TickCase> {};

TEST_P(CountdownTest, TimesOutAfterTheRightTickAndThenFlashes)
{
    const TickCase& c = GetParam();
    const QString name = QString::fromUtf16(c.name);
    ScriptedModalSeam seam;
    seam.HandleDialog([&](QDialog& d) {
        auto& dlg = static_cast<WatchedDlg&>(d);
        started.push_back(dlg.ProcessId());
        EXPECT_EQ(dlg.windowTitle(), "Running " + name);
        EXPECT_FALSE(dlg.EndTaskButton()->isEnabled()) << "the user may not abort";
        EXPECT_EQ(dlg.TimerInterval(), 10);
        const int ticks = c.ticksBeforeTimeout < 0 ? 1000 : c.ticksBeforeTimeout - 1;
        for (int i = 0; i < ticks; ++i)
            dlg.OnTimer();
        EXPECT_EQ(dlg.windowTitle(), "Running " + name);
        EXPECT_FALSE(dlg.EndTaskButton()->isEnabled());
        if (c.ticksBeforeTimeout < 0) {
            EXPECT_FALSE(dlg.IsTimedOut());
            dlg.reject();
            return dlg.result();
        }
        dlg.OnTimer();  // time is up
        EXPECT_TRUE(dlg.IsTimedOut());
        EXPECT_EQ(dlg.windowTitle(), "Timeout Executing " + name);
        EXPECT_TRUE(dlg.EndTaskButton()->isEnabled()) << "enabled for everybody once the time is up";
        EXPECT_EQ(dlg.flashes, 0);
        EXPECT_EQ(dlg.TimerInterval(), 10);
        dlg.OnTimer();
        EXPECT_EQ(dlg.flashes, 1);
        EXPECT_EQ(dlg.TimerInterval(), 1000) << "flashes once a second from now on";
        dlg.OnTimer();
        EXPECT_EQ(dlg.flashes, 2);
        EXPECT_EQ(dlg.windowTitle(), "Timeout Executing " + name) << "announced once";
        dlg.EndTaskButton()->click();
        EXPECT_EQ(dlg.windowTitle(), "Terminating " + name);
        EXPECT_EQ(dlg.TimerInterval(), 0);
        return dlg.result();
    });
    WatchedDlg dlg(seam, false);
    dlg.Init(Waiting(std::u16string(c.name), c.timeout, false));
    EXPECT_EQ(dlg.IsTimed(), c.timeout != -1);
    const bool ok = dlg.RunAndWait();
    EXPECT_EQ(ok, c.ticksBeforeTimeout >= 0) << "End Task succeeds, a cancel does not";
    if (c.ticksBeforeTimeout >= 0) {
        EXPECT_FALSE(dlg.IsRunning());
        EXPECT_TRUE(probe::WaitFor([&] { return !probe::IsAlive(started.back()); }));
    }
}

INSTANTIATE_TEST_SUITE_P(Ticks, CountdownTest,
                         testing::Values(TickCase{u"Logon", 30, 3}, TickCase{u"", 30, 3}, TickCase{u"Logon", 25, 3},
                                         TickCase{u"Logon", 0, 1}, TickCase{u"Logon", 10, 1},
                                         TickCase{u"Logon", -1, -1},
                                         // Any other negative limit is a very long one.
                                         TickCase{u"Logon", -2, -1}));

TEST_F(TaskRunningDlgTest, EndTaskAvailabilityAtStart)
{
    struct Case {
        bool administrator;
        bool canAbort;
        bool enabled;
    };
    for (const Case c : {Case{false, false, false}, Case{false, true, true}, Case{true, false, true},
                         Case{true, true, true}}) {
        ScriptedModalSeam seam;
        bool enabled = !c.enabled;
        seam.HandleDialog([&](QDialog& d) {
            auto& dlg = static_cast<CTaskRunningDlg&>(d);
            started.push_back(dlg.ProcessId());
            enabled = dlg.EndTaskButton()->isEnabled();
            dlg.EndTaskButton()->click();
            return dlg.result();
        });
        CTaskRunningDlg dlg(seam, c.administrator);
        dlg.Init(Waiting(u"X", -1, c.canAbort));
        // Clicking a disabled button does nothing: the dialog is still open.
        const bool ok = dlg.RunAndWait();
        EXPECT_EQ(enabled, c.enabled) << c.administrator << c.canAbort;
        EXPECT_EQ(ok, c.enabled) << c.administrator << c.canAbort;
    }
}

TEST_F(TaskRunningDlgTest, ProgramEndingAtTheTimeoutTickStillSaysTerminating)
{
    ScriptedModalSeam seam;
    seam.HandleDialog([&](QDialog& d) {
        auto& dlg = static_cast<CTaskRunningDlg&>(d);
        const int pid = dlg.ProcessId();
        EXPECT_TRUE(probe::WaitFor([&] { return !probe::IsAlive(pid); }));
        dlg.OnTimer();
        EXPECT_EQ(dlg.windowTitle(), "Terminating Quick");
        EXPECT_FALSE(dlg.IsTimedOut());
        EXPECT_EQ(dlg.TimerInterval(), 0) << "no timer outlives the dialog";
        EXPECT_FALSE(probe::IsUncollectedChild(pid));
        return dlg.result();
    });
    CTaskRunningDlg dlg(seam, false);
    dlg.Init(Script(probe::ProbePath(), "", u"Quick", 10, false));
    EXPECT_TRUE(dlg.RunAndWait());
}

TEST_F(TaskRunningDlgTest, TimeoutForRealWithAFewTicks)
{
    ScriptedModalSeam seam;
    bool sawTimeout = false;
    bool disabledAtFirst = false;
    bool firstPoll = true;
    seam.HandleDialog([&](QDialog& d) {
        return ExecWatched(d, [&](CTaskRunningDlg& dlg) {
            if (firstPoll) {
                started.push_back(dlg.ProcessId());
                disabledAtFirst = !dlg.EndTaskButton()->isEnabled();
                firstPoll = false;
            }
            if (dlg.windowTitle() == "Timeout Executing Slow")
                sawTimeout = true;
            if (dlg.TimerInterval() == 1000 && dlg.EndTaskButton()->isEnabled())
                dlg.EndTaskButton()->click();
        });
    });
    CTaskRunningDlg dlg(seam, false);
    dlg.Init(Waiting(u"Slow", 40, false));
    EXPECT_TRUE(dlg.RunAndWait());
    EXPECT_TRUE(disabledAtFirst);
    EXPECT_TRUE(sawTimeout);
    ASSERT_FALSE(started.empty());
    EXPECT_TRUE(probe::WaitFor([&] { return !probe::IsUncollectedChild(started.back()); }));
}

TEST_F(TaskRunningDlgTest, EndTaskEndsTheProgramAndItsChildren)
{
    const auto pidFile = dir / "child";
    ScriptedModalSeam seam;
    int pid = 0;
    seam.HandleDialog([&](QDialog& d) {
        return ExecWatched(d, [&](CTaskRunningDlg& dlg) {
            pid = dlg.ProcessId();
            if (std::filesystem::exists(pidFile) && std::filesystem::file_size(pidFile) > 0)
                dlg.EndTaskButton()->click();
        });
    });
    CTaskRunningDlg dlg(seam, false);
    dlg.Init(Script("/bin/sh", "-c \"sleep 300 & echo $! > '" + pidFile.string() + "'; wait\"", u"Tree"));
    EXPECT_TRUE(dlg.RunAndWait());
    int child = 0;
    std::ifstream(pidFile) >> child;
    ASSERT_GT(child, 0);
    started.push_back(child);
    EXPECT_TRUE(probe::WaitFor([&] { return !probe::IsAlive(child); })) << "the child outlived End Task";
    EXPECT_TRUE(probe::WaitFor([&] { return !probe::IsUncollectedChild(pid); })) << "left a zombie";
    EXPECT_TRUE(seam.Messages().empty());
}

TEST_F(TaskRunningDlgTest, EscapeCancelsAndLeavesTheProgramRunning)
{
    ScriptedModalSeam seam;
    int pid = 0;
    seam.HandleDialog([&](QDialog& d) {
        return ExecWatched(d, [&](CTaskRunningDlg& dlg) {
            pid = dlg.ProcessId();
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&dlg, &escape);
        });
    });
    {
        CTaskRunningDlg dlg(seam, false);
        dlg.Init(Waiting(u"Kept", -1, false));
        EXPECT_FALSE(dlg.RunAndWait());
    }
    ASSERT_GT(pid, 0);
    started.push_back(pid);
    EXPECT_TRUE(probe::IsAlive(pid)) << "a cancel does not end the program";
    ::kill(pid, SIGKILL);
    EXPECT_TRUE(probe::WaitFor([&] { return !probe::IsUncollectedChild(pid); })) << "left a zombie";
}

TEST_F(TaskRunningDlgTest, TimerThatCannotBeSetIsReportedAndTheDialogWaits)
{
    ScriptedModalSeam seam;
    seam.AnswerMessage(framework::Answer::Ok);
    seam.HandleDialog([&](QDialog& d) {
        auto& dlg = static_cast<CTaskRunningDlg&>(d);
        started.push_back(dlg.ProcessId());
        EXPECT_EQ(dlg.TimerInterval(), 0);
        EXPECT_EQ(dlg.windowTitle(), "Running NoTimer");
        dlg.EndTaskButton()->click();
        return dlg.result();
    });
    WatchedDlg dlg(seam, true);
    dlg.failTimers = true;
    dlg.Init(Waiting(u"NoTimer", 100, false));
    EXPECT_TRUE(dlg.RunAndWait());
    ASSERT_EQ(seam.Messages().size(), 1u);
    EXPECT_EQ(seam.Messages()[0].text, "Error Setting Task Timer");
    EXPECT_TRUE(seam.Messages()[0].caption.isEmpty());
    EXPECT_EQ(seam.Messages()[0].buttons, framework::MessageButtons::Ok);
    EXPECT_EQ(seam.Messages()[0].owner, &dlg);
}

TEST_F(TaskRunningDlgTest, RunNoWaitStartsAndReturns)
{
    ScriptedModalSeam seam;
    CTaskRunningDlg dlg(seam, false);
    dlg.Init(Script(probe::ProbePath(), "a \"b c\"", u"Bg", 0, false, false));
    EXPECT_TRUE(dlg.RunNoWait());
    EXPECT_TRUE(seam.Dialogs().empty());
    ASSERT_TRUE(probe::WaitFor([&] { return std::filesystem::exists(out); }));
    auto r = probe::ReadReport(out);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->argv, (std::vector<std::string>{probe::ProbePath(), "a", "b c"}));
    EXPECT_TRUE(probe::WaitFor([&] { return !probe::IsUncollectedChild(r->pid); })) << "left a zombie";
}

} // namespace
