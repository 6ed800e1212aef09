#include "platform/user_home.h"

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::optional<std::filesystem::path> HomeFolder()
{
    long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 16384);
    passwd entry {};
    passwd* found = nullptr;
    while (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (!found || !found->pw_dir || found->pw_dir[0] == '\0')
        return std::nullopt;
    return std::filesystem::path(found->pw_dir);
}

} // namespace platform
