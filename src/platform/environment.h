#pragma once
#include <optional>
#include <string>
#include <string_view>

// The process environment.
namespace platform {

// The value of a variable; none when it is not set.
std::optional<std::string> GetEnvVar(const std::string& name);
// Sets or replaces a variable; false when the system refused.
bool SetEnvVar(const std::string& name, const std::string& value);
bool UnsetEnvVar(const std::string& name);

// Like GetEnvVar, but a name with no exact match matches the first variable
// that differs only in the case of ASCII letters, as names written for
// Windows expect ("%UserName%" finds USERNAME).
std::optional<std::string> LookupEnvironmentVariable(std::string_view name);

} // namespace platform
