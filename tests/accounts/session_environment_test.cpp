#include "accounts/session_environment.h"

#include "support/fake_account_services.h"
#include "config/text.h"
#include "platform/environment.h"

#include <gtest/gtest.h>

namespace {

const char* const kVariables[] = {"USERNAME", "USERDOMAIN", "COMPUTERNAME"};

// Puts the three variables back as they were.
class SessionEnvironment : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* v : kVariables) {
            m_saved.emplace_back(v, platform::GetEnvVar(v));
            platform::UnsetEnvVar(v);
        }
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                platform::SetEnvVar(name, *value);
            else
                platform::UnsetEnvVar(name);
        }
    }

    static std::string Env(const char* name) { return platform::GetEnvVar(name).value_or("(unset)"); }

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST_F(SessionEnvironment, FillsWhatIsMissing)
{
    auto fake = accounts::FakeAccountServices::Domain("CORP", "SERVER1", "anna", {});
    accounts::NetManagement net({}, fake);
    accounts::SetSessionEnvironment(net);
    EXPECT_EQ(Env("USERNAME"), "anna");
    EXPECT_EQ(Env("USERDOMAIN"), "CORP");
    EXPECT_EQ(Env("COMPUTERNAME"), "SERVER1");
}

TEST_F(SessionEnvironment, KeepsWhatIsSetAndReplacesEmptyValues)
{
    platform::SetEnvVar("USERNAME", "kept");
    platform::SetEnvVar("USERDOMAIN", "");
    auto fake = accounts::FakeAccountServices::Local("SERVER1", "anna", {});
    accounts::NetManagement net({}, fake);
    accounts::SetSessionEnvironment(net);
    EXPECT_EQ(Env("USERNAME"), "kept");
    EXPECT_EQ(Env("USERDOMAIN"), "SERVER1");
    EXPECT_EQ(Env("COMPUTERNAME"), "SERVER1");
}

TEST_F(SessionEnvironment, FailedLookupsLeaveVariablesUnset)
{
    accounts::FakeAccountServices fake;
    fake.computerName = "SERVER1";
    accounts::NetManagement net({}, fake);
    accounts::SetSessionEnvironment(net);
    EXPECT_EQ(Env("USERNAME"), "(unset)");
    EXPECT_EQ(Env("USERDOMAIN"), "(unset)");
    EXPECT_EQ(Env("COMPUTERNAME"), "SERVER1");
}

TEST_F(SessionEnvironment, SystemLookupMatchesTheAccount)
{
    accounts::SetSessionEnvironment();
    auto services = platform::CreateSystemAccountServices();
    accounts::NetManagement net({}, *services);
    std::u16string account;
    ASSERT_EQ(net.GetCurrentAccountName(account), 1);
    EXPECT_EQ(config::FromUtf8(Env("USERDOMAIN") + "\\" + Env("USERNAME")), account);
}

} // namespace
