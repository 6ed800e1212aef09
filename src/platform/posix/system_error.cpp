#include "platform/system_error.h"

#include <cstring>

namespace platform {

namespace {

// strerror_r comes in two shapes: the XSI one fills the buffer and returns a
// status, the GNU one returns the text (which may not be the buffer).
[[maybe_unused]] std::string TextOf(int status, const char* buffer, int errorNumber)
{
    if (status == 0)
        return buffer;
    return "Unknown error " + std::to_string(errorNumber);
}

[[maybe_unused]] std::string TextOf(const char* text, const char*, int errorNumber)
{
    return text ? std::string(text) : "Unknown error " + std::to_string(errorNumber);
}

} // namespace

std::string GetSystemErrorText(int errorNumber)
{
    char buffer[256] = {};
    return TextOf(::strerror_r(errorNumber, buffer, sizeof buffer), buffer, errorNumber);
}

} // namespace platform
