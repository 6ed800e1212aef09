#include "accounts/profile.h"

#include "support/fake_account_services.h"

#include <gtest/gtest.h>

namespace {

using accounts::FakeAccountServices;
using accounts::NetManagement;
using accounts::ProfileMatch;
using accounts::ResolveProfile;

CTSUserData Configuration(std::initializer_list<std::pair<const char16_t*, std::int32_t>> entries)
{
    CTSUserData data;
    for (auto [name, type] : entries) {
        CTSUserDataItem* e = data.Add(name, type, false);
        CTSAppDataItem location;
        location.m_strName = name;
        e->m_locations.Add(location, false);
    }
    return data;
}

TEST(ResolveProfile, OwnEntryWinsOverGroupsAndGroupsAreNotAsked)
{
    auto fake = FakeAccountServices::Local("SERVER1", "anna", {"Users"});
    CTSUserData data = Configuration({{u"SERVER1\\Users", 2}, {u"server1\\ANNA", 1}});
    NetManagement net({}, fake);

    auto profile = ResolveProfile(data, net);
    EXPECT_EQ(profile.matchedBy, ProfileMatch::Account);
    EXPECT_EQ(profile.entry, &data.GetAt(1));  // found without regard to case
    EXPECT_TRUE(fake.groupQueries.empty());
    EXPECT_EQ(data.GetSize(), 2u);
}

TEST(ResolveProfile, FirstGroupInLookupOrderThatHasAnEntry)
{
    auto fake = FakeAccountServices::Local("SERVER1", "anna", {"Users", "Sales", "Staff"});
    // File order differs from lookup order: lookup order decides.
    CTSUserData data = Configuration({{u"SERVER1\\Staff", 2}, {u"SERVER1\\Sales", 2}});
    NetManagement net({}, fake);

    auto profile = ResolveProfile(data, net);
    EXPECT_EQ(profile.matchedBy, ProfileMatch::Group);
    EXPECT_EQ(profile.entry->m_strName, u"SERVER1\\Sales");
    EXPECT_EQ(data.GetSize(), 2u);
}

TEST(ResolveProfile, NoEntryAddsAnEmptyUserEntry)
{
    auto fake = FakeAccountServices::Domain("CORP", "SERVER1", "anna", {"Domain Users"}, {"Users"});
    // Local group memberships of a domain account do not count.
    CTSUserData data = Configuration({{u"SERVER1\\Users", 2}});
    CTSUserDataItem* before = &data.GetAt(0);
    NetManagement net({}, fake);

    auto profile = ResolveProfile(data, net);
    EXPECT_EQ(profile.matchedBy, ProfileMatch::New);
    ASSERT_EQ(data.GetSize(), 2u);
    EXPECT_EQ(profile.entry, &data.GetAt(1));
    EXPECT_EQ(profile.entry->m_strName, u"CORP\\anna");
    EXPECT_EQ(profile.entry->m_nType, kEntryUser);
    EXPECT_EQ(profile.entry->m_locations.GetSize(), 0u);
    EXPECT_EQ(profile.entry->m_script, CTSUserScriptItem());
    EXPECT_EQ(&data.GetAt(0), before);

    // Resolving again finds the entry just added.
    auto again = ResolveProfile(data, net);
    EXPECT_EQ(again.entry, profile.entry);
    EXPECT_EQ(again.matchedBy, ProfileMatch::Account);
}

TEST(ResolveProfile, UnknownAccountGetsAnEntryWithTheEmptyName)
{
    FakeAccountServices fake;  // every query fails
    fake.localStatus = fake.globalStatus = platform::kAccountUserNotFound;
    CTSUserData data = Configuration({{u"SERVER1\\Users", 2}});
    NetManagement net({}, fake);

    auto profile = ResolveProfile(data, net);
    EXPECT_EQ(profile.matchedBy, ProfileMatch::New);
    EXPECT_EQ(profile.entry->m_strName, u"");
    EXPECT_EQ(data.GetSize(), 2u);
}

TEST(ResolveProfile, WithKnownAccountAndGroups)
{
    NetManagement::NetItemList groups(2);
    groups[0].name = u"CORP\\Staff";
    groups[1].name = u"CORP\\Domain Users";
    CTSUserData data = Configuration({{u"corp\\domain users", 2}});

    auto profile = ResolveProfile(data, u"CORP\\anna", groups);
    EXPECT_EQ(profile.matchedBy, ProfileMatch::Group);
    EXPECT_EQ(profile.entry, &data.GetAt(0));

    CTSUserData empty;
    profile = ResolveProfile(empty, u"CORP\\anna", {});
    EXPECT_EQ(profile.matchedBy, ProfileMatch::New);
    EXPECT_EQ(empty.GetSize(), 1u);
}

} // namespace
