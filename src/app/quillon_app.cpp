#include "app/quillon_app.h"

#include <QMetaObject>
#include <QScreen>
#include <QSettings>
#include <QUrl>

#include "app/about_dlg.h"
#include "app/app_environment.h"
#include "app/command_line_words.h"
#include "app/configuration_transfer.h"
#include "app/help_window.h"
#include "app/screen_follower.h"
#include "config/config_file.h"
#include "document/configuration_backup.h"
#include "document/quillon_doc.h"
#include "document/shell_launcher.h"
#include "framework/command_actions.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "framework/modal_seam.h"
#include "journal/events.h"
#include "opening/file_opener.h"
#include "platform/files.h"
#include "platform/module_path.h"
#include "runner/program_runner.h"

using namespace framework;

namespace {

// Without a known directory this names a file in the root.
QString Beside(const QString& directory, const char* name)
{
    return directory + QLatin1Char('/') + QString::fromUtf8(name);
}

bool CopyReplacing(const QString& from, const QString& to)
{
    return !platform::CopyFileReplacing(Document::ToFilePath(from), Document::ToFilePath(to));
}

// The configuration an import replaces is kept beside it.
bool ReplaceStoredConfiguration(const QString& from, const QString& storedPath)
{
    return !document::ReplaceConfigurationKeepingBackup(Document::ToFilePath(from), Document::ToFilePath(storedPath));
}

// What an import put in place of the configuration, against what was read.
void JournalImport(const journal::Journal& journal, const CQuillonDoc& document, const QString& storedPath, bool done)
{
    const std::filesystem::path stored = Document::ToFilePath(storedPath);
    if (!done) {
        journal.Write(
            journal::ConfigurationSaveFailed(stored.string(), "import", "the chosen file could not be copied over it"));
        return;
    }
    CTSUserData imported;
    config::LoadConfigurationFile(stored, imported);
    journal.Write(journal::ConfigurationSaved(stored.string(), "import",
                                              journal::CompareEntries(document.ReadEntries(), imported)));
}

QString OpenedPath(const QUrl& url) { return url.isLocalFile() ? url.toLocalFile() : url.toString(); }

} // namespace

CQuillonApp::CQuillonApp(ModalSeam& seam, app::AppEnvironment& environment, platform::AccountServices& accounts,
                         platform::SessionServices& session, journal::Journal journal, QObject* parent)
    : QObject(parent),
      m_seam(seam),
      m_journal(std::move(journal)),
      m_environment(environment),
      m_accounts(accounts),
      m_router(std::make_unique<CommandRouter>()),
      m_actions(std::make_unique<CommandActions>(*m_router)),
      m_shell(std::make_unique<document::ShellLauncher>(seam, session))
{
    m_router->SetApplication(this);
    RegisterCommands();
}

CQuillonApp::~CQuillonApp()
{
    delete m_help.data();
    // The frame and its views go before the document they point into.
    delete m_pMainFrame.data();
}

QString CQuillonApp::ModuleDirectory() const
{
    return QString::fromStdU16String(m_environment.ModuleDirectory().u16string());
}

bool CQuillonApp::InitInstance(const QStringList& arguments)
{
    QSettings settings(QStringLiteral("Varnel Software"), QStringLiteral("Quillon"));
    const QString directory = ModuleDirectory();
    m_strConfigPath = Beside(directory, platform::kConfigFileName);
    m_bAdministrator = m_environment.IsAdministrator();
    m_strTransferToolPath = Beside(directory, platform::kTransferToolName);
    m_recentFiles.Load(settings);

    m_runner = std::make_unique<runner::ProgramRunner>(m_seam, m_bAdministrator,
                                                       m_strTransferToolPath.toStdU16String(), m_journal);
    m_pDocument = std::make_unique<CQuillonDoc>(m_seam, *this, m_accounts);
    m_router->SetDocument(m_pDocument.get());

    m_bServiceMode = app::IsServiceMode(app::ParseCommandLine(arguments));

    // The frame and its views exist, unseen, while the document opens: the
    // session start may run programs and show their progress meanwhile.
    auto* frame = new CMainFrame(m_bAdministrator, *m_pDocument, *m_router, *m_actions, *this);
    m_pMainFrame = frame;
    if (!frame->Create() || !OpenConfiguration()) {
        m_router->SetFrame(nullptr);
        delete frame;
        return false;
    }
    ShowMainWindow();
    return true;
}

bool CQuillonApp::OpenConfiguration()
{
    m_router->SetFrame(m_pMainFrame.data());
    if (!m_pDocument->OpenDocumentFile(m_strConfigPath))
        return false;
    // Only a frame that holds an opened document is the main window.
    m_bMainWindowSet = true;
    m_runner->SetOwnerWindow(m_pMainFrame.data());
    AfterDocumentChanged(true);
    return true;
}

void CQuillonApp::AfterDocumentChanged(bool opened)
{
    if (opened)
        m_recentFiles.Add(m_pDocument->GetPathName());
    if (m_pMainFrame)
        m_pMainFrame->InitialUpdateFrame();
    m_actions->RequestRefresh();
}

void CQuillonApp::ShowMainWindow()
{
    CMainFrame* frame = m_pMainFrame.data();
    // A session's workplace takes the whole screen, and keeps it when the
    // screen changes; without a window manager it places itself.
    if (m_bServiceMode) {
        auto* follower = new app::ScreenFollower(*frame, [this] { return m_environment.HasWindowManager(); });
        follower->Show();
        return;
    }
    const QRect available = frame->screen() ? frame->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    frame->resize(available.size() * 3 / 4);
    frame->move(available.center() - frame->rect().center());
    frame->show();
}

int CQuillonApp::ExitInstance()
{
    QSettings settings(QStringLiteral("Varnel Software"), QStringLiteral("Quillon"));
    m_recentFiles.Save(settings);
    if (m_bLogoffOnExit) {
        const std::chrono::duration<double> lasted = std::chrono::steady_clock::now() - m_started;
        m_journal.Write(journal::SessionEnd(lasted.count()));
        m_shell->LogoffSession();
    }
    return 0;
}

void CQuillonApp::RegisterCommands()
{
    Commands().On(ID_FILE_NEW, [this] { OnFileNew(); });
    Commands().On(ID_FILE_OPEN, [this] { OnFileOpen(); });
    Commands().On(ID_IMPORT_CONFIGURATION, [this] { OnImportConfiguration(); });
    Commands().On(ID_EXPORT_CONFIGURATION, [this] { OnExportConfiguration(); });
    Commands().On(ID_APP_ABOUT, [this] { OnAppAbout(); });
    Commands().On(ID_HELP_FINDER, [this] { OnHelpFinder(); });
    Commands().On(ID_APP_EXIT, [this] { OnAppExit(); });
    // The configuration's own commands belong to the administrator's face:
    // in the user's they are greyed, so that no key reaches them either.
    for (const int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_IMPORT_CONFIGURATION, ID_EXPORT_CONFIGURATION})
        Commands().OnUpdate(id, [this](CommandState& state) { state.enabled = IsAdministratorView(); });
}

bool CQuillonApp::ConfirmDiscardChanges()
{
    if (!MainWindow() || !m_pDocument->IsModified())
        return true;
    if (m_seam.Message(QStringLiteral("You have unsaved changes\nIf you continue you will loose those changes\nAre "
                                      "you sure you want to continue and loose those changes ?"),
                       MessageButtons::YesNo)
        != Answer::Yes)
        return false;
    m_pDocument->SetModifiedFlag(false);
    return true;
}

void CQuillonApp::OnFileNew()
{
    if (!ConfirmDiscardChanges())
        return;
    if (m_pDocument->OpenDocumentFile(QString()))
        AfterDocumentChanged(false);
}

// Reads the configuration again from disk; no file dialog.
void CQuillonApp::OnFileOpen()
{
    if (MainWindow()) {
        if (!ConfirmDiscardChanges())
            return;
        if (m_pDocument->OpenDocumentFile(QString()))
            AfterDocumentChanged(false);
    }
    if (m_pDocument->OpenDocumentFile(m_strConfigPath))
        AfterDocumentChanged(true);
}

void CQuillonApp::OnExportConfiguration()
{
    app::ExportConfiguration(m_seam, m_pDocument.get(), m_strConfigPath, CopyReplacing);
}

void CQuillonApp::OnImportConfiguration()
{
    const auto replace = [this](const QString& from, const QString& to) {
        const bool done = ReplaceStoredConfiguration(from, to);
        JournalImport(m_journal, *m_pDocument, to, done);
        return done;
    };
    if (!app::ImportConfiguration(m_seam, m_pDocument.get(), m_strConfigPath, replace))
        return;
    // Posted, as the window's own command: it runs once this one is done.
    QMetaObject::invokeMethod(
        this, [this] { m_router->Execute(ID_FILE_OPEN); }, Qt::QueuedConnection);
}

void CQuillonApp::OnAppAbout()
{
    CAboutDlg dialog(m_bAdministrator, [this](const QUrl& url) { OpenItem(url); }, MainWindow());
    m_seam.RunDialog(dialog);
}

void CQuillonApp::OnHelpFinder() { WinHelp(0, 1); }

void CQuillonApp::OnAppExit()
{
    if (QWidget* window = MainWindow())
        window->close();
}

// Every help request shows the help page, in the one help window.
void CQuillonApp::WinHelp(unsigned long, unsigned int)
{
    if (!m_help) {
        // Asked at each click: the face may have changed since the window opened.
        auto external = [this](const QUrl& url) {
            if (IsAdministratorView())
                m_environment.OpenUrl(url);
        };
        m_help = new app::HelpWindow(Beside(ModuleDirectory(), platform::kHelpFileName), external, MainWindow());
        m_help->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void CQuillonApp::OpenItem(const QUrl& url)
{
    if (IsAdministratorView()) {
        m_environment.OpenUrl(url);
        return;
    }
    const opening::OpenDecision decision =
        opening::DecideOpen(url, Document::ToFilePath(Beside(ModuleDirectory(), opening::kOpenWithFileName)));
    QString refusal = decision.refusal;
    if (refusal.isEmpty()) {
        if (const int error = m_environment.StartProgram(decision.argv, decision.workingDirectory))
            refusal = opening::CannotStartText(decision, error);
    }
    const std::string program = decision.argv.empty() ? std::string() : decision.argv.front();
    m_journal.Write(refusal.isEmpty() ? journal::Opened(OpenedPath(url).toStdString(), program)
                                      : journal::Refused(OpenedPath(url).toStdString(), refusal.toStdString()));
    if (!refusal.isEmpty())
        m_seam.ShowMessage({refusal, QString(), MessageButtons::Ok, MessageIcon::Warning, MainWindow()});
}

bool CQuillonApp::RunScript(const CTSUserScriptItem& script) { return m_runner->RunScript(script); }

bool CQuillonApp::AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath,
                               bool serverToClient, std::int32_t overwriteMode, bool hide)
{
    return m_runner->AutoTransfer(serverPath, clientPath, serverToClient, overwriteMode, hide);
}

bool CQuillonApp::ManualTransfer(const CTSAppDataItem& location) { return m_runner->ManualTransfer(location); }

bool CQuillonApp::ConnectTransfer(const transfer::AutoLaunch& launch) { return m_runner->ConnectTransfer(launch); }

// The session start hands a user without locations to the shell before any
// window exists: the program would end there, so the shell replaces it.
void CQuillonApp::LaunchDefaultShell()
{
    if (m_bServiceMode && !MainWindow())
        m_shell->ReplaceWithDefaultShell();
    else
        m_shell->LaunchDefaultShell();
}

QWidget* CQuillonApp::MainWindow() const { return m_bMainWindowSet ? m_pMainFrame.data() : nullptr; }

bool CQuillonApp::IsAdministratorView() const
{
    return MainWindow() && m_pMainFrame->IsAdministratorView();
}
