#include <gtest/gtest.h>

#include "platform/probe.h"
#include "transfer/connect_plan.h"

namespace {

CTSAppDataItem Location(std::u16string server, std::u16string client, std::int32_t action, bool hide = false)
{
    CTSAppDataItem item;
    item.m_strServerLocation = std::move(server);
    item.m_strClientLocation = std::move(client);
    item.m_bSyncEnabled = 1;
    item.m_nConnectAction = action;
    item.m_nOverwriteMode = kOverwriteAlways;
    item.m_bHideTransferWindow = hide;
    return item;
}

} // namespace

TEST(ConnectPlan, TransfersWithNothingToCopyAreSkippedWithTheReason)
{
    probe::ScopedEnv longName("QUILLON_PLAN_LONG", std::string(520, 'x'));
    probe::ScopedEnv empty("QUILLON_PLAN_EMPTY", "");
    struct Case {
        const char16_t* server;
        const char16_t* client;
        const char* reason;
    };
    const Case cases[] = {
        {u"/srv/docs", u"/c", ""},
        {u"%QUILLON_PLAN_UNSET%", u"/c", ""},  // stays as written: the tool refuses it as relative
        {u"", u"/c", "no server folder"},
        {u"/%QUILLON_PLAN_LONG%", u"/c", "the server folder is longer than 519 characters once expanded"},
        {u"%QUILLON_PLAN_EMPTY%", u"/c", "the server folder expands to nothing"},
        {u"/srv/docs", u"", "no client folder"},
    };
    for (const Case& c : cases) {
        const auto plan = transfer::ConnectPlan({Location(c.server, c.client, kConnectServerMaster)});
        ASSERT_EQ(plan.size(), 2u);
        for (const transfer::AutoLaunch& launch : plan) {
            EXPECT_EQ(launch.skipReason, c.reason);
            EXPECT_EQ(launch.Starts(), !*c.reason);
        }
        CTSAppDataItem manual = Location(c.server, c.client, 0);
        EXPECT_EQ(transfer::ManualTransferSkipReason(manual).empty(), !*c.reason || !*c.client)
            << "a manual transfer needs no client folder";
    }
}

TEST(ConnectPlan, EveryLocationsLaunchesInOrder)
{
    const auto plan = transfer::ConnectPlan({Location(u"/s1", u"/c1", kConnectClientMaster, true),
                                             Location(u"/s2", u"/c2", kConnectNone),
                                             Location(u"/s3", u"/c3", kConnectUpdateClient)});
    ASSERT_EQ(plan.size(), 3u);
    auto row = [](const transfer::AutoLaunch& l) {
        return std::make_tuple(l.serverPath, l.clientPath, l.serverToClient, l.overwriteMode, l.hide);
    };
    EXPECT_EQ(row(plan[0]), std::make_tuple(std::u16string(u"/s1"), std::u16string(u"/c1"), false,
                                            kOverwriteIfDifferent, true));
    EXPECT_EQ(row(plan[1]), std::make_tuple(std::u16string(u"/s1"), std::u16string(u"/c1"), true, kOverwriteSkip, true));
    EXPECT_EQ(row(plan[2]), std::make_tuple(std::u16string(u"/s3"), std::u16string(u"/c3"), true, kOverwriteAlways,
                                            false));
}
