#pragma once
#include "platform/accounts.h"

namespace platform {

// Administrator test over the running process's current credentials, not
// over what the group database says the user could have.
RightsCheck CheckProcessAdministratorRights();

} // namespace platform
