#pragma once
#include <string>

namespace platform {

// The system's own wording for an error number (errno here, a Win32 error
// code on Windows), for reports to the user. Safe to call from any thread.
std::string GetSystemErrorText(int errorNumber);

} // namespace platform
