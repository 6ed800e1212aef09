#pragma once
// Stand-ins for what the document talks to: the application object and the
// three panes. Each records what it was asked, in order.
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "config/records.h"
#include "config/text.h"
#include "document/browser_view.h"
#include "document/document_host.h"
#include "document/locations_view.h"
#include "document/user_group_view_interface.h"
#include "support/fake_document_host.h"

namespace doctest {

using FakeHost = testsupport::FakeDocumentHost;

class FakeTree : public document::LocationsViewInterface {
public:
    const CTSAppDataItem* selected = nullptr;
    std::vector<std::string> calls;
    std::vector<std::u16string> hints;  // names of the hint objects OnUpdate received ("" for none)

    const CTSAppDataItem* GetSelectedLocation() const override { return selected; }
    void OnEditLocation() override { calls.push_back("edit"); }
    void OnRemoveLocation() override { calls.push_back("remove"); }
    void OnSendToClient() override { calls.push_back("toClient"); }
    void OnSendToServer() override { calls.push_back("toServer"); }
    void OnLaunchFileExplorer() override { calls.push_back("explorer"); }
    void OnUpdate(framework::View*, long, framework::HintObject hint) override
    {
        const CTSAppDataItem* item = hint.As<CTSAppDataItem>();
        hints.push_back(item ? item->m_strName : std::u16string());
    }
};

class FakeUserGroupView : public document::UserGroupViewInterface {
public:
    std::vector<std::u16string> selectedRows;
    int updates = 0;

    bool HasSelectedRow() const override { return !selectedRows.empty(); }
    std::vector<std::u16string> SelectedRowTexts() const override { return selectedRows; }
    void OnUpdate(framework::View*, long, framework::HintObject) override { ++updates; }
};

class FakeBrowser : public document::BrowserViewInterface {
public:
    bool canGoBack = false;
    bool canGoForward = false;
    bool canGoHome = false;
    std::vector<std::string> calls;

    void GoBack() override { calls.push_back("back"); }
    void GoForward() override { calls.push_back("forward"); }
    void Stop() override { calls.push_back("stop"); }
    void Refresh() override { calls.push_back("refresh"); }
    void GoHome() override { calls.push_back("home"); }
    void SetRootPath(const QString& path) override { calls.push_back("root " + path.toStdString()); }
    void NavigateTo(const QString& address) override { calls.push_back("navigate " + address.toStdString()); }
    void ShowStartPage() override { calls.push_back("start page"); }
    bool CanGoBack() const override { return canGoBack; }
    bool CanGoForward() const override { return canGoForward; }
    bool CanGoHome() const override { return canGoHome; }
    void OnUpdate(framework::View*, long, framework::HintObject) override {}
};

inline CTSAppDataItem Location(const std::u16string& name, const std::u16string& server = u"/srv/x")
{
    CTSAppDataItem item;
    item.m_strName = name;
    item.m_strServerLocation = server;
    return item;
}

} // namespace doctest
