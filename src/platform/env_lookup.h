#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The value of an environment variable of this process (UTF-8), or nothing
// when it is not set. Names written for Windows ignore case there, so a name
// with no exact match matches the first variable that differs only in the
// case of ASCII letters ("%UserName%" finds USERNAME).
std::optional<std::string> LookupEnvironmentVariable(std::string_view name);

} // namespace platform
