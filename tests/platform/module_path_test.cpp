#include "platform/module_path.h"

#include <gtest/gtest.h>

TEST(ModulePath, CompanionFilesSitBesideTheExecutable)
{
    auto dir = platform::GetModuleDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "platform_tests"));
    EXPECT_EQ(platform::ConfigFilePath(), dir / "userConfig.QLNData");
    EXPECT_EQ(platform::TransferToolPath(), dir / "pontlet");
    EXPECT_EQ(platform::HelpFilePath(), dir / "Quillon.html");
    EXPECT_NE(dir.string().back(), '/');
}
