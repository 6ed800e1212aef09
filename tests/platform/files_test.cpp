#include "platform/files.h"
#include "platform/system_error.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <tuple>
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

TEST(CreateDirectory, CreatesOneLevelAndReportsWhyNotInTheSystemsWords)
{
    const fs::path base = Dir() / "mkdir";
    fs::remove_all(base);
    testfiles::Put(base / "file", "x");
    const std::tuple<fs::path, int, std::string> cases[] = {
        {base / "new", 0, ""},
        {base / "new", EEXIST, "File exists"},  // made by the row above
        {base / "missing" / "child", ENOENT, "No such file or directory"},
        {base / "file" / "child", ENOTDIR, "Not a directory"},
    };
    for (const auto& [path, code, text] : cases) {
        const platform::FileError e = platform::CreateDirectory(path);
        EXPECT_EQ(e.code, code) << path;
        EXPECT_EQ(e.message, text) << path;
        EXPECT_EQ(platform::GetSystemErrorText(code), code ? text : "Success") << path;
    }
    EXPECT_TRUE(fs::is_directory(base / "new"));
    EXPECT_FALSE(platform::GetSystemErrorText(987654).empty());
}
