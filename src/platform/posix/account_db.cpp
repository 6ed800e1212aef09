#include "platform/posix/account_db.h"

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <utility>
#include <vector>

namespace platform::posix {

namespace {

// Entries with many members need more than the usual buffer; grown on
// ERANGE up to a bound, so a broken name service cannot exhaust memory.
constexpr std::size_t kFirstBuffer = 1024;
constexpr std::size_t kMaxBuffer = 1u << 24;

UserEntry Convert(const passwd& pw)
{
    return {pw.pw_name ? pw.pw_name : "", pw.pw_uid, pw.pw_gid, pw.pw_gecos ? pw.pw_gecos : ""};
}

GroupEntry Convert(const group& gr)
{
    return {gr.gr_name ? gr.gr_name : "", gr.gr_gid};
}

// The entry's texts live in the buffer, so they are copied out before it goes.
template <typename Entry, typename Lookup>
auto Read(Lookup lookup) -> std::optional<decltype(Convert(std::declval<const Entry&>()))>
{
    std::vector<char> buf(kFirstBuffer);
    for (;;) {
        Entry entry{};
        Entry* result = nullptr;
        const int rc = lookup(&entry, buf.data(), buf.size(), &result);
        if (rc == ERANGE && buf.size() < kMaxBuffer) {
            buf.resize(buf.size() * 2);
            continue;
        }
        if (rc != 0 || result == nullptr)
            return std::nullopt;
        return Convert(entry);
    }
}

} // namespace

std::optional<UserEntry> UserById(uid_t uid)
{
    return Read<passwd>([uid](passwd* e, char* b, std::size_t n, passwd** r) { return ::getpwuid_r(uid, e, b, n, r); });
}

std::optional<UserEntry> UserByName(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    return Read<passwd>(
        [&name](passwd* e, char* b, std::size_t n, passwd** r) { return ::getpwnam_r(name.c_str(), e, b, n, r); });
}

std::optional<GroupEntry> GroupById(gid_t gid)
{
    return Read<group>([gid](group* e, char* b, std::size_t n, group** r) { return ::getgrgid_r(gid, e, b, n, r); });
}

std::optional<GroupEntry> GroupByName(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    return Read<group>(
        [&name](group* e, char* b, std::size_t n, group** r) { return ::getgrnam_r(name.c_str(), e, b, n, r); });
}

} // namespace platform::posix
