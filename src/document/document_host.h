#pragma once
#include <cstdint>
#include <string>

#include "journal/journal.h"
#include "transfer/connect_plan.h"

class CTSAppDataItem;
class CTSUserScriptItem;
class QUrl;
class QWidget;

namespace document {

// What the configuration document and its panes need from the application
// object: its flags, the launches it owns and help. The application
// implements it; tests pass a fake, so nobody reaches for a global
// application object.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    virtual bool IsAdministrator() const = 0;  // the rights test's result
    virtual bool IsServiceMode() const = 0;    // started with "service"
    virtual void SetLogoffOnExit() = 0;        // arm the session logoff at exit

    virtual bool RunScript(const CTSUserScriptItem& script) = 0;
    virtual bool AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath,
                              bool serverToClient, std::int32_t overwriteMode, bool hide) = 0;
    virtual bool ManualTransfer(const CTSAppDataItem& location) = 0;
    // One transfer of the session start's plan, started or skipped.
    virtual bool ConnectTransfer(const transfer::AutoLaunch& launch)
    {
        return launch.Starts() && AutoTransfer(launch.serverPath, launch.clientPath, launch.serverToClient,
                                               launch.overwriteMode, launch.hide);
    }
    // Where the program's records go; nowhere unless the application says.
    virtual journal::Journal Journal() const { return {}; }
    virtual void LaunchDefaultShell() = 0;

    // What the panes ask of the application through the document.
    virtual bool IsAdministratorView() const = 0;  // the frame shows the administrator face now
    virtual void OpenHelp() = 0;                   // the program's help
    // Opens a file or web address with the program the face allows.
    virtual void OpenItem(const QUrl& url) = 0;

    // Owner of the document's dialogs; null before the main window exists.
    virtual QWidget* MainWindow() const = 0;
};

} // namespace document
