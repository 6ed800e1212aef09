#pragma once
#include <filesystem>
#include <optional>

namespace platform {

// Full path of the running executable, or nothing when the system cannot say.
std::optional<std::filesystem::path> ExecutablePath();

// The executable's directory, without a trailing separator. Empty when it
// cannot be found; a later call tries again.
std::filesystem::path GetModuleDirectory();

// File names of the program's companions, as they stand beside the executable.
extern const char* const kConfigFileName;    // "userConfig.QLNData"
extern const char* const kTransferToolName;  // the transfer tool
extern const char* const kHelpFileName;      // the help page

// The program's fixed paths: the executable's directory and a file name.
// With no known directory they name a file in the root, as the program always has.
std::filesystem::path ConfigFilePath();
std::filesystem::path TransferToolPath();
std::filesystem::path HelpFilePath();

} // namespace platform
