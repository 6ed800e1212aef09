#include "accounts/profile.h"

#include "config/text.h"

namespace accounts {

const char* ProfileMatchName(ProfileMatch match)
{
    switch (match) {
    case ProfileMatch::Account:
        return "account";
    case ProfileMatch::Group:
        return "group";
    case ProfileMatch::New:
        break;
    }
    return "new";
}

Profile ResolveProfile(CTSUserData& data, const std::u16string& accountName,
                       const NetManagement::NetItemList& groups)
{
    if (CTSUserDataItem* own = data.Find(accountName))
        return {own, ProfileMatch::Account};
    for (const auto& group : groups) {
        if (CTSUserDataItem* entry = data.Find(group.name))
            return {entry, ProfileMatch::Group};
    }
    return {data.Add(accountName, kEntryUser, true), ProfileMatch::New};
}

Profile ResolveProfile(CTSUserData& data, NetManagement& net)
{
    std::u16string accountName;
    net.GetCurrentAccountName(accountName);
    if (CTSUserDataItem* own = data.Find(accountName))
        return {own, ProfileMatch::Account};
    NetManagement::NetItemList groups;
    net.GetUserGroups(groups);
    return ResolveProfile(data, accountName, groups);
}

CTSUserData::EntryFilter ProfileCandidates(NetManagement& net)
{
    std::vector<std::u16string> names(1);
    net.GetCurrentAccountName(names.front());
    NetManagement::NetItemList groups;
    net.GetUserGroups(groups);
    for (const auto& group : groups)
        names.push_back(group.name);
    return [names = std::move(names)](const std::u16string& name) {
        for (const auto& candidate : names) {
            if (config::EqualsNoCase(candidate, name))
                return true;
        }
        return false;
    };
}

} // namespace accounts
