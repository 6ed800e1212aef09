#pragma once
#include <filesystem>
#include <string>
#include <vector>

// The switches the transfer tool accepts: exactly those of the command lines
// the program builds for manual and automatic transfers.
namespace pontlet {

enum class Mode { Manual, Automatic };
enum class Overwrite { Ask, Always, IfDifferent, Skip };

// One "label;path" pair of a file list switch.
struct ListedFolder {
    std::string label;
    std::filesystem::path path;
};

struct TransferOptions {
    Mode mode = Mode::Automatic;
    // Automatic
    std::filesystem::path serverPath;
    std::filesystem::path clientPath;
    bool serverToClient = true;
    Overwrite overwrite = Overwrite::Ask;
    bool hide = false;
    bool dryRun = false;  // say what would be done, change nothing
    // Manual
    ListedFolder server;
    bool hasClient = false;
    ListedFolder client;
    // Either of these alone: print and end.
    bool showHelp = false;
    bool showVersion = false;
};

struct ParseResult {
    bool ok = false;
    std::string error;  // what was wrong, for the usage message
    TransferOptions options;
};

// Switch names compare without regard to case, as the tool always has.
ParseResult ParseArguments(const std::vector<std::string>& args);

// The server list "NAME;DIR": the name ends at the first ";/" (the folder is
// absolute), else at the first ';', so both may hold ';'. Without a ';' the
// value is both.
ListedFolder SplitServerList(const std::string& value);

// The client list, as the program writes it "Default Directory (DIR);DIR":
// the folder is the part that repeats, whatever ';' it holds. Any other
// value is split as a server list.
ListedFolder SplitClientList(const std::string& value);

// --help: every switch on a line of its own, the exit codes last.
std::string HelpText();

} // namespace pontlet
