#include "platform/files.h"
#include "platform/system_error.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path Dir()
{
    return testfiles::ScratchDir("files");
}

using testfiles::Slurp;

} // namespace

TEST(FileReader, ReportsKindOfFailure)
{
    platform::FileReader r;
    EXPECT_EQ(r.Open(Dir() / "missing").kind, platform::FileErrorKind::NotFound);
    EXPECT_TRUE(r.Open(Dir()));  // a folder is not a file
    std::ofstream(Dir() / "five") << "12345";
    EXPECT_FALSE(r.Open(Dir() / "five"));
    EXPECT_EQ(r.Size(), 5u);
    char buf[8];
    EXPECT_EQ(r.Read(buf, sizeof buf), 5);
    EXPECT_EQ(r.Read(buf, sizeof buf), 0);
}

TEST(AtomicFileWriter, AbortLeavesTargetUntouched)
{
    auto target = Dir() / "target";
    std::ofstream(target) << "old";
    {
        platform::AtomicFileWriter w;
        ASSERT_FALSE(w.Begin(target));
        ASSERT_TRUE(w.Write("new content", 11));
        // destroyed without Commit
    }
    EXPECT_EQ(Slurp(target), "old");
    for (auto& e : fs::directory_iterator(Dir()))
        EXPECT_EQ(e.path().filename().string().find("target."), std::string::npos);
}

TEST(CopyFileReplacing, ReplacesAndReportsMissingSource)
{
    auto from = Dir() / "from";
    auto to = Dir() / "to";
    std::ofstream(from) << "payload";
    std::ofstream(to) << "previous, longer content";
    EXPECT_FALSE(platform::CopyFileReplacing(from, to));
    EXPECT_EQ(Slurp(to), "payload");
    EXPECT_EQ(platform::CopyFileReplacing(Dir() / "nope", to).kind, platform::FileErrorKind::NotFound);
    EXPECT_EQ(Slurp(to), "payload");
}

TEST(CreateDirectory, CreatesOneLevelAndReportsWhyNot)
{
    const fs::path base = Dir() / "mkdir";
    fs::remove_all(base);
    fs::create_directories(base);
    testfiles::Put(base / "file", "x");
    struct Case {
        fs::path path;
        platform::FileErrorKind kind;
        int code;
    };
    const Case cases[] = {
        {base / "new", platform::FileErrorKind::None, 0},
        {base / "new", platform::FileErrorKind::Other, EEXIST},  // made by the row above
        {base / "missing" / "child", platform::FileErrorKind::NotFound, ENOENT},
        {base / "file" / "child", platform::FileErrorKind::NotFound, ENOTDIR},
    };
    for (const Case& c : cases) {
        const platform::FileError e = platform::CreateDirectory(c.path);
        EXPECT_EQ(e.kind, c.kind) << c.path;
        EXPECT_EQ(e.code, c.code) << c.path;
        EXPECT_EQ(e.message.empty(), c.code == 0) << c.path;
    }
    EXPECT_TRUE(fs::is_directory(base / "new"));
}

TEST(GetSystemErrorText, GivesTheSystemsWordingForAnyNumber)
{
    EXPECT_EQ(platform::GetSystemErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(platform::GetSystemErrorText(EACCES), "Permission denied");
    EXPECT_FALSE(platform::GetSystemErrorText(987654).empty());
}
