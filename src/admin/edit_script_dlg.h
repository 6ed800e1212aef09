#pragma once
#include <QDialog>
#include <QString>

#include "config/records.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QWidget;

namespace framework {
class ModalSeam;
}

// "Edit Executable Script/Program": the logon program of a user or group,
// whether it runs, how long the session start waits for it and whether the
// user may abort it.
class CEditScriptDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 138 };
    enum WaitMode { kDontWait = 0, kWaitFor = 1, kWaitForever = 2 };
    // The most seconds whose milliseconds still fit the stored timeout.
    static constexpr int kMaxWaitSeconds = 2147483;

    explicit CEditScriptDlg(framework::ModalSeam& seam, QWidget* parent = nullptr);

    bool LoadFromItem(const CTSUserScriptItem& item);
    bool StoreToItem(CTSUserScriptItem& item) const;

    // Moves the values between the members and the controls; false (after
    // the message) when the seconds box holds no integer.
    bool UpdateData(bool saveAndValidate);

    int m_nWaitMode = kWaitForever;
    QString m_strArguments;
    bool m_bUserCanAbort = false;
    QString m_strProgramPath;
    QString m_strDisplayName;
    QString m_strWorkingDirectory;
    int m_nWaitSeconds = 0;
    bool m_bEnabled = false;

    void accept() override;

private:
    void InitDialog();
    void UpdateWaitControls();
    void EnableAllControls(bool enable);
    void OnEnableScript();
    void OnWaitMode(int mode);

    framework::ModalSeam& m_seam;
    QLineEdit* m_displayName;
    QLineEdit* m_programPath;
    QLineEdit* m_workingDirectory;
    QLineEdit* m_arguments;
    QLineEdit* m_seconds;
    QCheckBox* m_userCanAbort;
    QCheckBox* m_enabled;
    QButtonGroup* m_wait;
};
