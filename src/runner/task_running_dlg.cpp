#include "runner/task_running_dlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QTimerEvent>

#include <cstdint>

#include "config/text.h"
#include "framework/modal_seam.h"
#include "transfer/command_lines.h"

namespace {

QString Text(const std::u16string& s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// Dialog units of the window's font, the way the classic dialog templates
// measure: a quarter of the average character width across, an eighth of
// the character height down.
class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics& fm)
        : m_baseX((fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2),
          m_baseY(fm.height())
    {
    }
    int X(int units) const { return (units * m_baseX + 2) / 4; }
    int Y(int units) const { return (units * m_baseY + 4) / 8; }

private:
    int m_baseX;
    int m_baseY;
};

} // namespace

CTaskRunningDlg::CTaskRunningDlg(framework::ModalSeam& seam, bool administrator, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_seam(seam),
      m_bAdministrator(administrator)
{
    setObjectName(QStringLiteral("CTaskRunningDlg"));
    setWindowTitle(QStringLiteral("Running Task...."));
    setModal(true);

    m_btnEndTask = new QPushButton(QStringLiteral("End Task"), this);
    m_btnEndTask->setObjectName(QStringLiteral("IDC_END_TASK"));
    m_btnEndTask->setDefault(true);

    const DialogUnits du(fontMetrics());
    setFixedSize(du.X(157), du.Y(38));
    m_btnEndTask->setGeometry(du.X(44), du.Y(12), du.X(70), du.Y(14));

    connect(m_btnEndTask, &QPushButton::clicked, this, &CTaskRunningDlg::OnEndTask);
}

CTaskRunningDlg::~CTaskRunningDlg() = default;

void CTaskRunningDlg::Init(const CTSUserScriptItem& script)
{
    m_script = script;
    m_bRunning = false;
    m_bTimedOut = false;
    m_bTimed = script.m_nTimeout != -1;
}

bool CTaskRunningDlg::Start()
{
    const std::string commandLine = config::ToUtf8(transfer::ScriptCommandLine(m_script));
    m_bStarted = m_processInfo.Start(commandLine, config::ToUtf8(m_script.m_strWorkingDirectory));
    return m_bStarted;
}

bool CTaskRunningDlg::RunNoWait()
{
    if (!Start())
        return false;
    m_bRunning = true;
    m_bTimedOut = false;
    m_processInfo.Detach();
    return true;
}

bool CTaskRunningDlg::RunAndWait()
{
    if (!Start())
        return false;
    m_bRunning = true;
    m_bTimedOut = false;
    OnInitDialog();
    return m_seam.RunDialog(*this) == QDialog::Accepted;
}

bool CTaskRunningDlg::OnInitDialog()
{
    m_nTimerId = SetTimer(kTickMilliseconds);
    if (m_nTimerId == 0)
        Message(QStringLiteral("Error Setting Task Timer"));
    setWindowTitle(QStringLiteral("Running ") + Text(m_script.m_strDisplayName));
    if (!m_script.m_bUserCanAbort && !m_bAdministrator)
        m_btnEndTask->setEnabled(false);
    return true;
}

void CTaskRunningDlg::timerEvent(QTimerEvent* event)
{
    // Only the dialog's own timer ticks; Qt may run timers of its own here.
    if (m_nTimerId != 0 && event->timerId() == m_nTimerId)
        OnTimer();
    else
        QDialog::timerEvent(event);
}

void CTaskRunningDlg::OnTimer()
{
    if (m_processInfo.HasEnded()) {
        m_bRunning = false;
        // The dialog is closing: no further counting, so the title keeps
        // saying "Terminating" and no new timer outlives it.
        OnEndTask();
        return;
    }
    if (!m_bTimed)
        return;

    // Each tick counts as 10 ms, however late it came; the limit is unsigned,
    // so only -1 means "no limit".
    auto remaining = static_cast<std::uint32_t>(m_script.m_nTimeout);
    if (remaining > 0)
        remaining = remaining > kTickMilliseconds ? remaining - kTickMilliseconds : 0;
    m_script.m_nTimeout = static_cast<std::int32_t>(remaining);
    if (remaining != 0)
        return;

    if (!m_bTimedOut) {
        setWindowTitle(QStringLiteral("Timeout Executing ") + Text(m_script.m_strDisplayName));
        m_bTimedOut = true;
    }
    if (m_btnEndTask->isEnabled()) {
        FlashWindow();
        KillTimer(m_nTimerId);
        m_nTimerId = SetTimer(kFlashMilliseconds);
    } else {
        m_btnEndTask->setEnabled(true);
    }
}

void CTaskRunningDlg::OnEndTask()
{
    setWindowTitle(QStringLiteral("Terminating ") + Text(m_script.m_strDisplayName));
    KillTimer(m_nTimerId);
    m_nTimerId = 0;
    if (m_bRunning) {
        if (m_processInfo.Terminate()) {
            m_bRunning = false;
            m_bEndedByUser = true;
        }
        else
            Message(QStringLiteral("Error Terminating Task"));
    }
    done(QDialog::Accepted);
}

int CTaskRunningDlg::SetTimer(int milliseconds)
{
    const int id = CreateTimer(milliseconds);
    if (id != 0)
        m_nTimerInterval = milliseconds;
    return id;
}

void CTaskRunningDlg::KillTimer(int timerId)
{
    if (timerId != 0)
        DestroyTimer(timerId);
}

int CTaskRunningDlg::CreateTimer(int milliseconds) { return startTimer(milliseconds); }

void CTaskRunningDlg::DestroyTimer(int timerId) { killTimer(timerId); }

void CTaskRunningDlg::FlashWindow()
{
    QApplication::alert(this, kFlashMilliseconds / 2);
}

void CTaskRunningDlg::Message(const QString& text)
{
    framework::MessageRequest request;
    request.text = text;
    request.owner = this;
    m_seam.ShowMessage(request);
}
