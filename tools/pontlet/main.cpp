// The transfer tool: copies between a location's server folder and the
// user's client folder, either by itself (automatic) or by hand (manual).
#include "accounts/session_environment.h"
#include "automatic_run.h"
#include "config/text.h"
#include "hidden_run.h"
#include "journal/journal.h"
#include "manual_window.h"
#include "outcome_journal.h"
#include "platform/accounts.h"
#include "platform/environment.h"
#include "platform/stop_requests.h"
#include "platform/user_home.h"
#include "pontlet_prompts.h"
#include "progress_window.h"
#include "quillon_version.h"
#include "transfer_options.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

using namespace pontlet;

int Usage(const std::string& error)
{
    std::fprintf(stderr, "pontlet: %s\n%s", error.c_str(), HelpText().c_str());
    return kExitUsage;
}

std::optional<std::u16string> FromEnvironment(std::u16string_view name)
{
    if (auto value = platform::LookupEnvironmentVariable(config::ToUtf8(name)))
        return config::FromUtf8(*value);
    return std::nullopt;
}

QString Native(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

int Automatic(const TransferOptions& o, QtPrompts& prompts, FolderWait wait, const RunJournal& run)
{
    const QString title = AutomaticTitle(o);
    const CopyItem item = AutomaticItems(o).front();
    CopySettings settings;
    settings.policy = o.overwrite;
    settings.createTarget = true;
    settings.awaitFolders = std::move(wait);
    ProgressWindow window({item}, std::move(settings), prompts, title,
                          QObject::tr("From %1\nto %2").arg(Native(item.sourceFolder), Native(item.targetFolder)));
    const Outcome outcome = window.Run(0);
    ReportOutcome(outcome, std::cerr);
    JournalOutcome(&run, o, outcome);
    TellOutcome(prompts, nullptr, title, outcome);
    return outcome.ExitCode();
}

// A stop request (interrupt, terminate, hang-up) ends the program with
// kExitCancelled at any moment: a copy under way is cancelled by its progress
// window, which cleans up and returns; anything else (a report box, a
// question, the idle manual window) holds nothing in flight, so the program
// ends right there instead of waiting for a click.
void EndOnStopRequest(QApplication& app)
{
    auto* watch = new QTimer(&app);
    QObject::connect(watch, &QTimer::timeout, [] {
        if (!platform::StopRequested())
            return;
        for (QWidget* w : QApplication::allWidgets())
            if (auto* progress = qobject_cast<ProgressWindow*>(w); progress && progress->Copying())
                return;
        std::fflush(nullptr);
        std::_Exit(kExitCancelled);
    });
    watch->start(100);
}

// What a hidden transfer ends with when no display opens for its report.
int g_exitWithoutDisplay = kExitDone;

// Qt's complaints about a display that does not open are not the transfer's
// business (standard error has the report); its fatal one ends the program.
void QuietWithoutDisplay(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type != QtFatalMsg)
        return;
    std::fflush(nullptr);
    std::_Exit(g_exitWithoutDisplay);
}

std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv, int exitCode)
{
    g_exitWithoutDisplay = exitCode;
    const QtMessageHandler previous = qInstallMessageHandler(QuietWithoutDisplay);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName("Pontlet");
    EndOnStopRequest(*app);
    return app;
}

} // namespace

int main(int argc, char** argv)
{
    platform::WatchStopRequests();
    // Client folders may name the user as the program's locations do.
    accounts::SetSessionEnvironment();

    TransferOptions o;
    {
        ParseResult parsed = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
        if (!parsed.ok)
            return Usage(parsed.error);
        o = std::move(parsed.options);
    }
    if (o.showHelp) {
        std::fputs(HelpText().c_str(), stdout);
        return kExitDone;
    }
    if (o.showVersion) {
        std::puts("pontlet " QUILLON_VERSION);
        return kExitDone;
    }
    const RunJournal runJournal{journal::SystemJournal("pontlet", *platform::CreateSystemAccountServices())};
    const std::optional<std::filesystem::path> home = platform::HomeFolder();
    const std::string refusal = SettleFolders(o, FromEnvironment, home);
    if (!refusal.empty())
        std::fprintf(stderr, "pontlet: %s\n", refusal.c_str());
    if (o.mode == Mode::Automatic && (o.hide || o.dryRun)) {
        std::unique_ptr<QApplication> app;
        QtPrompts prompts;
        return RunHidden(o, refusal, std::cout, std::cerr, [&](int exitCode) -> Prompts* {
            std::cout.flush();
            app = OpenDisplay(argc, argv, exitCode);
            return &prompts;
        }, ClientDriveWait(o, home), &runJournal);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Pontlet");
    EndOnStopRequest(app);
    QtPrompts prompts;
    if (!refusal.empty()) {
        // Somebody started a transfer they can see: say why nothing happens.
        prompts.Tell(nullptr, QObject::tr("Pontlet"), QString::fromStdString(refusal), {});
        return kExitUsage;
    }
    if (o.mode == Mode::Automatic)
        return Automatic(o, prompts, ClientDriveWait(o, home), runJournal);
    ManualWindow window(o, prompts, nullptr, &runJournal);
    window.show();
    app.exec();
    return kExitDone;
}
