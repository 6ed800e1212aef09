#include "platform/environment.h"

#include <gtest/gtest.h>

TEST(Environment, SetReadAndUnset)
{
    const std::string name = "QUILLON_ENV_TEST_VARIABLE";
    ASSERT_TRUE(platform::UnsetEnvVar(name));
    EXPECT_EQ(platform::GetEnvVar(name), std::nullopt);

    ASSERT_TRUE(platform::SetEnvVar(name, ""));
    EXPECT_EQ(platform::GetEnvVar(name), std::optional<std::string>(""));  // set, but empty

    ASSERT_TRUE(platform::SetEnvVar(name, "a b=c %x%"));
    EXPECT_EQ(platform::GetEnvVar(name), std::optional<std::string>("a b=c %x%"));

    ASSERT_TRUE(platform::UnsetEnvVar(name));
    EXPECT_EQ(platform::GetEnvVar(name), std::nullopt);
}
