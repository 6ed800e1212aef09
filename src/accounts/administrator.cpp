#include "accounts/administrator.h"

#include <iostream>

namespace accounts {

bool IsAdministrator(platform::AccountServices& services, std::ostream& diagnostics)
{
    const platform::RightsCheck check = services.CheckAdministratorRights();
    if (!check.ok) {
        diagnostics << "AccessCheck() failed with error " << static_cast<unsigned long>(check.error) << '\n';
        return false;
    }
    return check.granted;
}

bool IsAdministrator(platform::AccountServices& services)
{
    return IsAdministrator(services, std::cout);
}

} // namespace accounts
