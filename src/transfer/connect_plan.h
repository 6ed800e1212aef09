#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/records.h"

// Which automatic transfers run when a user connects, with the reason for
// each one that is not started. The program launches the plan's transfers;
// `quillonctl session --dry-run` prints the same plan.
namespace transfer {

struct AutoLaunch {
    std::u16string serverPath;  // as stored; the command line expands it
    std::u16string clientPath;  // as stored
    bool serverToClient = true;
    std::int32_t overwriteMode = kOverwriteAsk;
    bool hide = false;
    std::string skipReason;  // empty when the tool is started
    std::u16string location;  // the location's name

    bool Starts() const { return skipReason.empty(); }
};

// Why an automatic transfer between these folders is not started; empty
// when it is. A folder that is empty, or a server folder that expands to
// nothing or cannot be expanded, leaves nothing to copy: passed on, it would
// name the root folder.
std::string AutoTransferSkipReason(const std::u16string& serverPath, const std::u16string& clientPath);
// The same for a manual transfer, which needs only the server folder.
std::string ManualTransferSkipReason(const CTSAppDataItem& location);

// The launches for the locations, in order, each location's as
// ConnectTransfers says.
std::vector<AutoLaunch> ConnectPlan(const std::vector<CTSAppDataItem>& locations);

} // namespace transfer
