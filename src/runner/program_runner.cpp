#include "runner/program_runner.h"

#include "runner/task_running_dlg.h"

namespace runner {

ProgramRunner::ProgramRunner(framework::ModalSeam& seam, bool administrator, std::u16string transferToolPath)
    : m_seam(seam), m_bAdministrator(administrator), m_strTransferToolPath(std::move(transferToolPath))
{
}

bool ProgramRunner::RunScript(const CTSUserScriptItem& script)
{
    if (script.m_strProgramPath.empty())
        return false;
    CTaskRunningDlg dlg(m_seam, m_bAdministrator, m_owner);
    dlg.Init(script);
    return script.m_bWait ? dlg.RunAndWait() : dlg.RunNoWait();
}

bool ProgramRunner::RunAndWait(const CTSUserScriptItem& item)
{
    CTaskRunningDlg dlg(m_seam, m_bAdministrator, m_owner);
    dlg.Init(item);
    return dlg.RunAndWait();
}

} // namespace runner
