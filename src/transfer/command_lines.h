#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/records.h"

// The command lines the program starts: a logon program's, and those of the
// transfer tool that copies between a location's server and client folders.
// Built here without any window code so that the admin tool can show them.
namespace transfer {

// What the runner starts for a logon program: the program path, one blank,
// the arguments. Nothing is quoted; the blank is there even without
// arguments.
std::u16string ScriptCommandLine(const CTSUserScriptItem& script);

// The tool opened on a location's server folder (expanded) and, when one is
// set, its client folder (as stored), for copying by hand.
std::u16string ManualTransferCommandLine(const std::u16string& toolPath, const CTSAppDataItem& location);

// One automatic transfer. The server path is expanded, the client path used
// as given; each gets one path separator after it inside its quotes. Overwrite modes other than 8, 101 and 1042
// add no switch: the tool then asks.
std::u16string AutoTransferCommandLine(const std::u16string& toolPath, const std::u16string& serverPath,
                                       const std::u16string& clientPath, bool serverToClient,
                                       std::int32_t overwriteMode, bool hide);

// The transfer tool's folders are put between double quotes, which a '"' in
// a folder would end, letting the rest become switches of its own: such a
// folder path is refused wherever one enters.
inline constexpr char16_t kForbiddenFolderCharacter = u'"';
inline bool IsTransferableFolderPath(std::u16string_view path)
{
    return path.find(kForbiddenFolderCharacter) == std::u16string_view::npos;
}

inline const std::u16string kManualTransferName = u"Manual File Transfer";
inline const std::u16string kAutoTransferName = u"Auto File Transfer";

// The item the runner waits for while the tool runs: no time limit, abortable.
CTSUserScriptItem TransferScript(const std::u16string& commandLine, const std::u16string& displayName);

// One automatic transfer of a location.
struct TransferStep {
    bool serverToClient = true;
    std::int32_t overwriteMode = kOverwriteAsk;
    bool operator==(const TransferStep&) const = default;
};

// The transfers that run when the user connects, in order: none unless
// synchronisation is on and the connect action is 1 to 4.
std::vector<TransferStep> ConnectTransfers(const CTSAppDataItem& location);

} // namespace transfer
