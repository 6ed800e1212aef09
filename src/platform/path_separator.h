#pragma once

namespace platform {

// What separates folder names in a path: '/' here, a backslash on Windows.
// The transfer tool is handed folders with one of these after them.
extern const char kPathSeparator;

} // namespace platform
