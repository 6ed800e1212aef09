#include "transfer/connect_plan.h"

#include "transfer/command_lines.h"
#include "transfer/expand_path.h"

namespace transfer {

namespace {

std::string ServerSkipReason(const std::u16string& serverPath)
{
    if (serverPath.empty())
        return "no server folder";
    std::u16string expanded;
    if (!ExpandPath(serverPath, expanded))
        return "the server folder is longer than " + std::to_string(kExpandBufferSize - 1) +
            " characters once expanded";
    if (expanded.empty())
        return "the server folder expands to nothing";
    return {};
}

} // namespace

std::string AutoTransferSkipReason(const std::u16string& serverPath, const std::u16string& clientPath)
{
    std::string reason = ServerSkipReason(serverPath);
    if (reason.empty() && clientPath.empty())
        reason = "no client folder";
    return reason;
}

std::string ManualTransferSkipReason(const CTSAppDataItem& location)
{
    return ServerSkipReason(location.m_strServerLocation);
}

std::vector<AutoLaunch> ConnectPlan(const std::vector<CTSAppDataItem>& locations)
{
    std::vector<AutoLaunch> plan;
    for (const CTSAppDataItem& location : locations) {
        for (const TransferStep& step : ConnectTransfers(location)) {
            plan.push_back({location.m_strServerLocation, location.m_strClientLocation, step.serverToClient,
                            step.overwriteMode, location.m_bHideTransferWindow != 0,
                            AutoTransferSkipReason(location.m_strServerLocation, location.m_strClientLocation),
                            location.m_strName});
        }
    }
    return plan;
}

} // namespace transfer
