#include "platform/accounts.h"

#include <gtest/gtest.h>

using platform::AccountName;

namespace {

struct SplitCase {
    const char* login;
    AccountName expected;
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << '"' << c.login << '"';
}

class SplitLoginNameTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLoginNameTest, GivesDomainAndName)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(platform::SplitLoginName(c.login, "SERVER1"), c.expected) << c.login;
    const bool ownDomain = c.expected.domain != "SERVER1";
    EXPECT_EQ(platform::CarriesDomain(c.login), ownDomain) << c.login;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SplitLoginNameTest,
    testing::Values(SplitCase{"anna", {"SERVER1", "anna"}},                  // local account
                    SplitCase{"CORP\\anna", {"CORP", "anna"}},               // winbind
                    SplitCase{"corp\\anna", {"corp", "anna"}},               // kept as spelled
                    SplitCase{"anna@corp.example", {"CORP", "anna"}},        // sssd
                    SplitCase{"anna@Corp", {"CORP", "anna"}},
                    SplitCase{"domain users@corp.example", {"CORP", "domain users"}},
                    SplitCase{"CORP\\a@b.example", {"CORP", "a@b.example"}},  // backslash first
                    SplitCase{"a.b@x@corp.example", {"CORP", "a.b@x"}},     // the last @ splits
                    SplitCase{"CORP\\x\\y", {"CORP", "x\\y"}},
                    // Half forms carry no domain.
                    SplitCase{"\\anna", {"SERVER1", "\\anna"}}, SplitCase{"anna\\", {"SERVER1", "anna\\"}},
                    SplitCase{"@corp", {"SERVER1", "@corp"}}, SplitCase{"anna@", {"SERVER1", "anna@"}},
                    SplitCase{"anna@.example", {"SERVER1", "anna@.example"}},
                    SplitCase{"", {"SERVER1", ""}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return "Case" + std::to_string(info.index); });

TEST(ShortComputerName, FirstLabelUpperCaseAtMostFifteen)
{
    const std::pair<const char*, const char*> cases[] = {
        {"vm", "VM"},
        {"ts01.corp.example", "TS01"},
        {"Server-1", "SERVER-1"},
        {"averyveryverylonghostname", "AVERYVERYVERYLO"},
        {"abcdefghijklmnop.example", "ABCDEFGHIJKLMNO"},
        {"", ""},
    };
    for (auto [host, expected] : cases)
        EXPECT_EQ(platform::ShortComputerName(host), expected) << host;
}

TEST(IsAdministratorGroupName, OnlyTheThreeExactNames)
{
    for (const char* name : {"sudo", "wheel", "admin"})
        EXPECT_TRUE(platform::IsAdministratorGroupName(name)) << name;
    for (const char* name : {"Sudo", "WHEEL", "adm", "admins", "sudoers", "root", "", " sudo"})
        EXPECT_FALSE(platform::IsAdministratorGroupName(name)) << name;
}

TEST(SameDomain, IgnoresCaseOnly)
{
    EXPECT_TRUE(platform::SameDomain("corp", "CORP"));
    EXPECT_TRUE(platform::SameDomain("", ""));
    EXPECT_FALSE(platform::SameDomain("corp", "corp1"));
    EXPECT_FALSE(platform::SameDomain("corp", "c0rp"));
}

} // namespace
