#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

#include "app/main_frame.h"
#include "app/recent_file_list.h"
#include "document/document_host.h"
#include "framework/command_target.h"
#include "journal/journal.h"

class CQuillonDoc;
class CTSAppDataItem;

namespace framework {
class CommandActions;
class CommandRouter;
class ModalSeam;
} // namespace framework

namespace platform {
class AccountServices;
class SessionServices;
} // namespace platform

namespace document {
class ShellLauncher;
}

namespace runner {
class ProgramRunner;
}

namespace app {
class AppEnvironment;
class HelpWindow;
}

// The application object: decides the face at start, fixes the program's
// paths, reads the command line, creates the one document and the main
// frame, and at exit logs the session off when the session start asked for
// it. It also owns the commands on the configuration as a whole, the About
// box and help.
class CQuillonApp : public QObject,
                    public framework::CommandTarget,
                    public document::DocumentHost,
                    public app::FrameHost {
    Q_OBJECT
public:
    CQuillonApp(framework::ModalSeam& seam, app::AppEnvironment& environment, platform::AccountServices& accounts,
                platform::SessionServices& session, journal::Journal journal = {}, QObject* parent = nullptr);
    ~CQuillonApp() override;

    // Start-up: false ends the process without a window. `arguments` are
    // the command line's words after the program name.
    bool InitInstance(const QStringList& arguments);
    // After the message loop: the armed logoff. Returns the exit code.
    int ExitInstance();
    void WinHelp(unsigned long data, unsigned int command) override;

    // DocumentHost
    bool IsAdministrator() const override { return m_bAdministrator; }
    bool IsServiceMode() const override { return m_bServiceMode; }
    void SetLogoffOnExit() override { m_bLogoffOnExit = true; }
    bool RunScript(const CTSUserScriptItem& script) override;
    bool AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath, bool serverToClient,
                      std::int32_t overwriteMode, bool hide) override;
    void LaunchDefaultShell() override;
    QWidget* MainWindow() const override;

    bool ManualTransfer(const CTSAppDataItem& location) override;
    bool ConnectTransfer(const transfer::AutoLaunch& launch) override;
    journal::Journal Journal() const override { return m_journal; }
    // Whether the main window exists and shows the administrator face.
    bool IsAdministratorView() const override;
    void OpenHelp() override { WinHelp(0, 1); }
    // The administrator's face hands it to the desktop; the user's starts
    // only the program the administrator's table lists for it.
    void OpenItem(const QUrl& url) override;

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnImportConfiguration();
    void OnExportConfiguration();
    void OnAppAbout();
    void OnHelpFinder();
    void OnAppExit();

    QString m_strTransferToolPath;
    bool m_bAdministrator = false;
    bool m_bServiceMode = false;
    bool m_bLogoffOnExit = false;
    QString m_strConfigPath;

    CMainFrame* MainFrame() const { return m_pMainFrame.data(); }
    CQuillonDoc* Document() const { return m_pDocument.get(); }
    const app::RecentFileList& RecentFiles() const { return m_recentFiles; }
    framework::CommandRouter& Router() const { return *m_router; }

private:
    void RegisterCommands();
    // The document's path, the frame's views and the recent-file list after
    // the document was opened or made new.
    void AfterDocumentChanged(bool opened);
    // Asks before unsaved changes are dropped; false to leave things be.
    bool ConfirmDiscardChanges();
    bool OpenConfiguration();
    void ShowMainWindow();
    QString ModuleDirectory() const;

    framework::ModalSeam& m_seam;
    journal::Journal m_journal;
    const std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    app::AppEnvironment& m_environment;
    platform::AccountServices& m_accounts;
    std::unique_ptr<framework::CommandRouter> m_router;
    std::unique_ptr<framework::CommandActions> m_actions;
    std::unique_ptr<document::ShellLauncher> m_shell;
    std::unique_ptr<runner::ProgramRunner> m_runner;
    std::unique_ptr<CQuillonDoc> m_pDocument;
    QPointer<CMainFrame> m_pMainFrame;
    bool m_bMainWindowSet = false;
    app::RecentFileList m_recentFiles{4};
    QPointer<app::HelpWindow> m_help;
};
