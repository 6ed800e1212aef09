#include "app/about_dlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_resources.h"
#include "quillon_version.h"

CAboutDlg::CAboutDlg(bool administrator, UrlOpener openUrl, QWidget* parent)
    : QDialog(parent), m_bAdministrator(administrator), m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("dialog%1").arg(IDD));
    setWindowTitle(QStringLiteral("About Quillon"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QLabel(this);
    icon->setPixmap(app::ApplicationIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* version = new QLabel(VersionText(), this);

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setDefault(true);
    m_web = new QPushButton(WebAddress(), this);
    m_support = new QPushButton(SupportAddress(), this);
    m_web->setAutoDefault(false);
    m_support->setAutoDefault(false);

    auto* text = new QVBoxLayout;
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(m_web);
    text->addWidget(m_support);
    text->addStretch(1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon);
    layout->addSpacing(8);
    layout->addLayout(text, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_web, &QPushButton::clicked, this, &CAboutDlg::OnWebAddress);
    connect(m_support, &QPushButton::clicked, this, &CAboutDlg::OnSupportAddress);
    OnInitDialog();
}

QString CAboutDlg::WebAddress() { return QStringLiteral("https://www.varnel-software.example"); }

QString CAboutDlg::SupportAddress() { return QStringLiteral("support@varnel-software.example"); }

QString CAboutDlg::VersionText() { return QStringLiteral("Quillon Version " QUILLON_VERSION); }

QPushButton* CAboutDlg::Button(ControlId id) const
{
    switch (id) {
    case IDOK: return m_ok;
    case IDC_WEB_ADDRESS: return m_web;
    case IDC_SUPPORT_ADDRESS: return m_support;
    }
    return nullptr;
}

// Ordinary users of a terminal server are kept away from the browser and
// mail program the two addresses would start.
void CAboutDlg::OnInitDialog()
{
    if (!m_bAdministrator) {
        m_web->setEnabled(false);
        m_support->setEnabled(false);
    }
}

void CAboutDlg::OnWebAddress()
{
    if (m_openUrl)
        m_openUrl(QUrl(WebAddress()));
}

void CAboutDlg::OnSupportAddress()
{
    if (m_openUrl)
        m_openUrl(QUrl(QStringLiteral("mailto:") + SupportAddress()));
}
