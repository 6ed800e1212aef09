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

TEST(GetEntryAttributes, SeesTheLinkNotWhatItPointsTo)
{
    const fs::path dir = testfiles::ScratchDir("entry-attributes");
    fs::create_directories(dir / "folder");
    fs::create_symlink(dir / "folder", dir / "link");
    fs::create_symlink(dir / "gone", dir / "dangling");
    const struct {
        const char* name;
        int error;
        bool isDirectory, isLink, followedIsDirectory;
    } cases[] = {
        {"folder", 0, true, false, true},
        {"link", 0, false, true, true},
        {"dangling", 0, false, true, false},
        {"missing", ENOENT, false, false, false},
    };
    for (const auto& c : cases) {
        const platform::PathAttributes a = platform::GetEntryAttributes((dir / c.name).string());
        EXPECT_EQ(a.error, c.error) << c.name;
        EXPECT_EQ(a.isDirectory, c.isDirectory) << c.name;
        EXPECT_EQ(a.isLink, c.isLink) << c.name;
        EXPECT_EQ(platform::GetPathAttributes((dir / c.name).string()).isDirectory, c.followedIsDirectory) << c.name;
    }
}
