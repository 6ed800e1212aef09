#pragma once
#include <string>

#include "accounts/net_management.h"
#include "config/records.h"

namespace accounts {

// How the profile was found.
enum class ProfileMatch { Account, Group, New };

// "account", "group" or "new".
const char* ProfileMatchName(ProfileMatch match);

struct Profile {
    CTSUserDataItem* entry = nullptr;  // never null after a resolution
    ProfileMatch matchedBy = ProfileMatch::New;
};

// The entry that applies to an account: its own (names compare without regard
// to case), else that of the first group in list order that has one, else a
// new empty user entry added under the account name. The addition does not
// count as a change a user has to save.
Profile ResolveProfile(CTSUserData& data, const std::u16string& accountName,
                       const NetManagement::NetItemList& groups);

// The same for the current user; the groups are asked for only when the
// account has no entry of its own. An account name that cannot be found is
// taken as empty.
Profile ResolveProfile(CTSUserData& data, NetManagement& net);

// Ranks the entries as profile resolution picks them for the current user:
// the account's own first, then its groups in list order, others not at all.
// A user's session builds only the best of them, so neither its time nor its
// memory grows with other users' entries.
CTSUserData::EntryRank ProfileCandidates(NetManagement& net);
CTSUserData::EntryRank ProfileCandidates(const std::u16string& accountName, const NetManagement::NetItemList& groups);

} // namespace accounts
