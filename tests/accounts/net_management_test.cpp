#include "accounts/net_management.h"

#include "support/fake_account_services.h"

#include <gtest/gtest.h>

namespace {

using accounts::FakeAccountServices;
using accounts::NetManagement;
using platform::GroupScope;
using Query = FakeAccountServices::GroupQuery;

std::vector<std::u16string> Names(const NetManagement::NetItemList& list)
{
    std::vector<std::u16string> names;
    for (const auto& item : list) {
        EXPECT_EQ(item.type, NetManagement::NetItem::kGroup);
        EXPECT_TRUE(item.extra.empty());
        names.push_back(item.name);
    }
    return names;
}

// A list holding something, to see that each query starts afresh.
NetManagement::NetItemList Stale()
{
    NetManagement::NetItem item;
    item.name = u"stale";
    return {item};
}

TEST(NetManagement, LocalAccountGetsLocalGroupsInPlatformOrder)
{
    auto fake = FakeAccountServices::Local("SERVER1", "anna", {"Users", "Administrators"});
    fake.globalGroups = {"Domain Users"};
    NetManagement net({}, fake);

    std::u16string account;
    ASSERT_EQ(net.GetCurrentAccountName(account), 1);
    EXPECT_EQ(account, u"SERVER1\\anna");

    auto list = Stale();
    EXPECT_EQ(net.GetUserGroups(list), 2);
    EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"SERVER1\\Users", u"SERVER1\\Administrators"}));
    EXPECT_EQ(fake.groupQueries, (std::vector<Query>{{"", "anna", GroupScope::Local}}));
    EXPECT_TRUE(fake.dcQueries.empty());
}

TEST(NetManagement, DomainAccountGetsOnlyGlobalGroups)
{
    auto fake = FakeAccountServices::Domain("CORP", "SERVER1", "anna", {"Domain Users", "Staff"}, {"Users"});
    NetManagement net({}, fake);

    auto list = Stale();
    EXPECT_EQ(net.GetUserGroups(list), 2);
    EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"CORP\\Domain Users", u"CORP\\Staff"}));
    // No controller found: asked for the domain, then again when the query
    // needs a server; the query then goes to the local computer.
    EXPECT_EQ(fake.dcQueries, (std::vector<std::string>{"CORP", "CORP"}));
    EXPECT_EQ(fake.groupQueries, (std::vector<Query>{{"", "anna", GroupScope::Global}}));
}

TEST(NetManagement, FoundControllerAnswersTheGlobalQueryAndIsKept)
{
    auto fake = FakeAccountServices::Domain("CORP", "SERVER1", "anna", {"Domain Users"});
    fake.dcStatus = platform::kAccountOk;
    fake.dcName = "\\\\DC1";
    NetManagement net({}, fake);

    NetManagement::NetItemList list;
    net.GetUserGroups(list);
    EXPECT_EQ(net.dcName, u"\\\\DC1");
    EXPECT_EQ(fake.dcQueries, (std::vector<std::string>{"CORP"}));
    EXPECT_EQ(fake.groupQueries, (std::vector<Query>{{"\\\\DC1", "anna", GroupScope::Global}}));

    // An explicit server is used as given.
    net.GetGlobalGroups(u"bob", list, u"\\\\DC2");
    EXPECT_EQ(fake.groupQueries.back(), (Query{"\\\\DC2", "bob", GroupScope::Global}));
    EXPECT_EQ(fake.dcQueries.size(), 1u);
}

TEST(NetManagement, DomainDifferingFromComputerOnlyInCaseIsADomain)
{
    auto fake = FakeAccountServices::Domain("server1", "SERVER1", "anna", {"Staff"}, {"Users"});
    NetManagement net({}, fake);
    NetManagement::NetItemList list;
    EXPECT_EQ(net.GetUserGroups(list), 1);
    EXPECT_EQ(Names(list), std::vector<std::u16string>{u"server1\\Staff"});
    EXPECT_EQ(fake.groupQueries.at(0).scope, GroupScope::Global);
}

TEST(NetManagement, EmptyDomainStillGetsTheBackslash)
{
    auto fake = FakeAccountServices::Domain("", "SERVER1", "anna", {"Staff", "Sales"});
    NetManagement net({}, fake);
    NetManagement::NetItemList list;
    EXPECT_EQ(net.GetUserGroups(list), 2);
    EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"\\Staff", u"\\Sales"}));
}

TEST(NetManagement, NullNamesStillGiveRecords)
{
    auto fake = FakeAccountServices::Local("SERVER1", "anna", {"Users", std::nullopt, "Staff"});
    NetManagement net({}, fake);
    NetManagement::NetItemList list;
    EXPECT_EQ(net.GetUserGroups(list), 3);
    EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"SERVER1\\Users", u"SERVER1\\", u"SERVER1\\Staff"}));
}

TEST(NetManagement, FailedGroupQueryLeavesAnEmptyListAndLaterCallsWork)
{
    auto fake = FakeAccountServices::Domain("CORP", "SERVER1", "anna", {"Domain Users"});
    for (int status : {int(platform::kAccountUserNotFound), 53, -1}) {
        fake.globalStatus = status;
        NetManagement net({}, fake);
        auto list = Stale();
        EXPECT_EQ(net.GetUserGroups(list), 0) << status;
        EXPECT_TRUE(list.empty()) << status;
        EXPECT_EQ(net.GetGlobalGroups(u"anna", list, {}), status);
    }
    // "More data" still delivers what was read.
    fake.globalStatus = platform::kAccountMoreData;
    NetManagement net({}, fake);
    NetManagement::NetItemList list;
    EXPECT_EQ(net.GetUserGroups(list), 1);
    fake.globalStatus = platform::kAccountOk;
    EXPECT_EQ(net.GetUserGroups(list), 1);
}

TEST(NetManagement, FailedAccountLookupLeavesTheNameUntouched)
{
    FakeAccountServices fake;
    fake.computerName = "SERVER1";
    fake.globalStatus = platform::kAccountUserNotFound;  // an empty user is nobody
    NetManagement net({}, fake);

    std::u16string out = u"kept";
    EXPECT_EQ(net.GetCurrentAccountName(out), 0);
    EXPECT_EQ(net.GetCurrentDomainName(out), 0);
    EXPECT_EQ(net.GetCurrentUserName(out), 0);
    EXPECT_EQ(out, u"kept");

    // Empty domain and user: seen as a domain account of the primary domain.
    NetManagement::NetItemList list;
    EXPECT_EQ(net.GetUserGroups(list), 0);
    EXPECT_EQ(fake.dcQueries.front(), "");
    EXPECT_EQ(fake.groupQueries, (std::vector<Query>{{"", "", GroupScope::Global}}));
}

TEST(NetManagement, DomainControllerLookups)
{
    auto fake = FakeAccountServices::Local("SERVER1", "anna", {});
    {
        NetManagement net({}, fake);  // an empty domain asks nothing
        EXPECT_TRUE(fake.dcQueries.empty());
        // A local account asks for the primary domain's controller.
        EXPECT_TRUE(net.GetDCName().empty());
        EXPECT_EQ(fake.dcQueries, std::vector<std::string>{""});
    }
    fake.dcStatus = platform::kAccountOk;
    fake.dcName = "\\\\DC1";
    NetManagement net(u"CORP", fake);
    EXPECT_EQ(net.dcName, u"\\\\DC1");
    EXPECT_EQ(net.GetDCName(), u"\\\\DC1");  // cached: no further query
    EXPECT_EQ(fake.dcQueries, (std::vector<std::string>{"", "CORP"}));

    // A failed lookup keeps the previous controller.
    fake.dcStatus = platform::kAccountDCNotFound;
    EXPECT_EQ(net.LookupDCName(u"OTHER"), platform::kAccountDCNotFound);
    EXPECT_EQ(net.dcName, u"\\\\DC1");
}

TEST(NetManagement, NonAsciiNamesSurviveTheRoundTrip)
{
    auto fake = FakeAccountServices::Local("SERVER1", "J\xC3\xBCrgen", {"Verk\xC3\xA4uf"});
    NetManagement net({}, fake);
    std::u16string account;
    net.GetCurrentAccountName(account);
    EXPECT_EQ(account, u"SERVER1\\J\u00FCrgen");
    NetManagement::NetItemList list;
    net.GetUserGroups(list);
    EXPECT_EQ(Names(list), std::vector<std::u16string>{u"SERVER1\\Verk\u00E4uf"});
    EXPECT_EQ(fake.groupQueries.at(0).user, "J\xC3\xBCrgen");
}

} // namespace
