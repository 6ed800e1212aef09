#include "platform/folder_listing.h"

#include <cerrno>
#include <map>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/temp_files.h"

namespace {

std::map<std::string, platform::FolderEntryInfo> List(const std::string& folder, int& error)
{
    std::map<std::string, platform::FolderEntryInfo> out;
    error = platform::ListFolder(folder, [&](platform::FolderEntryInfo&& e) {
        out[e.name] = e;
        return true;
    });
    return out;
}

struct KindCase {
    const char* name;
    bool isDir;
    bool isSymLink;
    std::int64_t size;
};

TEST(FolderListing, EachKindOfEntryIsDescribed)
{
    const auto dir = testfiles::ScratchDir("listing-kinds");
    testfiles::Put(dir / "file", "12345");
    std::filesystem::create_directory(dir / "sub");
    ::symlink("file", (dir / "link-to-file").c_str());
    ::symlink("sub", (dir / "link-to-dir").c_str());
    ::symlink("missing", (dir / "dangling").c_str());
    int error = -1;
    const auto entries = List(dir, error);
    ASSERT_EQ(error, 0);
    const KindCase cases[] = {
        {"file", false, false, 5},
        {"sub", true, false, 0},
        {"link-to-file", false, true, 5},   // shows what it points to
        {"link-to-dir", true, true, 0},
        {"dangling", false, true, 7},       // the link itself
    };
    EXPECT_EQ(entries.size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(entries.count(c.name));
        const auto& e = entries.at(c.name);
        EXPECT_EQ(e.isDir, c.isDir);
        EXPECT_EQ(e.isSymLink, c.isSymLink);
        EXPECT_EQ(e.size, c.size);
        EXPECT_GT(e.mtimeMs, 0);
    }
}

TEST(FolderListing, FailuresGiveTheErrorNumber)
{
    const auto dir = testfiles::ScratchDir("listing-errors");
    testfiles::Put(dir / "plain", "x");
    const std::pair<std::string, int> cases[] = {
        {(dir / "missing").string(), ENOENT},
        {(dir / "plain").string(), ENOTDIR},
    };
    for (const auto& [path, expected] : cases) {
        int error = 0;
        EXPECT_TRUE(List(path, error).empty()) << path;
        EXPECT_EQ(error, expected) << path;
    }
}

TEST(FolderListing, StopsWhenAsked)
{
    const auto dir = testfiles::ScratchDir("listing-stop");
    for (int i = 0; i < 10; ++i)
        testfiles::Put(dir / std::to_string(i), "");
    int seen = 0;
    EXPECT_EQ(platform::ListFolder(dir, [&](platform::FolderEntryInfo&&) { return ++seen < 3; }), 0);
    EXPECT_EQ(seen, 3);
}

} // namespace
