#include "platform/rights.h"

#include "platform/posix/account_db.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace platform {

RightsCheck CheckProcessAdministratorRights()
{
    if (::geteuid() == 0)
        return {true, true, 0};
    // A group only listed in the database but absent from the process (not
    // yet logged in again, or dropped on purpose) does not count.
    std::vector<gid_t> groups;
    for (;;) {
        const int n = ::getgroups(0, nullptr);
        if (n < 0)
            return {false, false, errno};
        groups.resize(static_cast<std::size_t>(n));
        const int got = ::getgroups(n, groups.data());
        if (got >= 0) {
            groups.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != EINVAL)  // EINVAL: the set grew in between
            return {false, false, errno};
    }
    groups.insert(groups.begin(), ::getegid());
    for (gid_t gid : groups) {
        if (auto g = posix::GroupById(gid); g && IsAdministratorGroupName(g->name))
            return {true, true, 0};
    }
    return {true, false, 0};
}

} // namespace platform
