#include "runner/program_runner.h"

#include <chrono>

#include "journal/events.h"
#include "platform/system_error.h"
#include "runner/task_running_dlg.h"
#include "transfer/command_lines.h"

namespace runner {

namespace {

// How a program run in the dialog went; `accepted` is the dialog's answer.
journal::ProgramEnd Ending(const CTaskRunningDlg& dlg, bool waited, bool accepted,
                           std::chrono::steady_clock::time_point started)
{
    using Kind = journal::ProgramEnd::Kind;
    journal::ProgramEnd end;
    end.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!dlg.Started()) {
        end.kind = Kind::FailedToStart;
        end.reason = platform::GetSystemErrorText(dlg.StartError());
    } else if (!waited) {
        end.kind = Kind::NotWaited;
    } else if (!accepted) {
        end.kind = Kind::LeftRunning;
    } else {
        end.kind = dlg.IsTimedOut() ? Kind::TimedOut : dlg.EndedByUser() ? Kind::Aborted : Kind::Exited;
        if (!dlg.EndedByUser())
            end.exitCode = dlg.ExitCode();
    }
    return end;
}

} // namespace

ProgramRunner::ProgramRunner(framework::ModalSeam& seam, bool administrator, std::u16string transferToolPath,
                             journal::Journal journal)
    : m_seam(seam),
      m_bAdministrator(administrator),
      m_strTransferToolPath(std::move(transferToolPath)),
      m_journal(std::move(journal))
{
}

bool ProgramRunner::RunScript(const CTSUserScriptItem& script)
{
    if (script.m_strProgramPath.empty())
        return false;
    const auto started = std::chrono::steady_clock::now();
    CTaskRunningDlg dlg(m_seam, m_bAdministrator, m_owner);
    dlg.Init(script);
    const bool result = script.m_bWait ? dlg.RunAndWait() : dlg.RunNoWait();
    m_journal.Write(journal::LogonProgram(transfer::ScriptCommandLine(script),
                                          Ending(dlg, script.m_bWait != 0, result, started)));
    return result;
}

bool ProgramRunner::RunTransfer(const std::u16string& location, const char* direction,
                                const std::u16string& commandLine, const std::u16string& displayName)
{
    const auto started = std::chrono::steady_clock::now();
    CTaskRunningDlg dlg(m_seam, m_bAdministrator, m_owner);
    dlg.Init(transfer::TransferScript(commandLine, displayName));
    const bool result = dlg.RunAndWait();
    m_journal.Write(journal::Transfer(location, direction, commandLine, Ending(dlg, true, result, started)));
    return result;
}

} // namespace runner
