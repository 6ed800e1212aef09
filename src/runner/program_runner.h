#pragma once
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>

#include "config/records.h"
#include "journal/journal.h"

class CTaskRunningDlg;

namespace transfer {
struct AutoLaunch;
}

namespace framework {
class ModalSeam;
}

namespace runner {

// Runs logon programs and the transfer tool, each waited for (where it
// says so) in the running-task dialog. The application object holds one and
// forwards its RunScript, ManualTransfer and AutoTransfer to it. Launches run
// strictly one after another: each returns only when its dialog has closed.
class ProgramRunner {
public:
    // Each logon program and transfer run or skipped is told to `journal`.
    ProgramRunner(framework::ModalSeam& seam, bool administrator, std::u16string transferToolPath,
                  journal::Journal journal = {});

    // The window that owns the running-task dialog; none until there is a
    // main window.
    void SetOwnerWindow(QWidget* owner) { m_owner = owner; }
    bool IsAdministrator() const { return m_bAdministrator; }
    const std::u16string& TransferToolPath() const { return m_strTransferToolPath; }

    // Starts a logon program and, when it says so, waits for it. False for
    // an empty program path, a program that cannot start, or a cancelled wait.
    bool RunScript(const CTSUserScriptItem& script);

    // The transfer tool on one location, for copying by hand.
    bool ManualTransfer(const CTSAppDataItem& location);
    // One automatic transfer between a server and a client folder. False,
    // without starting anything, when there is nothing to transfer (see
    // transfer::AutoTransferSkipReason).
    bool AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath, bool serverToClient,
                      std::int32_t overwriteMode, bool hide);
    // One transfer of the connect plan, under its location's name; a skipped
    // one is only told to the journal.
    bool ConnectTransfer(const transfer::AutoLaunch& launch);

private:
    bool RunTransfer(const std::u16string& location, const char* direction, const std::u16string& commandLine,
                     const std::u16string& displayName);

    framework::ModalSeam& m_seam;
    bool m_bAdministrator;
    std::u16string m_strTransferToolPath;
    QPointer<QWidget> m_owner;
    journal::Journal m_journal;
};

} // namespace runner
