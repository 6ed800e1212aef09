#pragma once
#include <filesystem>
#include <optional>

namespace platform {

// The home folder the account database gives the user running the program;
// none when it has no entry or names no folder.
std::optional<std::filesystem::path> HomeFolder();

} // namespace platform
