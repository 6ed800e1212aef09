#include "cmd_session.h"

#include "accounts/net_management.h"
#include "accounts/profile.h"
#include "config/config_file.h"
#include "config/text.h"
#include "platform/module_path.h"
#include "platform/process.h"
#include "transfer/command_lines.h"
#include "transfer/connect_plan.h"

#include <ostream>

// What a session start in service mode would do for the current user, step
// by step, with the exact command lines; nothing is started.
namespace quillonctl {

int SessionWith(platform::AccountServices& services, const std::u16string& transferToolPath, const Args& args,
                std::ostream& out, std::ostream& err)
{
    if (args.empty() || args.size() > 2 || args[0] != "--dry-run") {
        err << "usage: quillonctl session --dry-run [FILE]\n";
        return kExitUsage;
    }
    const Args fileArgs(args.begin() + 1, args.end());

    // A configuration that cannot be read leaves the user a new empty
    // profile, as the program does: that is an answer, not a failure. Only
    // the profile is built, as at a session start.
    accounts::NetManagement net({}, services);
    CTSUserData data;
    if (config::StoreResult r =
            config::LoadConfigurationFile(FileArgument(fileArgs), data, accounts::ProfileCandidates(net));
        !r)
        err << "quillonctl: " << r.message << "; no configuration read\n";
    const accounts::Profile profile = accounts::ResolveProfile(data, net);
    const CTSUserDataItem& entry = *profile.entry;

    const CTSUserScriptItem& script = entry.m_script;
    if (script.m_bEnabled) {
        if (script.m_strProgramPath.empty())
            err << "quillonctl: the logon program is enabled but names no program; nothing would start\n";
        else
            out << "script: " << config::ToUtf8(transfer::ScriptCommandLine(script)) << '\n';
    }

    if (entry.m_locations.GetSize() == 0) {
        out << "shell: " << platform::kDefaultShellCommand << '\n';
        return kExitOk;
    }
    out << "logoff: armed\n";
    for (const transfer::AutoLaunch& launch : transfer::ConnectPlan(entry.m_locations.m_items)) {
        if (!launch.Starts()) {
            out << "transfer: skipped (" << launch.skipReason << ")\n";
            continue;
        }
        const std::u16string command =
            transfer::AutoTransferCommandLine(transferToolPath, launch.serverPath, launch.clientPath,
                                              launch.serverToClient, launch.overwriteMode, launch.hide);
        const CTSUserScriptItem item = transfer::TransferScript(command, transfer::kAutoTransferName);
        out << "transfer: " << config::ToUtf8(transfer::ScriptCommandLine(item)) << '\n';
    }
    return kExitOk;
}

int Session(const Args& args, std::ostream& out, std::ostream& err)
{
    auto services = platform::CreateSystemAccountServices();
    return SessionWith(*services, config::FromUtf8(platform::TransferToolPath().string()), args, out, err);
}

} // namespace quillonctl
