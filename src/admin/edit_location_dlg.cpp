#include "admin/edit_location_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

#include "admin/location_paths.h"
#include "admin/qt_text.h"
#include "framework/modal_seam.h"

namespace {

QButtonGroup* RadioGroup(QWidget* owner, QGroupBox* box, const QStringList& captions, const QStringList& names)
{
    auto* group = new QButtonGroup(owner);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto* radio = new QRadioButton(captions[i], box);
        radio->setObjectName(names.value(i));
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    return group;
}

// -1 (or any index the group lacks) checks no button.
void CheckIndex(QButtonGroup* group, int index)
{
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(group->id(button) == index);
    group->setExclusive(true);
}

} // namespace

CEditLocationDlg::CEditLocationDlg(framework::ModalSeam& seam, QWidget* parent) : QDialog(parent), m_seam(seam)
{
    setObjectName(QStringLiteral("CEditLocationDlg"));
    setWindowTitle(QStringLiteral("Edit Location"));

    m_name = new QLineEdit(this);
    m_server = new QLineEdit(this);
    m_client = new QLineEdit(this);
    m_sync = new QCheckBox(QStringLiteral("Enable Contents Synchronization"), this);
    m_hide = new QCheckBox(QStringLiteral("Hide File Transfer Window"), this);
    m_clientToServer = new QCheckBox(QStringLiteral("Enable Client to Server File Transfer"), this);
    m_serverToClient = new QCheckBox(QStringLiteral("Enable Server to Client File Transfer"), this);
    m_manual = new QCheckBox(QStringLiteral("Enable Manual File Transfer"), this);
    m_rightMouse = new QCheckBox(QStringLiteral("Enable Right Mouse Button in Location"), this);
    m_expand = new QCheckBox(QStringLiteral("Expand Environment Strings "), this);

    // Controls carry their classic ids as names.
    const std::pair<QWidget*, const char*> names[] = {
        {m_name, "1000"},           {m_server, "1001"},         {m_client, "1004"},
        {m_sync, "1010"},           {m_expand, "1011"},         {m_hide, "1015"},
        {m_clientToServer, "1022"}, {m_serverToClient, "1023"}, {m_manual, "1024"},
        {m_rightMouse, "1038"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    auto* overwriteBox = new QGroupBox(QStringLiteral("Auto File Transfer Options"), this);
    m_overwrite = RadioGroup(this, overwriteBox,
                             {QStringLiteral("Auto Overwrite Files"),
                              QStringLiteral("Auto Overwrite Files if Date/Size is Different"),
                              QStringLiteral("Auto Skip Files"),
                              QStringLiteral("Ask Me Before Skiping/Overwriting Files")},
                             {QStringLiteral("1017"), QStringLiteral("1019"), QStringLiteral("1018"),
                              QStringLiteral("1020")});
    auto* connectBox = new QGroupBox(QStringLiteral("When a User Connects"), this);
    m_connect = RadioGroup(this, connectBox,
                           {QStringLiteral("Don't Update Files"), QStringLiteral("Update Client Files"),
                            QStringLiteral("Update Server Files"),
                            QStringLiteral("Synchronize Contents with Server as Master"),
                            QStringLiteral("Synchronize Contents with Client as Master")},
                           {QStringLiteral("1039"), QStringLiteral("1043"), QStringLiteral("1016"),
                            QStringLiteral("1041"), QStringLiteral("1042")});

    auto* syncBox = new QGroupBox(QStringLiteral("Contents Synchronization Options"), this);
    auto* syncLayout = new QVBoxLayout(syncBox);
    syncLayout->addWidget(m_hide);
    syncLayout->addWidget(m_clientToServer);
    syncLayout->addWidget(m_serverToClient);
    syncLayout->addWidget(m_manual);
    auto* client = new QFormLayout;
    client->addRow(QStringLiteral("Client Location:"), m_client);
    syncLayout->addLayout(client);
    auto* radios = new QHBoxLayout;
    radios->addWidget(overwriteBox);
    radios->addWidget(connectBox);
    syncLayout->addLayout(radios);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name: "), m_name);
    form->addRow(QStringLiteral("Server Location:"), m_server);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditLocationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditLocationDlg::reject);
    connect(m_sync, &QCheckBox::clicked, this, &CEditLocationDlg::OnEnableSync);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_sync);
    layout->addWidget(syncBox);
    layout->addWidget(m_rightMouse);
    layout->addWidget(m_expand);
    layout->addWidget(buttons);

    UpdateData(false);
}

int CEditLocationDlg::OverwriteOptionFor(std::int32_t overwriteMode)
{
    switch (overwriteMode) {
    case kOverwriteAlways: return 0;
    case kOverwriteIfDifferent: return 1;
    case kOverwriteSkip: return 2;
    default: return 3;
    }
}

std::int32_t CEditLocationDlg::OverwriteModeFor(int overwriteOption)
{
    switch (overwriteOption) {
    case 0: return kOverwriteAlways;
    case 1: return kOverwriteIfDifferent;
    case 2: return kOverwriteSkip;
    default: return kOverwriteAsk;
    }
}

bool CEditLocationDlg::LoadFromItem(const CTSAppDataItem& item)
{
    m_strName = admin::ToQString(item.m_strName);
    m_strServerLocation = admin::ToQString(item.m_strServerLocation);
    m_strClientLocation = admin::ToQString(item.m_strClientLocation);
    m_nOverwriteOption = OverwriteOptionFor(item.m_nOverwriteMode);
    m_bClientToServer = item.m_bClientToServer != 0;
    m_bServerToClient = item.m_bServerToClient != 0;
    m_bManualTransfer = item.m_bManualTransfer != 0;
    m_bSyncEnabled = item.m_bSyncEnabled != 0;
    m_bHideTransferWindow = item.m_bHideTransferWindow != 0;
    m_nConnectAction = item.m_nConnectAction;
    m_bRightMouseButton = item.m_bRightMouseButton != 0;
    m_bExpandEnvironment = item.m_bExpandEnvironment != 0;
    m_visualOptions = item.m_visualOptions;
    UpdateData(false);
    return true;
}

bool CEditLocationDlg::StoreToItem(CTSAppDataItem& item)
{
    item.m_strName = admin::ToU16(m_strName);

    std::u16string server = admin::ToU16(m_strServerLocation);
    if (admin::IsValidDriveOrDir(server, m_bExpandEnvironment) && admin::EndsWithSeparator(server)) {
        server = admin::WithoutTrailingSeparator(server);
        m_strServerLocation = admin::ToQString(server);
    }
    item.m_strServerLocation = server;

    std::u16string client = admin::ToU16(m_strClientLocation);
    if (admin::IsDrivePath(client))
        client = admin::WithoutTrailingSeparator(client);
    item.m_strClientLocation = client;

    item.m_nOverwriteMode = OverwriteModeFor(m_nOverwriteOption);
    item.m_bClientToServer = m_bClientToServer;
    item.m_bServerToClient = m_bServerToClient;
    item.m_bManualTransfer = m_bManualTransfer;

    if (m_bSyncEnabled) {
        QString message;
        if (!admin::IsValidDriveOrDir(server, m_bExpandEnvironment))
            message += QStringLiteral("Server location is not a valid drive or directory.\n");
        if (!admin::IsDrivePath(client) && (m_bClientToServer || m_bServerToClient))
            message += QStringLiteral("Client location is not a valid drive or directory.\n"
                                      "Non manual file transfer options require a valid client drive or directory.\n");
        if (!message.isEmpty()) {
            m_bSyncEnabled = false;
            message += QStringLiteral("Synchronization options will be disabled.");
            m_seam.Message(message, framework::MessageButtons::Ok, framework::MessageIcon::Warning, this);
        }
    }

    item.m_bSyncEnabled = m_bSyncEnabled;
    item.m_bHideTransferWindow = m_bHideTransferWindow;
    item.m_nConnectAction = m_nConnectAction;
    item.m_bRightMouseButton = m_bRightMouseButton;
    item.m_bExpandEnvironment = m_bExpandEnvironment;
    item.m_visualOptions = m_visualOptions;
    return true;
}

void CEditLocationDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strName = m_name->text();
        m_nOverwriteOption = m_overwrite->checkedId();
        m_nConnectAction = m_connect->checkedId();
        m_bSyncEnabled = m_sync->isChecked();
        m_bHideTransferWindow = m_hide->isChecked();
        m_bClientToServer = m_clientToServer->isChecked();
        m_bServerToClient = m_serverToClient->isChecked();
        m_strServerLocation = m_server->text();
        m_strClientLocation = m_client->text();
        m_bManualTransfer = m_manual->isChecked();
        m_bRightMouseButton = m_rightMouse->isChecked();
        m_bExpandEnvironment = m_expand->isChecked();
        return;
    }
    m_name->setText(m_strName);
    CheckIndex(m_overwrite, m_nOverwriteOption);
    CheckIndex(m_connect, m_nConnectAction);
    m_sync->setChecked(m_bSyncEnabled);
    m_hide->setChecked(m_bHideTransferWindow);
    m_clientToServer->setChecked(m_bClientToServer);
    m_serverToClient->setChecked(m_bServerToClient);
    m_server->setText(m_strServerLocation);
    m_client->setText(m_strClientLocation);
    m_manual->setChecked(m_bManualTransfer);
    m_rightMouse->setChecked(m_bRightMouseButton);
    m_expand->setChecked(m_bExpandEnvironment);
    EnableSyncControls(m_bSyncEnabled);
}

void CEditLocationDlg::EnableSyncControls(bool enable)
{
    for (QAbstractButton* button : m_overwrite->buttons())
        button->setEnabled(enable);
    for (QAbstractButton* button : m_connect->buttons())
        button->setEnabled(enable);
    for (QWidget* w : {static_cast<QWidget*>(m_clientToServer), static_cast<QWidget*>(m_serverToClient),
                       static_cast<QWidget*>(m_manual), static_cast<QWidget*>(m_hide),
                       static_cast<QWidget*>(m_client)})
        w->setEnabled(enable);
}

void CEditLocationDlg::OnEnableSync()
{
    UpdateData(true);
    EnableSyncControls(m_bSyncEnabled);
}

void CEditLocationDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}
