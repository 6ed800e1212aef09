#include "platform/accounts.h"

#include "platform/posix/account_db.h"
#include "platform/rights.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <mutex>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <unistd.h>
#include <unordered_set>

namespace platform {

namespace {

using posix::GroupEntry;
using posix::UserEntry;

// Linux allows 65536 supplementary groups; a name service that claims more is broken.
constexpr int kMaxGroups = 65536;

// The uids of people, as opposed to system accounts; the picker lists only those.
struct UidRange {
    unsigned long min = 1000;
    unsigned long max = 60000;
};

UidRange RegularUids()
{
    UidRange range;
    std::ifstream in("/etc/login.defs");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        unsigned long value = 0;
        if (!(words >> key >> value))
            continue;
        if (key == "UID_MIN")
            range.min = value;
        else if (key == "UID_MAX")
            range.max = value;
    }
    return range;
}

std::string FullName(const std::string& gecos)
{
    return gecos.substr(0, gecos.find(','));
}

AccountRecord UserRecord(const std::string& login, uid_t uid, const std::string& gecos, const std::string& computer)
{
    AccountName n = SplitLoginName(login, computer);
    return {AccountRecord::Kind::User, std::move(n.name), std::move(n.domain), FullName(gecos), uid};
}

AccountRecord GroupRecord(const std::string& name, gid_t gid, const std::string& computer)
{
    AccountName n = SplitLoginName(name, computer);
    return {AccountRecord::Kind::Group, std::move(n.name), std::move(n.domain), {}, gid};
}

std::optional<UserEntry> Self()
{
    return posix::UserById(::geteuid());
}

// The account a user name (without domain) stands for: the process's own
// account first, since a domain login is known to the system only with its
// domain, then any account of that name.
std::optional<UserEntry> ResolveUser(const std::string& user)
{
    if (user.empty())
        return std::nullopt;
    if (auto self = Self(); self && SplitLoginName(self->name, {}).name == user)
        return self;
    return posix::UserByName(user);
}

bool GroupList(const UserEntry& user, std::vector<gid_t>& out)
{
    int capacity = 32;
    for (;;) {
        out.resize(static_cast<std::size_t>(capacity));
        int count = capacity;
        if (::getgrouplist(user.name.c_str(), user.gid, out.data(), &count) >= 0) {
            out.resize(static_cast<std::size_t>(count));
            return true;
        }
        capacity = count > capacity ? count : capacity * 2;
        if (capacity > kMaxGroups)
            return false;
    }
}

class PosixAccountServices final : public AccountServices {
public:
    bool LookupCurrentAccount(std::string& domain, std::string& name) override
    {
        auto self = Self();
        if (!self)
            return false;
        std::string computer;
        if (!CarriesDomain(self->name) && !LocalComputerName(computer))
            return false;
        AccountName n = SplitLoginName(self->name, computer);
        domain = std::move(n.domain);
        name = std::move(n.name);
        return true;
    }

    bool CurrentUserName(std::string& name) override
    {
        auto self = Self();
        if (!self)
            return false;
        name = SplitLoginName(self->name, {}).name;
        return true;
    }

    bool LocalComputerName(std::string& name) override
    {
        char host[HOST_NAME_MAX + 1] = {};
        if (::gethostname(host, sizeof host - 1) != 0)
            return false;
        std::string shortName = ShortComputerName(host);
        if (shortName.empty())
            return false;
        name = std::move(shortName);
        return true;
    }

    // Domain accounts reach this system through winbind or sssd, which answer
    // group questions locally; there is no controller to ask.
    int FindDomainController(const std::string&, std::string&) override { return kAccountDCNotFound; }

    int UserGroups(const std::string&, const std::string& user, GroupScope scope,
                   std::vector<GroupName>& names) override
    {
        names.clear();
        auto account = ResolveUser(user);
        if (!account)
            return kAccountUserNotFound;
        std::vector<gid_t> gids;
        if (!GroupList(*account, gids))
            return kAccountNoMemory;
        std::string computer;
        LocalComputerName(computer);
        const AccountName owner = SplitLoginName(account->name, computer);
        for (gid_t gid : gids) {
            auto g = posix::GroupById(gid);
            if (!g) {
                names.emplace_back();  // a group id without a name
                continue;
            }
            const bool ownDomain = CarriesDomain(g->name);
            if (scope == GroupScope::Local && !ownDomain) {
                names.emplace_back(g->name);
            } else if (scope == GroupScope::Global && ownDomain) {
                AccountName n = SplitLoginName(g->name, computer);
                if (SameDomain(n.domain, owner.domain))
                    names.emplace_back(std::move(n.name));
            }
        }
        return kAccountOk;
    }

    RightsCheck CheckAdministratorRights() override { return CheckProcessAdministratorRights(); }

    std::vector<AccountRecord> EnumerateAccounts() override
    {
        std::string computer;
        LocalComputerName(computer);
        const UidRange regular = RegularUids();
        std::vector<AccountRecord> out;
        // getpwent and getgrent walk one cursor per process: two listings at
        // once (a chooser reopened while a slow directory still answers the
        // last one) would corrupt each other.
        static std::mutex cursor;
        const std::lock_guard lock(cursor);
        ::setpwent();
        while (passwd* pw = ::getpwent()) {
            if (pw->pw_name && pw->pw_uid >= regular.min && pw->pw_uid <= regular.max)
                out.push_back(UserRecord(pw->pw_name, pw->pw_uid, pw->pw_gecos ? pw->pw_gecos : "", computer));
        }
        ::endpwent();
        ::setgrent();
        while (group* gr = ::getgrent()) {
            if (gr->gr_name)
                out.push_back(GroupRecord(gr->gr_name, gr->gr_gid, computer));
        }
        ::endgrent();
        // Several name services may report the same account.
        std::vector<AccountRecord> unique;
        std::unordered_set<std::string> seen;
        for (auto& r : out) {
            std::string key = (r.kind == AccountRecord::Kind::User ? "u:" : "g:") + r.domain + '\\' + r.name;
            if (seen.insert(std::move(key)).second)
                unique.push_back(std::move(r));
        }
        return unique;
    }

    std::vector<AccountRecord> FindAccounts(const std::string& typed) override
    {
        std::string computer;
        LocalComputerName(computer);
        // "SERVER1\anna" names the local anna; any other domain prefix is part
        // of the name the name service knows.
        std::string name = typed;
        if (auto pos = typed.find('\\'); pos != std::string::npos && pos > 0 &&
                                         SameDomain(std::string_view(typed).substr(0, pos), computer))
            name = typed.substr(pos + 1);
        std::vector<AccountRecord> out;
        if (auto u = posix::UserByName(name))
            out.push_back(UserRecord(u->name, u->uid, u->gecos, computer));
        if (auto g = posix::GroupByName(name))
            out.push_back(GroupRecord(g->name, g->gid, computer));
        return out;
    }
};

} // namespace

std::unique_ptr<AccountServices> CreateSystemAccountServices()
{
    return std::make_unique<PosixAccountServices>();
}

} // namespace platform
