#pragma once
// The application as the document and its panes see it: flags to set and a
// record of every launch asked for, in order.
#include <cstdint>
#include <string>
#include <vector>

#include <QUrl>

#include "config/records.h"
#include "config/text.h"
#include "document/document_host.h"

namespace testsupport {

class FakeDocumentHost : public document::DocumentHost {
public:
    bool administrator = false;
    bool serviceMode = false;
    bool scriptResult = true;
    bool logoffArmed = false;
    bool administratorView = false;
    // "script <name>", "transfer <server> <client> <dir> <mode> <hide>",
    // "manual <location>", "shell", "logoff", "help", "open <url>"
    std::vector<std::string> calls;

    bool IsAdministrator() const override { return administrator; }
    bool IsServiceMode() const override { return serviceMode; }
    void SetLogoffOnExit() override
    {
        logoffArmed = true;
        calls.push_back("logoff");
    }
    bool RunScript(const CTSUserScriptItem& script) override
    {
        calls.push_back("script " + config::ToUtf8(script.m_strProgramPath));
        return scriptResult;
    }
    bool AutoTransfer(const std::u16string& serverPath, const std::u16string& clientPath, bool serverToClient,
                      std::int32_t overwriteMode, bool hide) override
    {
        calls.push_back("transfer " + config::ToUtf8(serverPath) + " " + config::ToUtf8(clientPath) + " " +
                        (serverToClient ? "1" : "0") + " " + std::to_string(overwriteMode) + " " +
                        (hide ? "1" : "0"));
        return true;
    }
    bool ManualTransfer(const CTSAppDataItem& location) override
    {
        calls.push_back("manual " + config::ToUtf8(location.m_strName));
        return true;
    }
    void LaunchDefaultShell() override { calls.push_back("shell"); }
    bool IsAdministratorView() const override { return administratorView; }
    void OpenHelp() override { calls.push_back("help"); }
    void OpenItem(const QUrl& url) override { calls.push_back("open " + url.toString().toStdString()); }
    QWidget* MainWindow() const override { return nullptr; }
};

} // namespace testsupport
