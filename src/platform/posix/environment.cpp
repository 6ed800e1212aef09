#include "platform/environment.h"

#include <cstdlib>

namespace platform {

std::optional<std::string> GetEnvVar(const std::string& name)
{
    if (const char* v = std::getenv(name.c_str()))
        return std::string(v);
    return std::nullopt;
}

bool SetEnvVar(const std::string& name, const std::string& value)
{
    return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool UnsetEnvVar(const std::string& name)
{
    return ::unsetenv(name.c_str()) == 0;
}

} // namespace platform
