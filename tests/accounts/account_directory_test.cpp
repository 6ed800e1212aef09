#include "accounts/account_directory.h"

#include "support/fake_account_services.h"
#include "accounts/net_management.h"

#include <gtest/gtest.h>

namespace {

using accounts::AccountDirectory;
using accounts::PickedObject;
using Kind = platform::AccountRecord::Kind;

TEST(AccountDirectory, ObjectsCarryPathSidAndDescription)
{
    const std::pair<platform::AccountRecord, PickedObject> cases[] = {
        {{Kind::User, "anna", "SERVER1", "Anna Berg", 1000},
         {u"anna", u"user", u"WinNT://SERVER1/anna", u"", u"Anna Berg", u"S-1-22-1-1000"}},
        {{Kind::User, "bob", "CORP", "", 4294967294u},
         {u"bob", u"user", u"WinNT://CORP/bob", u"", std::nullopt, u"S-1-22-1-4294967294"}},
        {{Kind::Group, "staff", "SERVER1", "ignored", 50},
         {u"staff", u"group", u"WinNT://SERVER1/staff", u"", std::nullopt, u"S-1-22-2-50"}},
    };
    for (const auto& [record, expected] : cases)
        EXPECT_EQ(AccountDirectory::ToPickedObject(record), expected) << record.name;
}

TEST(AccountDirectory, EnumeratesAndLooksUpTypedNames)
{
    accounts::FakeAccountServices fake;
    fake.accounts = {{Kind::User, "anna", "SERVER1", "", 1000}, {Kind::Group, "anna", "SERVER1", "", 1000},
                     {Kind::Group, "staff", "SERVER1", "", 50}};
    AccountDirectory directory(fake);

    auto all = directory.Enumerate();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].className, u"user");
    EXPECT_EQ(all[2].name, u"staff");

    auto found = directory.Lookup(u"  anna\t");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].className, u"user");
    EXPECT_EQ(found[1].className, u"group");
    EXPECT_EQ(directory.Lookup(u"SERVER1\\staff").size(), 1u);
    EXPECT_TRUE(directory.Lookup(u"   ").empty());
    EXPECT_TRUE(directory.Lookup(u"nobody-here").empty());
}

// What an administrator picks must be spelled as the lookup names the user
// at logon, or the user would never find their entry.
TEST(AccountDirectory, PickedEntryNamesMatchTheGroupLookup)
{
    auto fake = accounts::FakeAccountServices::Local("SERVER1", "anna", {"staff"});
    fake.accounts = {{Kind::User, "anna", "SERVER1", "", 1000}, {Kind::Group, "staff", "SERVER1", "", 50}};
    accounts::CObjectPicker picker;
    picker.Init(accounts::CObjectPicker::kModeUsersAndGroups);
    picker.ProcessSelections(AccountDirectory(fake).Enumerate());

    accounts::NetManagement net({}, fake);
    std::u16string account;
    net.GetCurrentAccountName(account);
    accounts::NetManagement::NetItemList groups;
    net.GetUserGroups(groups);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(accounts::EntryForSelection(picker.m_selections.at(0)).name, account);
    EXPECT_EQ(accounts::EntryForSelection(picker.m_selections.at(1)).name, groups[0].name);
}

} // namespace
