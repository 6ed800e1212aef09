#include <QApplication>
#include <chrono>
#include <cstdio>

#include "accounts/session_environment.h"
#include "app/app_environment.h"
#include "app/app_resources.h"
#include "app/program_info.h"
#include "app/quillon_app.h"
#include "app/startup_probe.h"
#include "framework/qt_modal_seam.h"
#include "platform/accounts.h"
#include "platform/session.h"

int main(int argc, char** argv)
{
    const auto start = std::chrono::steady_clock::now();
    if (const auto text = app::InformationText({argv + 1, argv + argc})) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    // Before anything reads them: locations may name %USERNAME% and friends.
    accounts::SetSessionEnvironment();

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setOrganizationName(QStringLiteral("Varnel Software"));
    QApplication::setWindowIcon(app::ApplicationIcon());

    const std::unique_ptr<platform::AccountServices> accounts = platform::CreateSystemAccountServices();
    const std::unique_ptr<platform::SessionServices> session = platform::CreateSystemSessionServices();
    app::SystemAppEnvironment environment(*accounts);
    framework::QtModalSeam seam;
    CQuillonApp quillon(seam, environment, *accounts, *session);

    // Qt has taken its own options out of the command line by now.
    if (!quillon.InitInstance(QApplication::arguments().mid(1)))
        return quillon.ExitInstance();
    seam.SetMainWindow(quillon.MainWindow());
    app::ArmStartupProbe(*quillon.MainFrame(), start);
    const int code = QApplication::exec();
    const int exitCode = quillon.ExitInstance();
    return code != 0 ? code : exitCode;
}
