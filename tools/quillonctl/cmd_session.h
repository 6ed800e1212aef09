#pragma once
#include <iosfwd>
#include <string>

#include "commands.h"
#include "platform/accounts.h"

namespace quillonctl {

// `session --dry-run [FILE]` over given account services and transfer tool
// path (the command uses the system's and the one beside the executable).
int SessionWith(platform::AccountServices& services, const std::u16string& transferToolPath, const Args& args,
                std::ostream& out, std::ostream& err);

} // namespace quillonctl
