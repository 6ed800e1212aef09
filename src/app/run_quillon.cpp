#include "app/run_quillon.h"

#include <QApplication>

#include "accounts/session_environment.h"
#include "app/app_environment.h"
#include "app/app_resources.h"
#include "app/quillon_app.h"
#include "app/quillon_modal_seam.h"
#include "platform/accounts.h"
#include "platform/session.h"

namespace app {

int RunQuillon(int argc, char** argv, const std::function<void(QWidget& mainFrame)>& started)
{
    // Before anything reads them: locations may name %USERNAME% and friends.
    accounts::SetSessionEnvironment();

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setOrganizationName(QStringLiteral("Varnel Software"));
    QApplication::setWindowIcon(ApplicationIcon());

    const std::unique_ptr<platform::AccountServices> accounts = platform::CreateSystemAccountServices();
    const std::unique_ptr<platform::SessionServices> session = platform::CreateSystemSessionServices();
    SystemAppEnvironment environment(*accounts);
    QuillonModalSeam seam(*accounts);
    CQuillonApp quillon(seam, environment, *accounts, *session);

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
