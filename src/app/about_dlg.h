#pragma once
#include <QDialog>
#include <QUrl>
#include <functional>

class QPushButton;

// The About box, dialog 100: the program's icon and version and the maker's
// web and support addresses, which only an administrator may follow.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    enum ControlId { IDOK = 1, IDC_WEB_ADDRESS = 1031, IDC_SUPPORT_ADDRESS = 1032 };
    static constexpr int IDD = 100;

    using UrlOpener = std::function<void(const QUrl&)>;

    CAboutDlg(bool administrator, UrlOpener openUrl, QWidget* parent = nullptr);

    static QString WebAddress();
    static QString SupportAddress();
    static QString VersionText();  // "Quillon Version 3.0.3.4"

    QPushButton* Button(ControlId id) const;

    void OnWebAddress();
    void OnSupportAddress();

private:
    void OnInitDialog();

    bool m_bAdministrator;
    UrlOpener m_openUrl;
    QPushButton* m_ok;
    QPushButton* m_web;
    QPushButton* m_support;
};
