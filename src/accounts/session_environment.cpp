#include "accounts/session_environment.h"

#include "config/text.h"
#include "platform/environment.h"

#include <memory>

namespace accounts {

namespace {

using Query = int (NetManagement::*)(std::u16string&);

void SetWhereMissing(const char* variable, NetManagement& net, Query query)
{
    auto current = platform::GetEnvVar(variable);
    if (current && !current->empty())
        return;
    std::u16string value;
    if ((net.*query)(value) && !value.empty())
        platform::SetEnvVar(variable, config::ToUtf8(value));
}

} // namespace

void SetSessionEnvironment(NetManagement& net)
{
    SetWhereMissing("USERNAME", net, &NetManagement::GetCurrentUserName);
    SetWhereMissing("USERDOMAIN", net, &NetManagement::GetCurrentDomainName);
    SetWhereMissing("COMPUTERNAME", net, &NetManagement::GetLocalComputerName);
}

void SetSessionEnvironment()
{
    std::unique_ptr<platform::AccountServices> services = platform::CreateSystemAccountServices();
    NetManagement net({}, *services);
    SetSessionEnvironment(net);
}

} // namespace accounts
