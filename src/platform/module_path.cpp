#include "platform/module_path.h"

#include <mutex>

namespace platform {

const char* const kConfigFileName = "userConfig.QLNData";

std::filesystem::path GetModuleDirectory()
{
    // Found once and kept, like the process-wide buffer it stands for; a
    // failed lookup is not kept so the next call tries again.
    static std::mutex guard;
    static std::filesystem::path cached;
    std::lock_guard lock(guard);
    if (cached.empty()) {
        if (auto exe = ExecutablePath())
            cached = exe->parent_path();
    }
    return cached;
}

namespace {
std::filesystem::path BesideExecutable(const char* name)
{
    auto dir = GetModuleDirectory();
    if (dir.empty())
        dir = "/";
    return dir / name;
}
} // namespace

std::filesystem::path ConfigFilePath() { return BesideExecutable(kConfigFileName); }
std::filesystem::path TransferToolPath() { return BesideExecutable(kTransferToolName); }
std::filesystem::path HelpFilePath() { return BesideExecutable(kHelpFileName); }

} // namespace platform
