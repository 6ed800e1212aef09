#include "app/app_environment.h"

#include <QDesktopServices>

#include "accounts/administrator.h"
#include "app/desktop.h"
#include "platform/module_path.h"

namespace app {

std::filesystem::path SystemAppEnvironment::ModuleDirectory() { return platform::GetModuleDirectory(); }

bool SystemAppEnvironment::IsAdministrator() { return accounts::IsAdministrator(m_accounts); }

void SystemAppEnvironment::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

bool SystemAppEnvironment::HasWindowManager() { return app::HasWindowManager(); }

} // namespace app
