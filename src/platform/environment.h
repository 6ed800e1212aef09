#pragma once
#include <optional>
#include <string>

// The process environment.
namespace platform {

// The value of a variable; none when it is not set.
std::optional<std::string> GetEnvVar(const std::string& name);
// Sets or replaces a variable; false when the system refused.
bool SetEnvVar(const std::string& name, const std::string& value);
bool UnsetEnvVar(const std::string& name);

} // namespace platform
