#pragma once
#include <optional>
#include <string>
#include <sys/types.h>

// Re-entrant reads of the user and group databases, for the POSIX seam.
namespace platform::posix {

struct UserEntry {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string gecos;
};

struct GroupEntry {
    std::string name;
    gid_t gid = 0;
};

std::optional<UserEntry> UserById(uid_t uid);
std::optional<UserEntry> UserByName(const std::string& name);
std::optional<GroupEntry> GroupById(gid_t gid);
std::optional<GroupEntry> GroupByName(const std::string& name);

} // namespace platform::posix
