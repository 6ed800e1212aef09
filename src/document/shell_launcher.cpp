#include "document/shell_launcher.h"

#include "framework/modal_seam.h"
#include "platform/session.h"

namespace document {

ShellLauncher::ShellLauncher(framework::ModalSeam& seam, platform::SessionServices& session)
    : m_seam(seam), m_session(session)
{
}

void ShellLauncher::LaunchDefaultShell()
{
    if (m_session.StartDefaultShell())
        return;
    Fallback();
}

void ShellLauncher::ReplaceWithDefaultShell()
{
    if (m_session.ReplaceWithDefaultShell())
        return;
    Fallback();
}

void ShellLauncher::Fallback()
{
    m_seam.Message(QStringLiteral("Error launching default shell, will try alternative shell"));
    m_session.OpenHomeFolder();
}

void ShellLauncher::LogoffSession() { m_session.LogoffSession(); }

} // namespace document
