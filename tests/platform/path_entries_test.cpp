#include "platform/path_entries.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

TEST(IsSameOrInside, ComparesWholeNamesOnly)
{
    const struct {
        const char* folder;
        const char* path;
        bool inside;
    } cases[] = {
        {"/srv/a", "/srv/a", true},
        {"/srv/a", "/srv/a/b", true},
        {"/srv/a", "/srv/ab", false},
        {"/srv/a", "/srv", false},
        {"/srv/a", "/SRV/a", false},
        {"/", "/etc", true},
        {"", "/etc", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::IsSameOrInside(c.folder, c.path), c.inside) << c.folder << " " << c.path;
}

TEST(ResolveRealPath, FollowsLinksAndReportsDanglingOnes)
{
    const fs::path dir = fs::canonical(testfiles::ScratchDir("realpath"));
    fs::create_directories(dir / "inner");
    fs::create_symlink("/", dir / "root");
    fs::create_symlink(dir / "inner", dir / "in");
    fs::create_symlink(dir / "gone", dir / "dangling");

    EXPECT_EQ(platform::ResolveRealPath((dir / "root").string()).path, "/");
    EXPECT_EQ(platform::ResolveRealPath((dir / "in/../in/.").string()).path, (dir / "inner").string());
    EXPECT_EQ(platform::ResolveRealPath((dir / "dangling").string()).error, ENOENT);
    EXPECT_EQ(platform::ResolveRealPath("").error, ENOENT);
}
