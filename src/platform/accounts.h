#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The system's account services, as the account logic needs them: who runs
// the process, which groups they belong to, whether they are an administrator,
// and which users and groups exist. Texts are UTF-8. Every query answers with
// a result and never throws; failures come back as false, an empty answer or
// a status code.
namespace platform {

// Status codes of the group and domain controller queries; the values are the
// network management codes the configuration's users know from Windows.
enum AccountStatus : int {
    kAccountOk = 0,
    kAccountMoreData = 234,
    kAccountNoMemory = 8,
    kAccountUserNotFound = 2221,
    kAccountDCNotFound = 2453,
};

// Local groups are those of the computer; global groups those of the
// account's domain.
enum class GroupScope { Local, Global };

// A group name as the system reports it; none when a group has no name.
using GroupName = std::optional<std::string>;

// The outcome of the administrator test. When the check itself failed, `ok`
// is false and `error` holds the system's error number.
struct RightsCheck {
    bool ok = true;
    bool granted = false;
    int error = 0;
};

// One user or group known to the system.
struct AccountRecord {
    enum class Kind { User, Group };
    Kind kind = Kind::User;
    std::string name;      // without its domain
    std::string domain;    // the computer name for a local account
    std::string fullName;  // users: the full name of the account's comment field
    std::uint32_t id = 0;  // uid or gid

    bool operator==(const AccountRecord&) const = default;
};

class AccountServices {
public:
    virtual ~AccountServices() = default;

    // The process's user as its domain and name; false when it cannot be found.
    virtual bool LookupCurrentAccount(std::string& domain, std::string& name) = 0;
    // The user name of the process, without domain.
    virtual bool CurrentUserName(std::string& name) = 0;
    // The computer's short name as accounts know it.
    virtual bool LocalComputerName(std::string& name) = 0;
    // Domain controller of a domain (empty: the computer's own domain).
    virtual int FindDomainController(const std::string& domain, std::string& controller) = 0;
    // The groups of `user` in the system's order, their names without domain.
    // An empty server means the local computer. `names` is replaced.
    virtual int UserGroups(const std::string& server, const std::string& user, GroupScope scope,
                           std::vector<GroupName>& names) = 0;
    // Whether the process holds administrator rights in its current credentials.
    virtual RightsCheck CheckAdministratorRights() = 0;
    // Every regular user, then every group, in the system's order.
    virtual std::vector<AccountRecord> EnumerateAccounts() = 0;
    // The user and then the group that a typed name designates (either may be
    // missing). The name may carry the computer's or a domain's prefix.
    virtual std::vector<AccountRecord> FindAccounts(const std::string& typed) = 0;
};

// The services of the system the program runs on.
std::unique_ptr<AccountServices> CreateSystemAccountServices();

// ---- How account names are spelled on this platform (pure functions) ----

struct AccountName {
    std::string domain;
    std::string name;
    bool operator==(const AccountName&) const = default;
};

// Splits a login or group name: "CORP\anna" gives CORP and anna (winbind),
// "anna@corp.example" gives CORP and anna (sssd: the first label of the realm,
// upper case). A name without a domain belongs to the computer.
AccountName SplitLoginName(std::string_view login, std::string_view computer);
// Whether a name carries a domain of its own in one of the forms above.
bool CarriesDomain(std::string_view login);

// The computer name accounts are qualified with: the host name's first label,
// upper case, at most 15 characters.
std::string ShortComputerName(std::string_view hostName);

// Groups whose members administer the computer.
bool IsAdministratorGroupName(std::string_view group);

// ASCII case-insensitive equality, for domain and computer names.
bool SameDomain(std::string_view a, std::string_view b);

} // namespace platform
