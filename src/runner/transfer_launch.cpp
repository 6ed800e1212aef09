#include "runner/program_runner.h"

#include "transfer/command_lines.h"
#include "transfer/connect_plan.h"

// The transfer tool's launches: the command line from the location, the
// tool waited for without a time limit. A transfer with nothing to copy
// (an empty folder, a server folder that cannot be expanded) is not
// started: the tool would be handed the root folder.
namespace runner {

bool ProgramRunner::ManualTransfer(const CTSAppDataItem& location)
{
    if (!transfer::ManualTransferSkipReason(location).empty())
        return false;
    const std::u16string command = transfer::ManualTransferCommandLine(m_strTransferToolPath, location);
    return RunAndWait(transfer::TransferScript(command, transfer::kManualTransferName));
}

bool ProgramRunner::AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath,
                                 bool serverToClient, std::int32_t overwriteMode, bool hide)
{
    if (!transfer::AutoTransferSkipReason(serverPath, clientPath).empty())
        return false;
    const std::u16string command = transfer::AutoTransferCommandLine(m_strTransferToolPath, serverPath, clientPath,
                                                                     serverToClient, overwriteMode, hide);
    return RunAndWait(transfer::TransferScript(command, transfer::kAutoTransferName));
}

} // namespace runner
