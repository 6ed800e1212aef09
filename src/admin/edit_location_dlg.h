#pragma once
#include <QDialog>
#include <QString>

#include "admin/visual_options_dlg.h"
#include "config/records.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QWidget;

namespace framework {
class ModalSeam;
}

// "Edit Location": one location's name, server folder, synchronization
// settings and browsing flags, and through "Visual Options..." its look. The
// caller loads it from a location, runs it through the modal seam and, on
// OK, stores it into a fresh location; the consistency checks of the
// synchronization settings run in StoreToItem.
class CEditLocationDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 131 };

    explicit CEditLocationDlg(framework::ModalSeam& seam, QWidget* parent = nullptr);

    bool LoadFromItem(const CTSAppDataItem& item);
    bool StoreToItem(CTSAppDataItem& item);

    // Moves the values between the members and the controls.
    void UpdateData(bool saveAndValidate);

    // The automatic transfer option's index and the stored overwrite code.
    static int OverwriteOptionFor(std::int32_t overwriteMode);
    static std::int32_t OverwriteModeFor(int overwriteOption);

    QString m_strName;
    int m_nOverwriteOption = -1;
    bool m_bSyncEnabled = false;
    bool m_bHideTransferWindow = false;
    bool m_bClientToServer = false;
    bool m_bServerToClient = false;
    QString m_strServerLocation;
    QString m_strClientLocation;
    bool m_bManualTransfer = false;
    bool m_bRightMouseButton = false;
    int m_nConnectAction = -1;
    bool m_bExpandEnvironment = false;
    // Kept for the editor's lifetime: each run starts where the last one left.
    CVisualOptionsDlg m_visualOptionsDlg;

    void accept() override;

private:
    void InitDialog();
    void EnableSyncControls(bool enable);
    void OnEnableSync();
    void OnBrowse();
    void OnCreateFolder();
    void OnVisualOptions();

    framework::ModalSeam& m_seam;
    QLineEdit* m_name;
    QLineEdit* m_server;
    QLineEdit* m_client;
    QCheckBox* m_sync;
    QCheckBox* m_hide;
    QCheckBox* m_clientToServer;
    QCheckBox* m_serverToClient;
    QCheckBox* m_manual;
    QCheckBox* m_rightMouse;
    QCheckBox* m_expand;
    QButtonGroup* m_overwrite;
    QButtonGroup* m_connect;
};
