#include "transfer/command_lines.h"

#include "platform/path_separator.h"
#include "transfer/expand_path.h"

namespace transfer {

namespace {

std::u16string Expanded(const std::u16string& path)
{
    // A path that cannot be expanded is passed empty, as the tool has
    // always received it.
    std::u16string out;
    ExpandPath(path, out);
    return out;
}

const char16_t* OverwriteSwitch(std::int32_t mode)
{
    switch (mode) {
    case kOverwriteAlways: return u" -overwrite";
    case kOverwriteIfDifferent: return u" -overwriteIfDiff";
    case kOverwriteSkip: return u" -skip";
    default: return u"";
    }
}

} // namespace

std::u16string ScriptCommandLine(const CTSUserScriptItem& script)
{
    return script.m_strProgramPath + u" " + script.m_strArguments;
}

std::u16string ManualTransferCommandLine(const std::u16string& toolPath, const CTSAppDataItem& location)
{
    const std::u16string serverList = location.m_strName + u";" + Expanded(location.m_strServerLocation);
    std::u16string command = toolPath + u" -SetServerFileList \"" + serverList + u"\"";
    if (!location.m_strClientLocation.empty()) {
        const std::u16string& client = location.m_strClientLocation;
        command += u" -ClientPath \"Default Directory (" + client + u");" + client + u"\"";
    }
    return command;
}

std::u16string AutoTransferCommandLine(const std::u16string& toolPath, const std::u16string& serverPath,
                                       const std::u16string& clientPath, bool serverToClient,
                                       std::int32_t overwriteMode, bool hide)
{
    const char16_t separator = static_cast<char16_t>(platform::kPathSeparator);
    std::u16string command = toolPath + u" -ServerPath \"" + Expanded(serverPath) + separator + u"\" -ClientPath \""
        + clientPath + separator + u"\"";
    command += serverToClient ? u" -Server2Client" : u" -Client2Server";
    command += OverwriteSwitch(overwriteMode);
    if (hide)
        command += u" -hide";
    return command;
}

CTSUserScriptItem TransferScript(const std::u16string& commandLine, const std::u16string& displayName)
{
    CTSUserScriptItem item;
    item.m_strDisplayName = displayName;
    item.m_strProgramPath = commandLine;
    item.m_nTimeout = -1;
    return item;
}

std::vector<TransferStep> ConnectTransfers(const CTSAppDataItem& location)
{
    if (!location.m_bSyncEnabled)
        return {};
    const std::int32_t own = location.m_nOverwriteMode;
    switch (location.m_nConnectAction) {
    case kConnectUpdateClient: return {{true, own}};
    case kConnectUpdateServer: return {{false, own}};
    case kConnectServerMaster: return {{true, kOverwriteIfDifferent}, {false, kOverwriteSkip}};
    case kConnectClientMaster: return {{false, kOverwriteIfDifferent}, {true, kOverwriteSkip}};
    default: return {};
    }
}

} // namespace transfer
