#include "app/app_environment.h"

#include <QDesktopServices>

#include "accounts/administrator.h"
#include "app/desktop.h"
#include "platform/module_path.h"
#include "platform/process.h"

namespace app {

std::filesystem::path SystemAppEnvironment::ModuleDirectory() { return platform::GetModuleDirectory(); }

bool SystemAppEnvironment::IsAdministrator() { return accounts::IsAdministrator(m_accounts); }

void SystemAppEnvironment::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

int SystemAppEnvironment::StartProgram(const std::vector<std::string>& argv, const std::string& workingDirectory)
{
    return platform::StartDetached(argv, workingDirectory);
}

bool SystemAppEnvironment::HasWindowManager() { return app::HasWindowManager(); }

} // namespace app
