#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/probe.h"

namespace {

using platform::LookupEnvironmentVariable;

TEST(EnvLookup, ExactNameFirst)
{
    probe::ScopedEnv lower("quillon_mixed", "lower");
    probe::ScopedEnv upper("QUILLON_MIXED", "upper");
    EXPECT_EQ(LookupEnvironmentVariable("QUILLON_MIXED"), "upper");
    EXPECT_EQ(LookupEnvironmentVariable("quillon_mixed"), "lower");
}

TEST(EnvLookup, NamesWrittenForWindowsIgnoreCase)
{
    probe::ScopedEnv v("QUILLON_USERNAME", "anna");
    EXPECT_EQ(LookupEnvironmentVariable("Quillon_UserName"), "anna");
}

TEST(EnvLookup, EmptyValueIsSet)
{
    probe::ScopedEnv v("QUILLON_EMPTY", "");
    EXPECT_EQ(LookupEnvironmentVariable("QUILLON_EMPTY"), "");
}

TEST(EnvLookup, UnsetAndImpossibleNames)
{
    probe::ScopedEnv v("QUILLON_A", "x=y");
    EXPECT_FALSE(LookupEnvironmentVariable("QUILLON_NOT_SET_ANYWHERE"));
    EXPECT_FALSE(LookupEnvironmentVariable(""));
    // "QUILLON_A=x" must not read as a variable whose value is "y".
    EXPECT_FALSE(LookupEnvironmentVariable("QUILLON_A=x"));
    EXPECT_FALSE(LookupEnvironmentVariable(std::string_view("QUILLON_A\0", 10)));
}

} // namespace
