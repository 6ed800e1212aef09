// Prints what the account services say about the running process, one
// "key=value" line each, for tests that start it with other credentials.
#include "platform/accounts.h"

#include <iostream>

int main()
{
    auto services = platform::CreateSystemAccountServices();
    std::string domain, name, user, computer;
    if (services->LookupCurrentAccount(domain, name))
        std::cout << "account=" << domain << '\\' << name << '\n';
    if (services->CurrentUserName(user))
        std::cout << "user=" << user << '\n';
    if (services->LocalComputerName(computer))
        std::cout << "computer=" << computer << '\n';
    std::vector<platform::GroupName> groups;
    std::cout << "status=" << services->UserGroups({}, user, platform::GroupScope::Local, groups) << '\n';
    for (const auto& g : groups)
        std::cout << "group=" << g.value_or("(none)") << '\n';
    const platform::RightsCheck rights = services->CheckAdministratorRights();
    std::cout << "rights=" << (!rights.ok ? "failed" : rights.granted ? "granted" : "denied") << '\n';
    return 0;
}
