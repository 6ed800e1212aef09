#pragma once
#include <optional>
#include <string>
#include <vector>

namespace app {

// What `quillon --help` (or -h) and `quillon --version` print, when one of
// them is among the arguments after the program name (the first one found
// wins); nothing otherwise. Asked before Qt starts, so that neither opens a
// window or needs a display.
std::optional<std::string> InformationText(const std::vector<std::string>& arguments);

// Where no display can be opened (a server reached over SSH): the one line
// that says how to run the program, and its exit code.
const char* NoDisplayText();
constexpr int kExitNoDisplay = 2;

} // namespace app
