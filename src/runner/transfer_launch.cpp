#include "runner/program_runner.h"

#include "journal/events.h"
#include "transfer/command_lines.h"
#include "transfer/connect_plan.h"

// The transfer tool's launches: the command line from the location, the
// tool waited for without a time limit. A transfer with nothing to copy
// (an empty folder, a server folder that cannot be expanded) is not
// started: the tool would be handed the root folder.
namespace runner {

bool ProgramRunner::ManualTransfer(const CTSAppDataItem& location)
{
    if (const std::string reason = transfer::ManualTransferSkipReason(location); !reason.empty()) {
        m_journal.Write(journal::TransferSkipped(location.m_strName, "manual", reason));
        return false;
    }
    const std::u16string command = transfer::ManualTransferCommandLine(m_strTransferToolPath, location);
    return RunTransfer(location.m_strName, "manual", command, transfer::kManualTransferName);
}

bool ProgramRunner::AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath,
                                 bool serverToClient, std::int32_t overwriteMode, bool hide)
{
    transfer::AutoLaunch launch{serverPath, clientPath, serverToClient, overwriteMode, hide,
                                transfer::AutoTransferSkipReason(serverPath, clientPath), serverPath};
    return ConnectTransfer(launch);
}

bool ProgramRunner::ConnectTransfer(const transfer::AutoLaunch& launch)
{
    const char* direction = journal::DirectionName(launch.serverToClient);
    if (!launch.Starts()) {
        m_journal.Write(journal::TransferSkipped(launch.location, direction, launch.skipReason));
        return false;
    }
    const std::u16string command = transfer::AutoTransferCommandLine(
        m_strTransferToolPath, launch.serverPath, launch.clientPath, launch.serverToClient, launch.overwriteMode,
        launch.hide);
    return RunTransfer(launch.location, direction, command, transfer::kAutoTransferName);
}

} // namespace runner
