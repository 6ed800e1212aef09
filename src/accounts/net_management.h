#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/accounts.h"

namespace accounts {

// The current account and its groups, named the way configuration entries
// are: the account's domain, a backslash and the name. The profile lookup
// tries the groups in list order, so order and spelling are kept exactly as
// the system gives them: nothing is sorted, merged or dropped here.
class NetManagement {
public:
    // One account or group record.
    class NetItem {
    public:
        static constexpr std::int32_t kGroup = 2;

        NetItem() = default;
        NetItem(const NetItem&) = default;
        NetItem(NetItem&&) = default;
        NetItem& operator=(const NetItem&) = default;
        NetItem& operator=(NetItem&&) = default;
        virtual ~NetItem() = default;

        std::u16string name;
        std::u16string extra;
        std::int32_t type = 0;

        bool operator==(const NetItem&) const = default;
    };
    using NetItemList = std::vector<NetItem>;

    // A non-empty domain looks its domain controller up at once.
    NetManagement(const std::u16string& domain, platform::AccountServices& services);
    NetManagement(const NetManagement&) = delete;
    NetManagement& operator=(const NetManagement&) = delete;
    virtual ~NetManagement() = default;

    // 1 on success, 0 on failure (out untouched).
    int GetCurrentAccountName(std::u16string& out);
    // The current user's groups, qualified; returns how many.
    int GetUserGroups(NetItemList& list);
    int GetCurrentUserName(std::u16string& out);
    int GetCurrentDomainName(std::u16string& out);
    int GetLocalComputerName(std::u16string& out);

    // Status 0 on success, when dcName takes the controller's name.
    int LookupDCName(const std::u16string& domain);
    // The cached controller, looked up for the account's domain when none is.
    const std::u16string& GetDCName();

    // Both clear the list and fill it with the user's group names (type 2),
    // unqualified; they return the platform status.
    int GetGlobalGroups(const std::u16string& user, NetItemList& list, const std::u16string& server);
    int GetLocalGroups(const std::u16string& user, NetItemList& list, const std::u16string& server);

    // "domain\name" with a domain, the name alone without.
    static std::u16string QualifyName(const std::u16string* domain, const std::u16string& name);

    std::u16string dcName;

private:
    int QueryGroups(platform::GroupScope scope, const std::u16string& user, NetItemList& list,
                    const std::u16string& server);

    platform::AccountServices& m_services;
};

} // namespace accounts
