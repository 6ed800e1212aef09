#pragma once
#include <QTreeWidget>
#include <QWidget>

#include "document/browser_view.h"
#include "document/locations_view.h"

class CQuillonDoc;

namespace framework {
class CommandRouter;
}

// The three panes of the splitter as the frame creates them. Each joins the
// document's views and the command route when it is created, and becomes
// the document's pane of its kind at its initial update, after every open.
// The users and groups pane, the locations tree and the browser fill these
// classes with their own behaviour; until then they show nothing.

class CLeftView : public QTreeWidget, public document::LocationsViewInterface {
    Q_OBJECT
public:
    CLeftView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent = nullptr);

    void OnInitialUpdate();
    void OnUpdate(framework::View* sender, long hint, framework::HintObject hintObject) override;
    const CTSAppDataItem* GetSelectedLocation() const override { return nullptr; }
    void OnEditLocation() override {}
    void OnRemoveLocation() override {}
    void OnSendToClient() override {}
    void OnSendToServer() override {}
    void OnLaunchFileExplorer() override {}

private:
    CQuillonDoc& m_document;
};

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
    void NavigateTo(const QString&) override {}
    bool CanGoBack() const override { return false; }
    bool CanGoForward() const override { return false; }

private:
    CQuillonDoc& m_document;
};
