#pragma once
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/accounts.h"

namespace accounts {

// Account services with answers set by hand, for tests of everything that
// asks who the user is: no system account is read. A missing answer makes
// its query fail; the queries asked are recorded.
class FakeAccountServices final : public platform::AccountServices {
public:
    std::optional<std::string> accountDomain;  // LookupCurrentAccount
    std::optional<std::string> accountName;
    std::optional<std::string> userName;       // CurrentUserName
    std::optional<std::string> computerName;
    int dcStatus = platform::kAccountDCNotFound;
    std::string dcName;
    int localStatus = platform::kAccountOk;
    int globalStatus = platform::kAccountOk;
    std::vector<platform::GroupName> localGroups;
    std::vector<platform::GroupName> globalGroups;
    platform::RightsCheck rights;
    std::vector<platform::AccountRecord> accounts;
    // Found by name but not listed, as winbind and sssd do without enumeration.
    std::vector<platform::AccountRecord> unlisted;
    // Runs inside EnumerateAccounts, on the caller's thread: a slow directory.
    std::function<void()> whileListing;

    struct GroupQuery {
        std::string server;
        std::string user;
        platform::GroupScope scope;
        bool operator==(const GroupQuery&) const = default;
    };
    std::vector<std::string> dcQueries;
    std::vector<GroupQuery> groupQueries;

    // An account of the computer itself, member of local groups.
    static FakeAccountServices Local(std::string computer, std::string user, std::vector<platform::GroupName> groups)
    {
        FakeAccountServices f;
        f.accountDomain = computer;
        f.accountName = user;
        f.userName = std::move(user);
        f.computerName = std::move(computer);
        f.localGroups = std::move(groups);
        return f;
    }

    // An account of a domain, member of the domain's (global) groups and of
    // local groups of the computer.
    static FakeAccountServices Domain(std::string domain, std::string computer, std::string user,
                                      std::vector<platform::GroupName> global,
                                      std::vector<platform::GroupName> local = {})
    {
        FakeAccountServices f;
        f.accountDomain = std::move(domain);
        f.accountName = user;
        f.userName = std::move(user);
        f.computerName = std::move(computer);
        f.globalGroups = std::move(global);
        f.localGroups = std::move(local);
        return f;
    }

    bool LookupCurrentAccount(std::string& domain, std::string& name) override
    {
        if (!accountDomain || !accountName)
            return false;
        domain = *accountDomain;
        name = *accountName;
        return true;
    }

    bool CurrentUserName(std::string& name) override { return Answer(userName, name); }
    bool LocalComputerName(std::string& name) override { return Answer(computerName, name); }

    int FindDomainController(const std::string& domain, std::string& controller) override
    {
        dcQueries.push_back(domain);
        if (dcStatus == platform::kAccountOk)
            controller = dcName;
        return dcStatus;
    }

    int UserGroups(const std::string& server, const std::string& user, platform::GroupScope scope,
                   std::vector<platform::GroupName>& names) override
    {
        groupQueries.push_back({server, user, scope});
        const bool local = scope == platform::GroupScope::Local;
        const int status = local ? localStatus : globalStatus;
        names.clear();
        if (status == platform::kAccountOk || status == platform::kAccountMoreData)
            names = local ? localGroups : globalGroups;
        return status;
    }

    platform::RightsCheck CheckAdministratorRights() override { return rights; }

    std::vector<platform::AccountRecord> EnumerateAccounts() override
    {
        if (whileListing)
            whileListing();
        return accounts;
    }

    std::vector<platform::AccountRecord> FindAccounts(const std::string& typed) override
    {
        std::vector<platform::AccountRecord> out;
        for (const auto* list : {&accounts, &unlisted}) {
            for (const auto& a : *list) {
                if (a.name == typed || a.domain + '\\' + a.name == typed)
                    out.push_back(a);
            }
        }
        return out;
    }

private:
    static bool Answer(const std::optional<std::string>& value, std::string& out)
    {
        if (!value)
            return false;
        out = *value;
        return true;
    }
};

} // namespace accounts
