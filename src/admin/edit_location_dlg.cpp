#include "admin/edit_location_dlg.h"
#include "transfer/command_lines.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>
#include <utility>

#include "admin/dialog_layout.h"
#include "admin/location_paths.h"
#include "admin/qt_text.h"
#include "framework/modal_seam.h"
#include "platform/files.h"

namespace {

using framework::Answer;
using framework::MessageButtons;
using framework::MessageIcon;

struct Radio {
    const char* id;
    const char* caption;
};

// The buttons of one exclusive group, numbered in the given order.
QButtonGroup* RadioGroup(QWidget* owner, std::initializer_list<std::pair<QVBoxLayout*, Radio>> radios)
{
    auto* group = new QButtonGroup(owner);
    int index = 0;
    for (const auto& [layout, radio] : radios) {
        auto* button = new QRadioButton(QString::fromUtf8(radio.caption), layout->parentWidget());
        button->setObjectName(QLatin1String(radio.id));
        group->addButton(button, index++);
        layout->addWidget(button);
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
    admin::TabStopOnChecked(*group);
}

QCheckBox* CheckBox(const char* id, const char* caption, QWidget* parent)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QLatin1String(id));
    return box;
}

QPushButton* PushButton(const char* id, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(id));
    return button;
}

QLineEdit* Edit(const char* id, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(id));
    return edit;
}

// A text from the dialog as a path the system can take; lone surrogates
// become U+FFFD rather than a conversion failure.
std::filesystem::path PathOf(const QString& text)
{
    try {
        return std::filesystem::path(text.toStdWString());
    } catch (const std::system_error&) {
        return {};
    }
}

} // namespace

CEditLocationDlg::CEditLocationDlg(framework::ModalSeam& seam, QWidget* parent)
    : QDialog(parent), m_visualOptionsDlg(seam, this), m_seam(seam)
{
    setObjectName(QStringLiteral("CEditLocationDlg"));
    setWindowTitle(QStringLiteral("Edit Location"));

    // Made in the order Tab visits them.
    m_name = Edit("1000", this);
    m_server = Edit("1001", this);
    auto* browse = PushButton("1002", "&Browse...", this);
    auto* createFolder = PushButton("1003", "Create &Folder", this);
    m_sync = CheckBox("1010", "&Enable Contents Synchronization", this);

    auto* syncBox = new QGroupBox(QStringLiteral("Contents Synchronization Options"), this);
    m_client = Edit("1004", syncBox);
    auto* overwriteBox = new QGroupBox(QStringLiteral("Auto File Transfer Options"), syncBox);
    auto* overwriteLayout = new QVBoxLayout(overwriteBox);
    m_overwrite = RadioGroup(this, {{overwriteLayout, {"1017", "Auto Overwrite Files"}},
                                    {overwriteLayout, {"1019", "Auto Overwrite Files if Date/Size is Different"}},
                                    {overwriteLayout, {"1018", "Auto Skip Files"}},
                                    {overwriteLayout, {"1020", "Ask Me Before Skiping/Overwriting Files"}}});
    auto* userBox = new QGroupBox(QStringLiteral("User Interface Uptions"), syncBox);
    m_clientToServer = CheckBox("1022", "Enable Client to Server File Transfer", userBox);
    m_serverToClient = CheckBox("1023", "Enable Server to Client File Transfer", userBox);
    m_manual = CheckBox("1024", "Enable Manual File Transfer", userBox);
    auto* connectBox = new QGroupBox(QStringLiteral("When a User Connects"), syncBox);
    auto* connectLayout = new QVBoxLayout(connectBox);
    m_connect = RadioGroup(this, {{connectLayout, {"1039", "Don't Update Files"}},
                                  {connectLayout, {"1043", "Update Client Files"}},
                                  {connectLayout, {"1016", "Update Server Files"}},
                                  {connectLayout, {"1041", "Synchronize Contents with Server as Master"}},
                                  {connectLayout, {"1042", "Synchronize Contents with Client as Master"}}});
    m_hide = CheckBox("1015", "Hide File Transfer Window", syncBox);

    auto* flagsBox = new QGroupBox(this);
    m_rightMouse = CheckBox("1038", "Enable &Right Mouse Button in Location", flagsBox);
    m_expand = CheckBox("1011", "E&xpand Environment Strings ", flagsBox);
    auto* visualOptions = PushButton("1005", "&Visual Options...", flagsBox);

    auto* top = new QGridLayout;
    top->addWidget(admin::BuddyLabel(QStringLiteral("&Name: "), m_name), 0, 0);
    top->addWidget(m_name, 0, 1, 1, 3);
    top->addWidget(admin::BuddyLabel(QStringLiteral("&Server Location:"), m_server), 1, 0);
    top->addWidget(m_server, 1, 1);
    top->addWidget(browse, 1, 2);
    top->addWidget(createFolder, 1, 3);
    top->setColumnStretch(1, 1);

    auto* userLayout = new QVBoxLayout(userBox);
    for (QWidget* w : {m_clientToServer, m_serverToClient, m_manual})
        userLayout->addWidget(w);
    overwriteLayout->addStretch(1);
    userLayout->addStretch(1);
    connectLayout->addStretch(1);

    auto* syncLayout = new QGridLayout(syncBox);
    auto* clientRow = new QHBoxLayout;
    clientRow->addWidget(admin::BuddyLabel(QStringLiteral("&Client Location:"), m_client));
    clientRow->addWidget(m_client, 1);
    syncLayout->addLayout(clientRow, 0, 0, 1, 2);
    syncLayout->addWidget(overwriteBox, 1, 0);
    syncLayout->addWidget(connectBox, 1, 1);
    syncLayout->addWidget(userBox, 2, 0);
    // The automatic transfers' window, beside the choice of what runs.
    syncLayout->addWidget(m_hide, 2, 1, Qt::AlignTop);

    auto* flagsLayout = new QHBoxLayout(flagsBox);
    flagsLayout->addWidget(m_rightMouse);
    flagsLayout->addWidget(m_expand);
    flagsLayout->addStretch(1);
    flagsLayout->addWidget(visualOptions);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_sync);
    layout->addWidget(syncBox, 1);
    layout->addWidget(flagsBox);
    layout->addWidget(admin::OkCancelButtons(*this));

    connect(m_sync, &QCheckBox::clicked, this, &CEditLocationDlg::OnEnableSync);
    connect(browse, &QPushButton::clicked, this, &CEditLocationDlg::OnBrowse);
    connect(createFolder, &QPushButton::clicked, this, &CEditLocationDlg::OnCreateFolder);
    connect(visualOptions, &QPushButton::clicked, this, &CEditLocationDlg::OnVisualOptions);

    InitDialog();
    admin::ResizeToDialogUnits(*this, 364, 245);
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
    m_visualOptionsDlg.LoadFromItem(item);
    InitDialog();
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
    if (admin::IsClientPath(client))
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
        if (!admin::IsClientPath(client) && (m_bClientToServer || m_bServerToClient))
            message += QStringLiteral("Client location is not a valid drive or directory.\n"
                                      "Non manual file transfer options require a valid client drive or directory.\n");
        if (!message.isEmpty()) {
            m_bSyncEnabled = false;
            message += QStringLiteral("Synchronization options will be disabled.");
            m_seam.Message(message, MessageButtons::Ok, MessageIcon::Warning, this);
        }
    }

    item.m_bSyncEnabled = m_bSyncEnabled;
    item.m_bHideTransferWindow = m_bHideTransferWindow;
    item.m_nConnectAction = m_nConnectAction;
    item.m_bRightMouseButton = m_bRightMouseButton;
    item.m_bExpandEnvironment = m_bExpandEnvironment;
    m_visualOptionsDlg.StoreToItem(item);
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
}

void CEditLocationDlg::InitDialog()
{
    UpdateData(false);
    EnableSyncControls(m_bSyncEnabled);
    m_name->setFocus();
}

void CEditLocationDlg::EnableSyncControls(bool enable)
{
    for (QAbstractButton* button : m_overwrite->buttons())
        button->setEnabled(enable);
    for (QAbstractButton* button : m_connect->buttons())
        button->setEnabled(enable);
    for (QWidget* w : std::initializer_list<QWidget*>{m_clientToServer, m_serverToClient, m_manual, m_hide, m_client})
        w->setEnabled(enable);
}

void CEditLocationDlg::OnEnableSync()
{
    UpdateData(true);
    EnableSyncControls(m_bSyncEnabled);
}

void CEditLocationDlg::OnBrowse()
{
    framework::FileDialogRequest request;
    request.kind = framework::FileDialogRequest::Kind::Folder;
    request.title = QStringLiteral("Find Drive/Dir");
    request.initialName = m_server->text();
    request.owner = this;
    const std::optional<QString> chosen = m_seam.ChooseFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    UpdateData(true);
    m_strServerLocation = *chosen;
    UpdateData(false);
}

void CEditLocationDlg::OnCreateFolder()
{
    UpdateData(true);
    if (!admin::IsCreatableFolder(admin::ToU16(m_strServerLocation))) {
        m_seam.Message(QStringLiteral("Server location is not a valid directory.\n"
                                      "Please enter a valid directory ant try again."),
                       MessageButtons::Ok, MessageIcon::Warning, this);
        return;
    }
    if (m_seam.Message(QStringLiteral("Are you sure you want to create %1 ?").arg(m_strServerLocation),
                       MessageButtons::YesNo, MessageIcon::Question, this) != Answer::Yes)
        return;
    const platform::FileError error = platform::CreateDirectory(PathOf(m_strServerLocation));
    if (error)
        m_seam.Message(QStringLiteral("Error creating directory\n") + QString::fromStdString(error.message),
                       MessageButtons::Ok, MessageIcon::Warning, this);
}

void CEditLocationDlg::OnVisualOptions()
{
    // Its result does not matter: the dialog keeps its own values until
    // StoreToItem.
    m_visualOptionsDlg.InitDialog();
    m_seam.RunDialog(m_visualOptionsDlg);
}

void CEditLocationDlg::accept()
{
    UpdateData(true);
    for (QLineEdit* folder : {m_server, m_client}) {
        if (!transfer::IsTransferableFolderPath(admin::ToU16(folder->text()))) {
            m_seam.Message(QStringLiteral("A folder path cannot contain the character \"."), MessageButtons::Ok,
                           MessageIcon::Warning, this);
            folder->setFocus();
            return;
        }
    }
    QDialog::accept();
}
