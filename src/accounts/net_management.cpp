#include "accounts/net_management.h"

#include "config/text.h"

namespace accounts {

using config::FromUtf8;
using config::ToUtf8;

NetManagement::NetManagement(const std::u16string& domain, platform::AccountServices& services)
    : m_services(services)
{
    if (!domain.empty())
        LookupDCName(domain);
}

int NetManagement::GetCurrentAccountName(std::u16string& out)
{
    std::string domain, name;
    if (!m_services.LookupCurrentAccount(domain, name))
        return 0;
    out = FromUtf8(domain) + u'\\' + FromUtf8(name);
    return 1;
}

int NetManagement::GetCurrentUserName(std::u16string& out)
{
    std::string name;
    if (!m_services.CurrentUserName(name))
        return 0;
    out = FromUtf8(name);
    return 1;
}

int NetManagement::GetCurrentDomainName(std::u16string& out)
{
    std::string domain, name;
    if (!m_services.LookupCurrentAccount(domain, name))
        return 0;
    out = FromUtf8(domain);
    return 1;
}

int NetManagement::GetLocalComputerName(std::u16string& out)
{
    std::string name;
    if (!m_services.LocalComputerName(name))
        return 0;
    out = FromUtf8(name);
    return 1;
}

int NetManagement::LookupDCName(const std::u16string& domain)
{
    std::string controller;
    const int status = m_services.FindDomainController(ToUtf8(domain), controller);
    if (status == platform::kAccountOk)
        dcName = FromUtf8(controller);
    return status;
}

const std::u16string& NetManagement::GetDCName()
{
    if (dcName.empty()) {
        std::u16string domain, computer;
        GetCurrentDomainName(domain);
        GetLocalComputerName(computer);
        // A local account's "domain" is the computer: ask for the primary domain.
        if (domain == computer)
            domain.clear();
        LookupDCName(domain);
    }
    return dcName;
}

int NetManagement::GetUserGroups(NetItemList& list)
{
    std::u16string user, domain, computer;
    GetCurrentUserName(user);
    GetCurrentDomainName(domain);
    GetLocalComputerName(computer);
    // Exact comparison on purpose: a domain spelled differently from the
    // computer, even only in case, is a domain.
    if (computer == domain) {
        GetLocalGroups(user, list, {});
    } else {
        LookupDCName(domain);
        GetGlobalGroups(user, list, {});
    }
    for (NetItem& item : list)
        item.name = QualifyName(&domain, item.name);
    return static_cast<int>(list.size());
}

int NetManagement::GetGlobalGroups(const std::u16string& user, NetItemList& list, const std::u16string& server)
{
    const std::u16string target = server.empty() ? GetDCName() : server;
    return QueryGroups(platform::GroupScope::Global, user, list, target);
}

int NetManagement::GetLocalGroups(const std::u16string& user, NetItemList& list, const std::u16string& server)
{
    return QueryGroups(platform::GroupScope::Local, user, list, server);
}

int NetManagement::QueryGroups(platform::GroupScope scope, const std::u16string& user, NetItemList& list,
                               const std::u16string& server)
{
    list.clear();
    std::vector<platform::GroupName> names;
    const int status = m_services.UserGroups(ToUtf8(server), ToUtf8(user), scope, names);
    if (status != platform::kAccountOk && status != platform::kAccountMoreData)
        return status;
    list.reserve(names.size());
    for (const auto& name : names) {
        NetItem& item = list.emplace_back();
        if (name)
            item.name = FromUtf8(*name);
        item.type = NetItem::kGroup;
    }
    return status;
}

std::u16string NetManagement::QualifyName(const std::u16string* domain, const std::u16string& name)
{
    return domain ? *domain + u'\\' + name : name;
}

} // namespace accounts
