#include "accounts/administrator.h"

#include "support/fake_account_services.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(IsAdministrator, FollowsTheCheckAndReportsOnlyFailures)
{
    struct Case {
        platform::RightsCheck check;
        bool expected;
        const char* diagnostic;
    };
    const Case cases[] = {
        {{true, true, 0}, true, ""},
        {{true, false, 0}, false, ""},
        {{false, true, 13}, false, "AccessCheck() failed with error 13\n"},
        {{false, false, 1}, false, "AccessCheck() failed with error 1\n"},
    };
    for (const Case& c : cases) {
        accounts::FakeAccountServices fake;
        fake.rights = c.check;
        std::ostringstream diagnostics;
        EXPECT_EQ(accounts::IsAdministrator(fake, diagnostics), c.expected);
        EXPECT_EQ(diagnostics.str(), c.diagnostic);
    }
}

TEST(IsAdministrator, DiagnosticGoesToStandardOutputByDefault)
{
    accounts::FakeAccountServices fake;
    fake.rights = {false, false, 5};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(accounts::IsAdministrator(fake));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "AccessCheck() failed with error 5\n");
}

} // namespace
