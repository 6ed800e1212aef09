#include "browser/examiner.h"
#include "browser/read_pool.h"

#include <gtest/gtest.h>

#include "fake_folder_lister.h"
#include "gate.h"
#include "support/test_application.h"

namespace {

using namespace std::chrono_literals;
using browser::Examiner;
using browser::ReadPool;
using browsertest::FakeClock;
using browsertest::Gate;
using browsertest::WaitFor;

TEST(ReadPool, AHungShareHoldsOnlyItsOwnReadsAndReplacementsStopAtTheCap)
{
    FakeClock clock;
    auto pool = ReadPool::create({.threads = 2, .perShare = 2, .hardCap = 4, .maxQueued = 256, .hangAfter = 1000ms,
                                  .now = clock.Now()});
    Gate dead, slow;
    std::atomic<int> done{0};
    for (int i = 0; i < 5; ++i)
        pool->submit({nullptr, "/dead", [&] { dead.Pass(); }, {}});
    ASSERT_TRUE(WaitFor([&] { return dead.Inside() == 2; }));  // no more of one share at once
    pool->submit({nullptr, "/live", [&] { ++done; }, {}});
    EXPECT_EQ(pool->threadsStarted(), 2);  // both busy, not hung yet: it waits
    clock.Advance(1000ms);
    pool->check();
    ASSERT_TRUE(WaitFor([&] { return done == 1; }));
    EXPECT_EQ(pool->threadsStarted(), 3);
    // Two more hang elsewhere; then the cap holds every further read back.
    for (int i = 0; i < 4; ++i)
        pool->submit({nullptr, QString("/slow%1").arg(i), [&] { slow.Pass(); }, {}});
    ASSERT_TRUE(WaitFor([&] { return slow.Inside() == 2; }));
    clock.Advance(1000ms);
    pool->submit({nullptr, "/live", [&] { ++done; }, {}});
    pool->check();
    EXPECT_EQ(dead.Inside() + slow.Inside(), 4);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(pool->waiting(), 6u);  // three of /dead, two of /slow, one of /live
    // Forgotten reads never run; the others do once the shares answer.
    pool->submit({&done, "/live", [&] { done += 100; }, {}});
    pool->cancel(&done);
    dead.Open();
    slow.Open();
    ASSERT_TRUE(WaitFor([&] { return done == 2 && pool->waiting() == 0 && dead.Inside() + slow.Inside() == 0; }));
    EXPECT_LE(pool->threadsStarted(), 5);
}

TEST(Examiner, AHungJobRefusesItsShareHandsOthersToOneFreshThreadAndStopsAtTheCap)
{
    testsupport::TestApplication();
    FakeClock clock;
    Examiner examiner({.hangAfter = 1000ms, .maxAbandoned = 1, .now = clock.Now()});
    Gate dead;
    std::atomic<int> ran{0};
    int refused = 0;
    auto hang = [&](const Examiner::Alive&) { dead.Pass(); };
    auto quick = [&](const Examiner::Alive&) { ++ran; };
    auto refuse = [&] { ++refused; };
    examiner.run("/dead", hang, refuse);
    ASSERT_TRUE(WaitFor([&] { return dead.Inside() == 1; }));
    examiner.run("/dead", hang, refuse);  // waits behind it: not hung yet
    clock.Advance(1000ms);
    for (int click = 0; click < 10; ++click)
        examiner.run("/dead", hang, refuse);
    ASSERT_TRUE(WaitFor([&] { return refused == 12; }));  // the clicks, the one behind, the hung one
    EXPECT_EQ(dead.Inside(), 1);
    EXPECT_EQ(examiner.threadsStarted(), 1);
    EXPECT_TRUE(examiner.hangsOn("/dead"));
    // Another share is served by one fresh thread.
    examiner.run("/live", quick, refuse);
    ASSERT_TRUE(WaitFor([&] { return ran == 1; }));
    EXPECT_EQ(examiner.threadsStarted(), 2);
    // The second hang reaches the cap: nothing starts another thread.
    examiner.run("/dead2", hang, refuse);
    ASSERT_TRUE(WaitFor([&] { return dead.Inside() == 2; }));
    clock.Advance(1000ms);
    examiner.run("/third", quick, refuse);
    ASSERT_TRUE(WaitFor([&] { return refused == 14; }));
    EXPECT_EQ(examiner.threadsStarted(), 2);
    // Once the shares answer, work goes on.
    dead.Open();
    ASSERT_TRUE(WaitFor([&] { return dead.Inside() == 0 && !examiner.hangsOn("/dead") && !examiner.hangsOn("/dead2"); }));
    examiner.run("/dead", quick, refuse);
    ASSERT_TRUE(WaitFor([&] { return ran == 2; }));
    EXPECT_EQ(refused, 14);
}

} // namespace
