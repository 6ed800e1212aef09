#pragma once
#include <iosfwd>

#include "commands.h"
#include "platform/accounts.h"

namespace quillonctl {

// `whoami [FILE]` over given account services (the command uses the system's).
int WhoamiWith(platform::AccountServices& services, const Args& args, std::ostream& out, std::ostream& err);

} // namespace quillonctl
