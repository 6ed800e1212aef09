#pragma once
#include <QWidget>

#include "document/browser_view.h"

class CQuillonDoc;

namespace framework {
class CommandRouter;
}

// The location browser: the folder of the location selected in the tree,
// within which the user may move but which they may not leave.
class CQuillonView : public QWidget, public document::BrowserViewInterface {
    Q_OBJECT
public:
    CQuillonView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent = nullptr);

    void OnInitialUpdate();
    void OnUpdate(framework::View*, long, framework::HintObject) override {}
    void GoBack() override {}
    void GoForward() override {}
    void Stop() override {}
    void Refresh() override {}
    void SetRootPath(const QString& path) override { m_strRootPath = path; }
    void NavigateTo(const QString&) override {}
    void ShowStartPage() override {}
    bool CanGoBack() const override { return false; }
    bool CanGoForward() const override { return false; }

private:
    CQuillonDoc& m_document;
    QString m_strRootPath;
};
