#include "platform/environment.h"

#include <cstdlib>
#include <cstring>

extern char** environ;

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

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace

std::optional<std::string> LookupEnvironmentVariable(std::string_view name)
{
    // A name holding '=' or NUL can never be a variable's name.
    if (name.empty() || name.find('=') != std::string_view::npos || name.find('\0') != std::string_view::npos)
        return std::nullopt;
    const std::string key(name);
    if (const char* value = std::getenv(key.c_str()))
        return std::string(value);
    for (char** e = environ; e && *e; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq && SameNameNoCase(std::string_view(*e, static_cast<std::size_t>(eq - *e)), name))
            return std::string(eq + 1);
    }
    return std::nullopt;
}

} // namespace platform
