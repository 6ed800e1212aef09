#include "admin/edit_script_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "admin/dialog_layout.h"
#include "admin/qt_text.h"
#include "framework/modal_seam.h"

CEditScriptDlg::CEditScriptDlg(framework::ModalSeam& seam, QWidget* parent) : QDialog(parent), m_seam(seam)
{
    setObjectName(QStringLiteral("CEditScriptDlg"));
    setWindowTitle(QStringLiteral("Edit Executable Script/Program"));

    // Made in the order Tab visits them.
    auto* enableBox = new QGroupBox(this);
    m_enabled = new QCheckBox(QStringLiteral("Enable User &Logon Script"), enableBox);
    auto* programBox = new QGroupBox(this);
    m_displayName = new QLineEdit(programBox);
    m_programPath = new QLineEdit(programBox);
    m_workingDirectory = new QLineEdit(programBox);
    m_arguments = new QLineEdit(programBox);
    auto* waitBox = new QGroupBox(this);
    auto* waitFor = new QRadioButton(QStringLiteral("Wait For Program Completion &for"), waitBox);
    m_seconds = new QLineEdit(waitBox);
    auto* waitForever = new QRadioButton(QStringLiteral("Wait for Program Completion F&orever"), waitBox);
    auto* dontWait = new QRadioButton(QStringLiteral("Do&n't Wait for Program Completion"), waitBox);
    auto* abortBox = new QGroupBox(this);
    m_userCanAbort = new QCheckBox(
        QStringLiteral("&User can Abort Program Execution (does not apply to administrators)"), abortBox);

    // Controls carry their classic ids as names.
    const std::pair<QWidget*, const char*> names[] = {
        {m_displayName, "1000"}, {m_programPath, "1029"}, {m_workingDirectory, "1030"}, {m_arguments, "1031"},
        {m_seconds, "1032"},     {m_userCanAbort, "1034"}, {m_enabled, "1036"},        {waitFor, "1037"},
        {waitForever, "1038"},   {dontWait, "1039"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    m_wait = new QButtonGroup(this);
    m_wait->addButton(waitFor, kWaitFor);
    m_wait->addButton(waitForever, kWaitForever);
    m_wait->addButton(dontWait, kDontWait);

    // Room for the longest number the box accepts.
    m_seconds->setMaximumWidth(m_seconds->fontMetrics().horizontalAdvance(QStringLiteral("-2147483648 ")) +
                               m_seconds->sizeHint().height());
    m_seconds->setAlignment(Qt::AlignRight);

    (new QVBoxLayout(enableBox))->addWidget(m_enabled);

    auto* programLayout = new QVBoxLayout(programBox);
    const std::pair<const char*, QLineEdit*> fields[] = {{"&Display Name:", m_displayName},
                                                         {"E&xecuatable Full Path: ", m_programPath},
                                                         {"&Working Directory: ", m_workingDirectory},
                                                         {"Program &Arguments: ", m_arguments}};
    for (const auto& [caption, edit] : fields) {
        programLayout->addWidget(admin::BuddyLabel(QString::fromUtf8(caption), edit));
        programLayout->addWidget(edit);
    }

    auto* waitLayout = new QGridLayout(waitBox);
    waitLayout->addWidget(waitFor, 0, 0);
    waitLayout->addWidget(m_seconds, 0, 1);
    waitLayout->addWidget(admin::BuddyLabel(QStringLiteral("&Seconds"), m_seconds), 0, 2);
    waitLayout->addWidget(waitForever, 1, 0, 1, 3);
    waitLayout->addWidget(dontWait, 2, 0, 1, 3);
    waitLayout->setColumnStretch(3, 1);

    (new QVBoxLayout(abortBox))->addWidget(m_userCanAbort);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(enableBox);
    layout->addWidget(programBox);
    layout->addWidget(waitBox);
    layout->addWidget(abortBox);
    layout->addStretch(1);
    layout->addWidget(admin::OkCancelButtons(*this));

    connect(m_enabled, &QCheckBox::clicked, this, &CEditScriptDlg::OnEnableScript);
    connect(m_wait, &QButtonGroup::idClicked, this, &CEditScriptDlg::OnWaitMode);

    InitDialog();
    admin::ResizeToDialogUnits(*this, 271, 297);
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
    InitDialog();
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
    return true;
}

void CEditScriptDlg::InitDialog()
{
    UpdateData(false);
    EnableAllControls(true);
    UpdateWaitControls();
    if (!m_bEnabled)
        EnableAllControls(false);
}

void CEditScriptDlg::UpdateWaitControls()
{
    const int mode = m_nWaitMode == kDontWait || m_nWaitMode == kWaitFor ? m_nWaitMode : kWaitForever;
    m_wait->button(mode)->setChecked(true);
    admin::TabStopOnChecked(*m_wait);
    m_seconds->setEnabled(mode == kWaitFor);
    m_userCanAbort->setEnabled(mode != kDontWait);
}

void CEditScriptDlg::EnableAllControls(bool enable)
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_displayName, m_programPath, m_workingDirectory, m_arguments,
                                                      m_seconds, m_wait->button(kWaitFor),
                                                      m_wait->button(kWaitForever), m_wait->button(kDontWait),
                                                      m_userCanAbort})
        w->setEnabled(enable);
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
