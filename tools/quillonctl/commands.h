#pragma once
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CTSUserData;

namespace journal {
class Journal;
}

namespace quillonctl {

enum ExitCode : int {
    kExitOk = 0,
    kExitBadInput = 1,  // unreadable or invalid input; nothing written
    kExitUsage = 2,
};

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;    // arguments, for the help text
    const char* summary;  // one line of the help text
    int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

// Every command the tool knows, in the order the help lists them.
std::span<const Command> AllCommands();

// Runs the tool on its arguments (without the program name). What changes
// the configuration beside the program is told to `journal`.
int Run(const Args& args, std::ostream& out, std::ostream& err);
int Run(const Args& args, std::ostream& out, std::ostream& err, const journal::Journal& journal);

// Configuration commands (cmd_config.cpp).
int Dump(const Args& args, std::ostream& out, std::ostream& err);
int Load(const Args& args, std::ostream& out, std::ostream& err);
int Check(const Args& args, std::ostream& out, std::ostream& err);
int Convert(const Args& args, std::ostream& out, std::ostream& err);
int Load(const Args& args, std::ostream& out, std::ostream& err, const journal::Journal& journal);
int Convert(const Args& args, std::ostream& out, std::ostream& err, const journal::Journal& journal);

// The current account, its groups and profile (cmd_whoami.cpp).
int Whoami(const Args& args, std::ostream& out, std::ostream& err);

// What a session start would run for the current user (cmd_session.cpp).
int Session(const Args& args, std::ostream& out, std::ostream& err);

// A configuration a command is done with. The command-line tool lets the
// process end take it (freeing a million strings one by one costs more than
// the whole write); elsewhere, as in tests, it is destroyed at once.
void SetTeardownAtExit(bool skip);
void DisposeAtExit(std::unique_ptr<CTSUserData> data);

// The configuration file a command works on: the one argument given, or the
// program's own configuration.
std::string FileArgument(const Args& args);

} // namespace quillonctl
