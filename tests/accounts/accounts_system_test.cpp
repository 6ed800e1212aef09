// The account logic over this machine's real account services.
#include "accounts/account_directory.h"
#include "accounts/net_management.h"
#include "accounts/profile.h"

#include "config/text.h"
#include "platform/command_output.h"

#include <gtest/gtest.h>

namespace {

using accounts::NetManagement;

TEST(AccountsOnThisSystem, AccountAndGroupsAsIdSaysQualifiedWithTheComputer)
{
    auto services = platform::CreateSystemAccountServices();
    NetManagement net({}, *services);
    const std::string login = FirstLine(RunCommand("id -un").text);
    if (platform::CarriesDomain(login))
        GTEST_SKIP() << "a domain account runs the tests";

    std::u16string computer, account;
    ASSERT_EQ(net.GetLocalComputerName(computer), 1);
    ASSERT_EQ(net.GetCurrentAccountName(account), 1);
    EXPECT_EQ(account, computer + u'\\' + config::FromUtf8(login));

    NetManagement::NetItemList groups;
    std::vector<std::u16string> expected;
    for (const auto& g : Words(RunCommand("id -Gn " + ShellQuote(login)).text))
        expected.push_back(computer + u'\\' + config::FromUtf8(g));
    EXPECT_EQ(net.GetUserGroups(groups), static_cast<int>(expected.size()));
    std::vector<std::u16string> names;
    for (const auto& g : groups)
        names.push_back(g.name);
    EXPECT_EQ(names, expected);
}

TEST(AccountsOnThisSystem, PickingTheRunningAccountNamesItsProfile)
{
    auto services = platform::CreateSystemAccountServices();
    NetManagement net({}, *services);
    std::u16string account, user;
    ASSERT_EQ(net.GetCurrentAccountName(account), 1);
    ASSERT_EQ(net.GetCurrentUserName(user), 1);

    auto found = accounts::AccountDirectory(*services).Lookup(user);
    ASSERT_FALSE(found.empty());
    // The system's lookup would stop at the NUL and find the user all the same.
    EXPECT_TRUE(accounts::AccountDirectory(*services).Lookup(user + std::u16string(1, u'\0') + u"x").empty());
    accounts::CObjectPicker picker;
    picker.Init(accounts::CObjectPicker::kModeUsersAndGroups);
    picker.ProcessSelections({found.front()});
    const auto entry = accounts::EntryForSelection(picker.m_selections.at(0));
    EXPECT_EQ(entry.name, account);

    CTSUserData data;
    data.Add(entry.name, entry.type, true);
    auto profile = accounts::ResolveProfile(data, net);
    EXPECT_EQ(profile.matchedBy, accounts::ProfileMatch::Account);
    EXPECT_EQ(profile.entry, &data.GetAt(0));
}

} // namespace
