#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Command lines as the configuration writes them: one string, split by the
// rules of Windows programs, so that a logon program or transfer command line
// written for Windows means the same here. Pure logic, no system calls.
namespace platform {

// Splits the arguments that follow the program name:
// blanks (space, tab) separate arguments outside quotes; a quote toggles
// quoting and is dropped; 2n backslashes before a quote give n backslashes
// and the quote toggles, 2n+1 give n backslashes and a literal quote; other
// backslashes are literal. `""` gives an empty argument.
std::vector<std::string> SplitArguments(std::string_view text);

// The program name at the start of a command line (leading blanks skipped):
// everything up to the first blank outside quotes, quotes dropped,
// backslashes literal. `end` receives the offset just after it and `quoted`
// whether it held a quote.
std::string ProgramToken(std::string_view commandLine, std::size_t& end, bool& quoted);

// The program that a name designates: its full path, or nothing when no such
// file exists.
using ProgramLookup = std::function<std::optional<std::string>(const std::string& name)>;

struct ParsedCommandLine {
    std::string program;            // the file to execute, as the lookup gave it
    std::vector<std::string> argv;  // argv[0] is the program name as written
};

// Finds the program and its arguments. An unquoted program name that names
// no file is retried with successively longer prefixes of the command line
// up to each further blank, so that an unquoted path with blanks still
// starts ("/opt/my tools/run -x"). Nothing when no candidate names a file.
std::optional<ParsedCommandLine> ParseCommandLine(std::string_view commandLine, const ProgramLookup& lookup);

} // namespace platform
