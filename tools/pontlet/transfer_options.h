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
    // Manual
    ListedFolder server;
    bool hasClient = false;
    ListedFolder client;
};

struct ParseResult {
    bool ok = false;
    std::string error;  // what was wrong, for the usage message
    TransferOptions options;
};

// Switch names compare without regard to case, as the tool always has.
ParseResult ParseArguments(const std::vector<std::string>& args);

// "label;path" -> its two parts; the path is everything after the last ';'
// so that labels like "Default Directory (/a;b)" stay whole.
ListedFolder SplitListedFolder(const std::string& value);

} // namespace pontlet
