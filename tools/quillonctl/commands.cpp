#include "commands.h"

#include "config/records.h"
#include "journal/journal.h"
#include "platform/module_path.h"
#include "quillon_version.h"

#include <array>
#include <ostream>
#include <string>

namespace quillonctl {

namespace {

constexpr std::array kCommands{
    Command{"dump", "[FILE]", "print every field of the configuration as JSON", Dump},
    Command{"load", "JSON OUT", "write the configuration OUT from a JSON file as dump prints it", Load},
    Command{"check", "FILE", "read FILE whole and report the first error with its byte offset", Check},
    Command{"convert", "IN OUT", "rewrite a readable configuration in the current format", Convert},
    Command{"whoami", "[FILE]", "print your account, groups, administrator flag and profile as JSON", Whoami},
    Command{"session", "--dry-run [FILE]", "print what a session start would run for you; starts nothing", Session},
};

void PrintUsage(std::ostream& err)
{
    err << "usage: quillonctl COMMAND [ARGS]\n";
    for (const auto& c : AllCommands())
        err << "  quillonctl " << c.name << ' ' << c.usage << '\n';
}

// Every command and switch a line, then the exit codes.
void PrintHelp(std::ostream& out)
{
    out << "Usage: quillonctl COMMAND [ARGS]\n"
           "Reads and writes Quillon's configuration; FILE defaults to the one beside the program.\n\n";
    for (const auto& c : AllCommands()) {
        const std::string call = std::string(c.name) + ' ' + c.usage;
        out << "  " << call << std::string(call.size() < 26 ? 26 - call.size() : 1, ' ') << c.summary << '\n';
    }
    out << "  --help                    print this help and exit\n"
           "  --version                 print the version and exit\n\n"
           "Exit codes: 0 success, 1 unreadable or invalid input (nothing written), 2 wrong usage.\n";
}

bool g_skipTeardown = false;

} // namespace

void SetTeardownAtExit(bool skip)
{
    g_skipTeardown = skip;
}

void DisposeAtExit(std::unique_ptr<CTSUserData> data)
{
    if (g_skipTeardown)
        (void)data.release();
}

std::span<const Command> AllCommands()
{
    return kCommands;
}

std::string FileArgument(const Args& args)
{
    return args.empty() ? platform::ConfigFilePath().string() : args.front();
}

int Run(const Args& args, std::ostream& out, std::ostream& err) { return Run(args, out, err, journal::Journal()); }

int Run(const Args& args, std::ostream& out, std::ostream& err, const journal::Journal& journal)
{
    if (args.empty()) {
        PrintUsage(err);
        return kExitUsage;
    }
    if (args[0] == "-h" || args[0] == "--help") {
        PrintHelp(out);
        return kExitOk;
    }
    if (args[0] == "--version") {
        out << "quillonctl " << QUILLON_VERSION << '\n';
        return kExitOk;
    }
    const Args rest(args.begin() + 1, args.end());
    // The two that may write the live configuration tell the journal.
    if (args[0] == "load")
        return Load(rest, out, err, journal);
    if (args[0] == "convert")
        return Convert(rest, out, err, journal);
    for (const auto& c : AllCommands()) {
        if (args[0] == c.name)
            return c.run(rest, out, err);
    }
    err << "quillonctl: unknown command '" << args[0] << "'\n";
    PrintUsage(err);
    return kExitUsage;
}

} // namespace quillonctl
