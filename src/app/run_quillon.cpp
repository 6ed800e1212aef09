#include "app/run_quillon.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "accounts/session_environment.h"
#include "app/app_environment.h"
#include "app/app_resources.h"
#include "app/program_info.h"
#include "app/quillon_app.h"
#include "app/quillon_modal_seam.h"
#include "journal/journal.h"
#include "platform/accounts.h"
#include "platform/session.h"

namespace app {

namespace {

// Qt ends a program that finds no display with several lines and an abort
// (a core dump). While the application object is made, what Qt says is held
// back: a fatal message becomes one line on how to run the program and exit
// code 2; otherwise everything held back is passed on unchanged.
struct HeldMessage {
    QtMsgType type;
    std::string category, file, function;
    int line;
    QString text;
};
QtMessageHandler g_previousHandler = nullptr;
std::vector<HeldMessage>* g_held = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fputs(NoDisplayText(), stderr);
        std::_Exit(kExitNoDisplay);
    }
    auto text_of = [](const char* s) { return std::string(s ? s : ""); };
    g_held->push_back({type, text_of(context.category), text_of(context.file), text_of(context.function),
                       context.line, text});
}

class NoDisplayGuard {
public:
    NoDisplayGuard()
    {
        g_held = &m_held;
        g_previousHandler = qInstallMessageHandler(HoldMessage);
    }
    ~NoDisplayGuard()
    {
        qInstallMessageHandler(g_previousHandler);
        g_held = nullptr;
        for (const HeldMessage& m : m_held) {
            const QMessageLogContext context(m.file.c_str(), m.line, m.function.c_str(), m.category.c_str());
            if (g_previousHandler)
                g_previousHandler(m.type, context, m.text);
            else
                qt_message_output(m.type, context, m.text);
        }
    }
    NoDisplayGuard(const NoDisplayGuard&) = delete;
    NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;

private:
    std::vector<HeldMessage> m_held;
};

std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv)
{
    NoDisplayGuard guard;
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace

int RunQuillon(int argc, char** argv, const std::function<void(QWidget& mainFrame)>& started)
{
    // Before anything reads them: locations may name %USERNAME% and friends.
    accounts::SetSessionEnvironment();

    const std::unique_ptr<QApplication> application = OpenDisplay(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setOrganizationName(QStringLiteral("Varnel Software"));
    QApplication::setWindowIcon(ApplicationIcon());
    UseIconThemeWhereNoneIsNamed();

    const std::unique_ptr<platform::AccountServices> accounts = platform::CreateSystemAccountServices();
    const std::unique_ptr<platform::SessionServices> session = platform::CreateSystemSessionServices();
    SystemAppEnvironment environment(*accounts);
    QuillonModalSeam seam(*accounts);
    CQuillonApp quillon(seam, environment, *accounts, *session, journal::SystemJournal("quillon", *accounts));

    // Qt has taken its own options out of the command line by now.
    if (!quillon.InitInstance(QApplication::arguments().mid(1)))
        return quillon.ExitInstance();
    seam.SetMainWindow(quillon.MainWindow());
    if (started)
        started(*quillon.MainFrame());
    const int code = QApplication::exec();
    const int exitCode = quillon.ExitInstance();
    return code != 0 ? code : exitCode;
}

} // namespace app
