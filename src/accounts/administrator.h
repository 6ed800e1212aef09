#pragma once
#include <iosfwd>

#include "platform/accounts.h"

namespace accounts {

// Whether the user running the program administers it; decided once at
// start. Any failure answers false: the user view is the safe face. When the
// check itself fails, its one diagnostic line goes to `diagnostics`.
bool IsAdministrator(platform::AccountServices& services, std::ostream& diagnostics);
// The same, with the diagnostic line on standard output.
bool IsAdministrator(platform::AccountServices& services);

} // namespace accounts
