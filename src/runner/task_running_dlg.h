#pragma once
#include <QDialog>
#include <QString>

#include "config/records.h"
#include "platform/process.h"

class QPushButton;
class QTimerEvent;

namespace framework {
class ModalSeam;
}

// The small modal window that waits for a started program: it polls the
// program every tick, counts the allowed time down, announces the time-out
// and then flashes, and offers "End Task" to whoever may end the program.
class CTaskRunningDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 137, IDC_END_TASK = 1027 };
    static constexpr int kTickMilliseconds = 10;   // also what each tick counts
    static constexpr int kFlashMilliseconds = 1000;

    // Boxes go through `seam`; an administrator may always end the program.
    CTaskRunningDlg(framework::ModalSeam& seam, bool administrator, QWidget* owner = nullptr);
    ~CTaskRunningDlg() override;

    void Init(const CTSUserScriptItem& script);
    // Starts the program and waits in the dialog: true when the program
    // ended or "End Task" was pressed, false when it could not start or the
    // dialog was cancelled (the program then keeps running).
    bool RunAndWait();
    // Starts the program and lets it run: whether it started.
    bool RunNoWait();

    // The handlers. Public so that a caller can drive a tick by hand.
    bool OnInitDialog();
    void OnTimer();
    void OnEndTask();

    bool IsTimed() const { return m_bTimed; }
    bool IsTimedOut() const { return m_bTimedOut; }
    bool IsRunning() const { return m_bRunning; }
    // The remaining time, as the countdown holds it.
    const CTSUserScriptItem& Script() const { return m_script; }
    // Interval of the running timer in milliseconds; 0 when none runs.
    int TimerInterval() const { return m_nTimerId ? m_nTimerInterval : 0; }
    QPushButton* EndTaskButton() const { return m_btnEndTask; }
    int ProcessId() const { return m_processInfo.Id(); }
    // How the program went, for the journal.
    bool Started() const { return m_bStarted; }
    bool EndedByUser() const { return m_bEndedByUser; }
    int StartError() const { return m_processInfo.Error(); }
    int ExitCode() const { return m_processInfo.ExitCode(); }

protected:
    void timerEvent(QTimerEvent* event) override;
    // The window-system calls, replaceable where a test must see them.
    virtual int CreateTimer(int milliseconds);  // timer id, 0 on failure
    virtual void DestroyTimer(int timerId);
    virtual void FlashWindow();

private:
    int SetTimer(int milliseconds);
    void KillTimer(int timerId);
    bool Start();
    void Message(const QString& text);

    framework::ModalSeam& m_seam;
    bool m_bAdministrator;

    bool m_bTimed = false;
    bool m_bTimedOut = false;
    bool m_bRunning = false;
    bool m_bStarted = false;
    bool m_bEndedByUser = false;
    CTSUserScriptItem m_script;
    int m_nTimerId = 0;
    int m_nTimerInterval = 0;
    platform::Process m_processInfo;
    QPushButton* m_btnEndTask = nullptr;
};
