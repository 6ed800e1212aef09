#include "app/program_info.h"

#include "quillon_version.h"

namespace app {

namespace {

const char* const kHelp =
    "Usage: quillon [service] [Qt options]\n"
    "The restricted workplace of a terminal-server user, and the administrators' console\n"
    "for it. The configuration is userConfig.QLNData beside the program.\n"
    "\n"
    "  quillon            edit the configuration (administrators) or browse your locations\n"
    "  quillon service    be a session's program: logon program, transfers, logoff at close\n"
    "  --help, -h         print this help and exit\n"
    "  --version          print the version and exit\n"
    "  -display, -platform, ...  Qt's own options, taken before the others\n"
    "\n"
    "Exit codes: 0 the window was closed or the session went on in the desktop shell;\n"
    "2 no display could be opened.\n";

} // namespace

const char* NoDisplayText()
{
    return "quillon: no display to open a window on: run it inside a desktop or xrdp session, "
           "or try it with xvfb-run quillon\n";
}

std::optional<std::string> InformationText(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h")
            return std::string(kHelp);
        if (argument == "--version")
            return std::string("quillon ") + QUILLON_VERSION + '\n';
    }
    return std::nullopt;
}

} // namespace app
