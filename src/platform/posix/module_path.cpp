#include "platform/module_path.h"

#include <system_error>

namespace platform {

const char* const kTransferToolName = "pontlet";
const char* const kHelpFileName = "Quillon.html";

std::optional<std::filesystem::path> ExecutablePath()
{
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || p.empty())
        return std::nullopt;
    return p;
}

} // namespace platform
