#include "runner/program_runner.h"

#include "transfer/command_lines.h"

// The transfer tool's launches: the command line from the location, the
// tool waited for without a time limit.
namespace runner {

bool ProgramRunner::ManualTransfer(const CTSAppDataItem& location)
{
    const std::u16string command = transfer::ManualTransferCommandLine(m_strTransferToolPath, location);
    return RunAndWait(transfer::TransferScript(command, transfer::kManualTransferName));
}

bool ProgramRunner::AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath,
                                 bool serverToClient, std::int32_t overwriteMode, bool hide)
{
    const std::u16string command = transfer::AutoTransferCommandLine(m_strTransferToolPath, serverPath, clientPath,
                                                                     serverToClient, overwriteMode, hide);
    return RunAndWait(transfer::TransferScript(command, transfer::kAutoTransferName));
}

void ProgramRunner::RunConnectTransfers(const CTSAppDataItem& location)
{
    for (const transfer::TransferStep& step : transfer::ConnectTransfers(location)) {
        AutoTransfer(location.m_strServerLocation, location.m_strClientLocation, step.serverToClient,
                     step.overwriteMode, location.m_bHideTransferWindow != 0);
    }
}

} // namespace runner
