#pragma once
// Shared by the runner's tests: scripts for the probe program and a way to
// run the running-task dialog for real while a poll watches it.
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "config/records.h"
#include "config/text.h"
#include "platform/probe.h"
#include "runner/task_running_dlg.h"

namespace runnertest {

inline CTSUserScriptItem Script(const std::string& program, const std::string& arguments,
                                const std::u16string& name, std::int32_t timeout = -1, bool canAbort = true,
                                bool wait = true)
{
    CTSUserScriptItem item;
    item.m_strProgramPath = config::FromUtf8(program);
    item.m_strArguments = config::FromUtf8(arguments);
    item.m_strDisplayName = name;
    item.m_nTimeout = timeout;
    item.m_bUserCanAbort = canAbort;
    item.m_bWait = wait;
    return item;
}

// Runs the dialog's own modal loop; `poll` looks at it every few
// milliseconds and may press its button. A loop that never ends is cut off
// with a failure, so a broken runner cannot hang the test.
inline int ExecWatched(QDialog& dialog, const std::function<void(CTaskRunningDlg&)>& poll)
{
    auto* dlg = qobject_cast<CTaskRunningDlg*>(&dialog);
    if (!dlg) {
        ADD_FAILURE() << "not the running-task dialog";
        return QDialog::Rejected;
    }
    QElapsedTimer age;
    age.start();
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, dlg, [&] {
        if (age.elapsed() > 20000) {
            ADD_FAILURE() << "the dialog did not close";
            dlg->reject();
            return;
        }
        poll(*dlg);
    });
    timer.start();
    return dialog.exec();
}

} // namespace runnertest
