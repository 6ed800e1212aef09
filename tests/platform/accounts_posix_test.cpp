// The account services against the system's own tools, on this machine.
#include "platform/accounts.h"

#include "platform/command_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace {

using platform::AccountRecord;

std::unique_ptr<platform::AccountServices> System()
{
    return platform::CreateSystemAccountServices();
}

std::string Login()
{
    return FirstLine(RunCommand("id -un").text);
}

TEST(PosixAccounts, CurrentAccountIsIdUnOnThisComputer)
{
    auto s = System();
    std::string computer;
    ASSERT_TRUE(s->LocalComputerName(computer));
    EXPECT_EQ(computer, platform::ShortComputerName(FirstLine(RunCommand("hostname").text)));

    std::string domain, name, user;
    ASSERT_TRUE(s->LookupCurrentAccount(domain, name));
    EXPECT_EQ((platform::AccountName{domain, name}), platform::SplitLoginName(Login(), computer));
    ASSERT_TRUE(s->CurrentUserName(user));
    EXPECT_EQ(user, name);
}

TEST(PosixAccounts, LocalGroupsInTheOrderOfIdGn)
{
    auto s = System();
    const std::string login = Login();
    if (platform::CarriesDomain(login))
        GTEST_SKIP() << "a domain account runs the tests";
    std::vector<platform::GroupName> groups{std::string("stale")};
    ASSERT_EQ(s->UserGroups({}, login, platform::GroupScope::Local, groups), platform::kAccountOk);
    std::vector<std::string> names;
    for (const auto& g : groups)
        names.push_back(g.value_or("(none)"));
    EXPECT_EQ(names, Words(RunCommand("id -Gn " + ShellQuote(login)).text));

    // A local account belongs to no domain's groups.
    ASSERT_EQ(s->UserGroups({}, login, platform::GroupScope::Global, groups), platform::kAccountOk);
    EXPECT_TRUE(groups.empty());
}

TEST(PosixAccounts, UnknownUserHasNoGroups)
{
    auto s = System();
    std::vector<platform::GroupName> groups{std::string("stale")};
    for (const char* user : {"", "quillon-no-such-user"}) {
        EXPECT_EQ(s->UserGroups({}, user, platform::GroupScope::Local, groups), platform::kAccountUserNotFound);
        EXPECT_TRUE(groups.empty()) << user;
    }
}

TEST(PosixAccounts, NoDomainControllerToAsk)
{
    std::string dc = "kept";
    EXPECT_EQ(System()->FindDomainController("", dc), platform::kAccountDCNotFound);
    EXPECT_EQ(dc, "kept");
}

TEST(PosixAccounts, TypedNamesFindUserAndGroup)
{
    auto s = System();
    std::string computer;
    ASSERT_TRUE(s->LocalComputerName(computer));
    std::string lower = computer;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return char(std::tolower(c)); });

    const std::vector<AccountRecord> root{
        {AccountRecord::Kind::User, "root", computer, FirstLine(RunCommand("getent passwd root | cut -d: -f5 | cut -d, -f1").text), 0},
        {AccountRecord::Kind::Group, "root", computer, "", 0},
    };
    EXPECT_EQ(s->FindAccounts("root"), root);
    EXPECT_EQ(s->FindAccounts(computer + "\\root"), root);
    EXPECT_EQ(s->FindAccounts(lower + "\\root"), root);
    EXPECT_TRUE(s->FindAccounts("OTHERDOMAIN\\root").empty());
    EXPECT_TRUE(s->FindAccounts("quillon-no-such-user").empty());
    EXPECT_TRUE(s->FindAccounts("").empty());
}

TEST(PosixAccounts, EnumerationListsRegularUsersThenEveryGroup)
{
    const auto records = System()->EnumerateAccounts();
    auto firstGroup = std::find_if(records.begin(), records.end(),
                                   [](const AccountRecord& r) { return r.kind == AccountRecord::Kind::Group; });
    EXPECT_TRUE(std::all_of(firstGroup, records.end(),
                            [](const AccountRecord& r) { return r.kind == AccountRecord::Kind::Group; }));

    auto has = [&](AccountRecord::Kind kind, const std::string& name) {
        return std::any_of(records.begin(), records.end(),
                           [&](const AccountRecord& r) { return r.kind == kind && r.name == name; });
    };
    for (const auto& g : Words(RunCommand("getent group | cut -d: -f1").text))
        EXPECT_TRUE(has(AccountRecord::Kind::Group, g)) << g;
    const std::string regular = RunCommand("awk '/^UID_MIN/{a=$2} /^UID_MAX/{b=$2} END{print (a?a:1000), (b?b:60000)}' "
                                           "/etc/login.defs 2>/dev/null || echo 1000 60000").text;
    const auto bounds = Words(regular);
    ASSERT_EQ(bounds.size(), 2u);
    const std::string users = RunCommand("getent passwd | awk -F: '$3>=" + bounds[0] + " && $3<=" + bounds[1] +
                                         " {print $1}'").text;
    std::size_t expectedUsers = 0;
    for (const auto& u : Words(users)) {
        EXPECT_TRUE(has(AccountRecord::Kind::User, u)) << u;
        ++expectedUsers;
    }
    EXPECT_EQ(static_cast<std::size_t>(firstGroup - records.begin()), expectedUsers);
    EXPECT_FALSE(has(AccountRecord::Kind::User, "root"));
    EXPECT_FALSE(has(AccountRecord::Kind::User, "nobody"));
}

} // namespace
