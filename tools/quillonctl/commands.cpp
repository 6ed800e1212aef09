#include "commands.h"

#include "config/records.h"
#include "platform/module_path.h"

#include <array>
#include <ostream>

namespace quillonctl {

namespace {

constexpr std::array kCommands{
    Command{"dump", "[FILE]", Dump},
    Command{"load", "JSON OUT", Load},
    Command{"check", "FILE", Check},
    Command{"convert", "IN OUT", Convert},
    Command{"whoami", "[FILE]", Whoami},
    Command{"session", "--dry-run [FILE]", Session},
};

void PrintUsage(std::ostream& err)
{
    err << "usage: quillonctl COMMAND [ARGS]\n";
    for (const auto& c : AllCommands())
        err << "  quillonctl " << c.name << ' ' << c.usage << '\n';
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

int Run(const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        PrintUsage(args.empty() ? err : out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    for (const auto& c : AllCommands()) {
        if (args[0] == c.name)
            return c.run(Args(args.begin() + 1, args.end()), out, err);
    }
    err << "quillonctl: unknown command '" << args[0] << "'\n";
    PrintUsage(err);
    return kExitUsage;
}

} // namespace quillonctl
