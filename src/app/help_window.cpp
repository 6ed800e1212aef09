#include "app/help_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace app {

HelpWindow::HelpWindow(const QString& helpFile, ExternalOpener openExternal, QWidget* parent)
    : QWidget(parent, Qt::Window), m_page(QUrl::fromLocalFile(helpFile)), m_openExternal(std::move(openExternal))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Quillon Help"));
    m_browser = new QTextBrowser(this);
    // The browser would load any local file a link names; every link goes
    // through FollowLink instead.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
    if (QFile::exists(helpFile))
        m_browser->setSource(m_page);
    if (m_browser->document()->isEmpty())
        m_browser->setPlainText(tr("The help file %1 cannot be read.").arg(helpFile));
    resize(720, 560);
}

void HelpWindow::FollowLink(const QUrl& link)
{
    const QUrl target = m_page.resolved(link);
    if (target.adjusted(QUrl::RemoveFragment) == m_page) {
        if (target.hasFragment())
            m_browser->scrollToAnchor(target.fragment());
        return;
    }
    if (m_openExternal)
        m_openExternal(target);
}

} // namespace app
