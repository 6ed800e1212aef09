#pragma once
#include <QUrl>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class AccountServices;
}

namespace app {

// Everything the application object asks of the system around it. The
// program uses SystemAppEnvironment; tests pass a fake that records.
class AppEnvironment {
public:
    virtual ~AppEnvironment() = default;

    // The executable's directory; empty when it cannot be found.
    virtual std::filesystem::path ModuleDirectory() = 0;
    // The administrator rights test, run once at start.
    virtual bool IsAdministrator() = 0;
    // Hands a file or address to the desktop's default handler; no result.
    virtual void OpenUrl(const QUrl& url) = 0;
    // Starts a program by its absolute path with exactly these arguments and
    // lets it run; 0 or the system's error number.
    virtual int StartProgram(const std::vector<std::string>& argv, const std::string& workingDirectory) = 0;
    virtual bool HasWindowManager() = 0;
};

class SystemAppEnvironment : public AppEnvironment {
public:
    explicit SystemAppEnvironment(platform::AccountServices& accounts) : m_accounts(accounts) {}

    std::filesystem::path ModuleDirectory() override;
    bool IsAdministrator() override;
    void OpenUrl(const QUrl& url) override;
    int StartProgram(const std::vector<std::string>& argv, const std::string& workingDirectory) override;
    bool HasWindowManager() override;

private:
    platform::AccountServices& m_accounts;
};

} // namespace app
