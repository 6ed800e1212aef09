#include "platform/accounts.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperAscii(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return UpperAscii(c); });
    return out;
}

// Where a "DOMAIN\name" split happens; npos when the name carries none.
std::size_t BackslashSplit(std::string_view login)
{
    const auto pos = login.find('\\');
    return (pos != std::string_view::npos && pos > 0 && pos + 1 < login.size()) ? pos : std::string_view::npos;
}

// Where a "name@realm" split happens; npos unless the realm has a first label.
std::size_t RealmSplit(std::string_view login)
{
    const auto pos = login.rfind('@');
    if (pos == std::string_view::npos || pos == 0 || pos + 1 >= login.size() || login[pos + 1] == '.')
        return std::string_view::npos;
    return pos;
}

} // namespace

AccountName SplitLoginName(std::string_view login, std::string_view computer)
{
    if (auto pos = BackslashSplit(login); pos != std::string_view::npos)
        return {std::string(login.substr(0, pos)), std::string(login.substr(pos + 1))};
    if (auto pos = RealmSplit(login); pos != std::string_view::npos) {
        std::string_view realm = login.substr(pos + 1);
        return {UpperAscii(realm.substr(0, realm.find('.'))), std::string(login.substr(0, pos))};
    }
    return {std::string(computer), std::string(login)};
}

bool CarriesDomain(std::string_view login)
{
    return BackslashSplit(login) != std::string_view::npos || RealmSplit(login) != std::string_view::npos;
}

std::string ShortComputerName(std::string_view hostName)
{
    // NetBIOS names, which the account names stand in for, hold 15 characters.
    constexpr std::size_t kMaxComputerName = 15;
    std::string_view label = hostName.substr(0, hostName.find('.'));
    return UpperAscii(label.substr(0, kMaxComputerName));
}

bool IsAdministratorGroupName(std::string_view group)
{
    static constexpr std::array<std::string_view, 3> kAdminGroups{"sudo", "wheel", "admin"};
    return std::find(kAdminGroups.begin(), kAdminGroups.end(), group) != kAdminGroups.end();
}

bool SameDomain(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

} // namespace platform
