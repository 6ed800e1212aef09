#include "accounts/administrator.h"

#include <cstdio>
#include <ostream>

namespace accounts {

namespace {

constexpr const char* kCheckFailed = "AccessCheck() failed with error ";

// The check, with `failed` told the error when the check itself fails.
template <class Failed>
bool CheckRights(platform::AccountServices& services, Failed failed)
{
    const platform::RightsCheck check = services.CheckAdministratorRights();
    if (!check.ok) {
        failed(static_cast<unsigned long>(check.error));
        return false;
    }
    return check.granted;
}

} // namespace

bool IsAdministrator(platform::AccountServices& services, std::ostream& diagnostics)
{
    return CheckRights(services, [&](unsigned long error) { diagnostics << kCheckFailed << error << '\n'; });
}

// Through stdio: std::cout would set up every standard stream and its locale
// in each session at start, for a line that is almost never written.
bool IsAdministrator(platform::AccountServices& services)
{
    return CheckRights(services, [](unsigned long error) { std::printf("%s%lu\n", kCheckFailed, error); });
}

} // namespace accounts
