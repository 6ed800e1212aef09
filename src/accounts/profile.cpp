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

CTSUserData::EntryRank ProfileCandidates(NetManagement& net)
{
    std::u16string accountName;
    net.GetCurrentAccountName(accountName);
    NetManagement::NetItemList groups;
    net.GetUserGroups(groups);
    return ProfileCandidates(accountName, groups);
}

CTSUserData::EntryRank ProfileCandidates(const std::u16string& accountName, const NetManagement::NetItemList& groups)
{
    std::vector<std::u16string> names{accountName};
    for (const auto& group : groups)
        names.push_back(group.name);
    return [names = std::move(names)](const std::u16string& name) -> std::size_t {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (config::EqualsNoCase(names[i], name))
                return i + 1;
        }
        return 0;
    };
}

} // namespace accounts
