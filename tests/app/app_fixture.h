#pragma once
#include <QApplication>
#include <QSettings>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "support/fake_account_services.h"
#include "app/quillon_app.h"
#include "app_fakes.h"
#include "support/scripted_modal_seam.h"
#include "support/temp_files.h"
#include "support/test_application.h"

namespace apptest {

// The running application object over fakes, in a folder of the test's own
// that stands for the executable's directory (configuration and settings).
class AppFixture : public ::testing::Test {
protected:
    explicit AppFixture(const char* account) : m_accounts(accounts::FakeAccountServices::Local("VM", account, {})) {}

    void SetUp() override
    {
        testsupport::TestApplication();
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_dir = testfiles::ScratchDir(std::string("app-") + name);
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((m_dir / "settings").string()));
        m_environment.moduleDirectory = m_dir;
    }

    void TearDown() override
    {
        m_app.reset();
        QApplication::processEvents();
    }

    std::filesystem::path ConfigPath() const { return m_dir / "userConfig.QLNData"; }
    CQuillonDoc& Doc() { return *m_app->Document(); }

    std::filesystem::path m_dir;
    testsupport::ScriptedModalSeam m_seam;
    FakeAppEnvironment m_environment;
    accounts::FakeAccountServices m_accounts;
    FakeSessionServices m_session;
    std::unique_ptr<CQuillonApp> m_app;
};

} // namespace apptest
