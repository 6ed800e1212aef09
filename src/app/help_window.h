#pragma once
#include <functional>

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace app {

// The program's help page in a window of its own: no other program is
// started for help. Links within the page are followed; a link that leaves
// it goes to `openExternal`, which decides whether it goes anywhere.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    using ExternalOpener = std::function<void(const QUrl&)>;
    HelpWindow(const QString& helpFile, ExternalOpener openExternal, QWidget* parent = nullptr);

    QTextBrowser* Browser() const { return m_browser; }
    // What a click on a link does; public for tests.
    void FollowLink(const QUrl& link);

private:
    QTextBrowser* m_browser;
    QUrl m_page;
    ExternalOpener m_openExternal;
};

} // namespace app
