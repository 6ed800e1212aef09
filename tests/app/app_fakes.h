#pragma once
// Stand-ins for what the application object and the frame talk to: the
// system around the program, the session, and the frame's host. Each
// records what it was asked.
#include <QString>
#include <QStringList>
#include <QUrl>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_environment.h"
#include "app/main_frame.h"
#include "config/config_file.h"
#include "config/records.h"
#include "config/text.h"
#include "document/document_host.h"
#include "platform/session.h"
#include "support/fake_document_host.h"
#include "support/test_application.h"

namespace apptest {

// First base of a fixture whose members are widgets or watch the
// application: the application exists before they are made.
struct WithApplication {
    WithApplication() { testsupport::TestApplication(); }
};

class FakeAppEnvironment : public app::AppEnvironment {
public:
    std::filesystem::path moduleDirectory;
    bool administrator = true;
    bool windowManager = true;
    std::vector<QUrl> opened;
    std::vector<std::vector<std::string>> started;  // argument arrays, in order
    int startError = 0;

    std::filesystem::path ModuleDirectory() override { return moduleDirectory; }
    bool IsAdministrator() override { return administrator; }
    void OpenUrl(const QUrl& url) override { opened.push_back(url); }
    int StartProgram(const std::vector<std::string>& argv, const std::string&) override
    {
        started.push_back(argv);
        return startError;
    }
    bool HasWindowManager() override { return windowManager; }
};

class FakeSessionServices : public platform::SessionServices {
public:
    bool shellStarts = true;
    std::vector<std::string> calls;  // "shell", "replace", "home", "logoff"

    bool StartDefaultShell() override
    {
        calls.push_back("shell");
        return shellStarts;
    }
    // Stands for a replacement that worked when the shell starts: the real
    // one never returns then.
    bool ReplaceWithDefaultShell() override
    {
        calls.push_back("replace");
        return shellStarts;
    }
    bool OpenHomeFolder() override
    {
        calls.push_back("home");
        return true;
    }
    bool LogoffSession() override
    {
        calls.push_back("logoff");
        return true;
    }
};

class FakeFrameHost : public app::FrameHost {
public:
    int shells = 0;
    int helps = 0;
    void LaunchDefaultShell() override { ++shells; }
    void WinHelp(unsigned long, unsigned int) override { ++helps; }
};

// The document's view of the application, for frames built without one.
using FakeDocumentHost = testsupport::FakeDocumentHost;

// A location that runs no transfer at connect time.
inline CTSAppDataItem Location(const std::string& name, const std::string& server)
{
    CTSAppDataItem item;
    item.m_strName = config::FromUtf8(name);
    item.m_strServerLocation = config::FromUtf8(server);
    return item;
}

// An entry with the given locations.
inline CTSUserDataItem Entry(const std::string& name, std::int32_t type, std::vector<CTSAppDataItem> locations)
{
    CTSUserDataItem entry(config::FromUtf8(name), type);
    for (const CTSAppDataItem& location : locations)
        entry.m_locations.Add(location, false);
    return entry;
}

inline void WriteConfiguration(const std::filesystem::path& path, const std::vector<CTSUserDataItem>& entries)
{
    CTSUserData data;
    for (const CTSUserDataItem& entry : entries) {
        CTSUserDataItem* added = data.Add(entry.m_strName, entry.m_nType, false);
        added->m_locations = entry.m_locations;
    }
    ASSERT_TRUE(config::SaveConfigurationFile(path, data));
}

} // namespace apptest
