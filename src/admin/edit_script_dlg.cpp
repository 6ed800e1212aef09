#include "admin/edit_script_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <cstdint>

#include "admin/qt_text.h"
#include "framework/modal_seam.h"

CEditScriptDlg::CEditScriptDlg(framework::ModalSeam& seam, QWidget* parent) : QDialog(parent), m_seam(seam)
{
    setObjectName(QStringLiteral("CEditScriptDlg"));
    setWindowTitle(QStringLiteral("Edit Executable Script/Program"));

    m_displayName = new QLineEdit(this);
    m_programPath = new QLineEdit(this);
    m_workingDirectory = new QLineEdit(this);
    m_arguments = new QLineEdit(this);
    m_seconds = new QLineEdit(this);
    m_userCanAbort =
        new QCheckBox(QStringLiteral("User can Abort Program Execution (does not apply to administrators)"), this);
    m_enabled = new QCheckBox(QStringLiteral("Enable User Logon Script"), this);

    // Controls carry their classic ids as names.
    const std::pair<QWidget*, const char*> names[] = {
        {m_displayName, "1000"}, {m_programPath, "1029"}, {m_workingDirectory, "1030"}, {m_arguments, "1031"},
        {m_seconds, "1032"},     {m_userCanAbort, "1034"}, {m_enabled, "1036"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    m_wait = new QButtonGroup(this);
    auto* waitFor = new QRadioButton(QStringLiteral("Wait For Program Completion for"), this);
    auto* waitForever = new QRadioButton(QStringLiteral("Wait for Program Completion Forever"), this);
    auto* dontWait = new QRadioButton(QStringLiteral("Don't Wait for Program Completion"), this);
    waitFor->setObjectName(QStringLiteral("1037"));
    waitForever->setObjectName(QStringLiteral("1038"));
    dontWait->setObjectName(QStringLiteral("1039"));
    m_wait->addButton(waitFor, kWaitFor);
    m_wait->addButton(waitForever, kWaitForever);
    m_wait->addButton(dontWait, kDontWait);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Display Name:"), m_displayName);
    form->addRow(QStringLiteral("Execuatable Full Path: "), m_programPath);
    form->addRow(QStringLiteral("Working Directory: "), m_workingDirectory);
    form->addRow(QStringLiteral("Program Arguments: "), m_arguments);
    auto* waitRow = new QHBoxLayout;
    waitRow->addWidget(waitFor);
    waitRow->addWidget(m_seconds);
    waitRow->addWidget(new QLabel(QStringLiteral("Seconds"), this));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditScriptDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditScriptDlg::reject);
    connect(m_enabled, &QCheckBox::clicked, this, &CEditScriptDlg::OnEnableScript);
    connect(m_wait, &QButtonGroup::idClicked, this, &CEditScriptDlg::OnWaitMode);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    layout->addLayout(form);
    layout->addLayout(waitRow);
    layout->addWidget(waitForever);
    layout->addWidget(dontWait);
    layout->addWidget(m_userCanAbort);
    layout->addWidget(buttons);

    UpdateData(false);
}

bool CEditScriptDlg::LoadFromItem(const CTSUserScriptItem& item)
{
    m_strArguments = admin::ToQString(item.m_strArguments);
    m_bUserCanAbort = item.m_bUserCanAbort != 0;
    m_strProgramPath = admin::ToQString(item.m_strProgramPath);
    m_strDisplayName = admin::ToQString(item.m_strDisplayName);
    m_nWaitSeconds = item.m_nTimeout == -1 ? 30 : static_cast<int>(static_cast<std::uint32_t>(item.m_nTimeout) / 1000);
    if (!item.m_bWait)
        m_nWaitMode = kDontWait;
    else
        m_nWaitMode = item.m_nTimeout == -1 ? kWaitForever : kWaitFor;
    m_strWorkingDirectory = admin::ToQString(item.m_strWorkingDirectory);
    m_bEnabled = item.m_bEnabled != 0;
    UpdateData(false);
    return true;
}

bool CEditScriptDlg::StoreToItem(CTSUserScriptItem& item) const
{
    item.m_strArguments = admin::ToU16(m_strArguments);
    item.m_bUserCanAbort = m_bUserCanAbort;
    item.m_strProgramPath = admin::ToU16(m_strProgramPath);
    item.m_strDisplayName = admin::ToU16(m_strDisplayName);
    if (m_nWaitMode == kWaitFor)
        item.m_nTimeout = m_nWaitSeconds > 0 ? std::min(m_nWaitSeconds, kMaxWaitSeconds) * 1000 : 0;
    else
        item.m_nTimeout = -1;
    item.m_bWait = m_nWaitMode != kDontWait;
    item.m_strWorkingDirectory = admin::ToU16(m_strWorkingDirectory);
    item.m_bEnabled = m_bEnabled;
    return true;
}

bool CEditScriptDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        bool ok = false;
        const int seconds = m_seconds->text().trimmed().toInt(&ok);
        if (!ok) {
            m_seam.Message(QStringLiteral("Please enter an integer."), framework::MessageButtons::Ok,
                           framework::MessageIcon::Warning, this);
            m_seconds->setFocus();
            m_seconds->selectAll();
            return false;
        }
        m_strArguments = m_arguments->text();
        m_bUserCanAbort = m_userCanAbort->isChecked();
        m_strProgramPath = m_programPath->text();
        m_strDisplayName = m_displayName->text();
        m_strWorkingDirectory = m_workingDirectory->text();
        m_nWaitSeconds = seconds;
        m_bEnabled = m_enabled->isChecked();
        return true;
    }
    m_arguments->setText(m_strArguments);
    m_userCanAbort->setChecked(m_bUserCanAbort);
    m_programPath->setText(m_strProgramPath);
    m_displayName->setText(m_strDisplayName);
    m_workingDirectory->setText(m_strWorkingDirectory);
    m_seconds->setText(QString::number(m_nWaitSeconds));
    m_enabled->setChecked(m_bEnabled);
    EnableAllControls(true);
    UpdateWaitControls();
    if (!m_bEnabled)
        EnableAllControls(false);
    return true;
}

void CEditScriptDlg::UpdateWaitControls()
{
    const int mode = m_nWaitMode == kDontWait || m_nWaitMode == kWaitFor ? m_nWaitMode : kWaitForever;
    m_wait->button(mode)->setChecked(true);
    m_seconds->setEnabled(mode == kWaitFor);
    m_userCanAbort->setEnabled(mode != kDontWait);
}

void CEditScriptDlg::EnableAllControls(bool enable)
{
    for (QWidget* w : {static_cast<QWidget*>(m_displayName), static_cast<QWidget*>(m_programPath),
                       static_cast<QWidget*>(m_workingDirectory), static_cast<QWidget*>(m_arguments),
                       static_cast<QWidget*>(m_seconds), static_cast<QWidget*>(m_userCanAbort)})
        w->setEnabled(enable);
    for (QAbstractButton* button : m_wait->buttons())
        button->setEnabled(enable);
}

void CEditScriptDlg::OnEnableScript()
{
    m_bEnabled = !m_bEnabled;
    m_enabled->setChecked(m_bEnabled);
    EnableAllControls(m_bEnabled);
    if (m_bEnabled)
        UpdateWaitControls();
}

void CEditScriptDlg::OnWaitMode(int mode)
{
    m_nWaitMode = mode;
    UpdateWaitControls();
}

void CEditScriptDlg::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}
