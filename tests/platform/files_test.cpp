#include "platform/files.h"
#include "platform/system_error.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
    // Written in place after the open: a failure worth another open.
    EXPECT_FALSE(r.CheckUnchanged().error);
    std::ofstream(Dir() / "five", std::ios::app) << "6";
    const platform::ReadAttempt changed = r.CheckUnchanged();
    EXPECT_TRUE(changed.error);
    EXPECT_TRUE(changed.transient);
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

using platform::FileErrorKind;

TEST(ReadWholeFile, OnlyRegularFilesAndNeverWaits)
{
    fs::remove(Dir() / "fifo");
    ASSERT_EQ(::mkfifo((Dir() / "fifo").c_str(), 0600), 0);
    // A FIFO without a writer would block an ordinary open; a device never ends.
    for (const fs::path& p : {Dir() / "fifo", fs::path("/dev/zero"), Dir()}) {
        platform::WholeFile whole;
        EXPECT_EQ(platform::ReadWholeFile(p, whole).kind, FileErrorKind::NotRegularFile) << p;
        EXPECT_EQ(platform::CopyFileReplacing(p, Dir() / "copy").kind, FileErrorKind::NotRegularFile) << p;
    }
}

TEST(ReadWholeFile, EverySizeReadsAndWritesBackWhole)
{
    // Around the sizes where memory and writes change how they are taken.
    const std::size_t mb = std::size_t(1) << 20;
    for (const std::size_t size : {std::size_t(0), std::size_t(5), 4 * mb - 1, 4 * mb, 8 * mb + 1, 12 * mb + 7}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 7 + i / 4093);
        testfiles::Put(Dir() / "whole", bytes);
        platform::WholeFile whole;
        ASSERT_FALSE(platform::ReadWholeFile(Dir() / "whole", whole)) << size;
        ASSERT_EQ(whole.size, size);
        platform::AtomicFileWriter w;
        ASSERT_FALSE(w.Begin(Dir() / "again"));
        ASSERT_TRUE(w.Write(whole.bytes.get(), whole.size));
        ASSERT_FALSE(w.Commit());
        EXPECT_TRUE(Slurp(Dir() / "again") == bytes) << size;
    }
}

TEST(RetryTransient, RetriesOnlyPassingFailuresAndOnlyWithinItsBudget)
{
    const platform::ReadAttempt ok{}, stale{{FileErrorKind::Other, ESTALE, "stale"}, true},
        denied{{FileErrorKind::AccessDenied, EACCES, "denied"}, false};
    const std::vector<platform::ReadAttempt> staleForever(100, stale);
    const struct {
        std::vector<platform::ReadAttempt> script;
        int calls;
        FileErrorKind result;
        std::chrono::milliseconds readTime{};
    } cases[] = {
        {{stale, stale, ok}, 3, FileErrorKind::None},
        {{denied, ok}, 1, FileErrorKind::AccessDenied},
        {{stale, denied, ok}, 2, FileErrorKind::AccessDenied},
        // Pauses of 20, 40, 80, 160, 250, 250 ... ms: the tries that start within 2 s.
        {staleForever, 11, FileErrorKind::Other},
        // Reads slower than the budget still get their few tries.
        {staleForever, 5, FileErrorKind::Other, std::chrono::seconds(3)},
    };
    for (const auto& c : cases) {
        int calls = 0;
        std::chrono::steady_clock::time_point clock{};
        platform::RetryPolicy policy;
        policy.now = [&] { return clock; };
        policy.pause = [&](std::chrono::milliseconds d) { clock += d; };
        const auto e = platform::RetryTransient(
            [&] {
                clock += c.readTime;
                return c.script[std::size_t(calls++)];
            },
            policy);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(e.kind, c.result);
    }
}

TEST(RemoveStaleTempFiles, OnlyOldRegularTempFilesOfItsOwnNaming)
{
    const fs::path dir = Dir() / "stale";
    fs::create_directories(dir / "cfg.QLNData.Ab3xZ6");  // a folder
    std::ofstream(dir / "elsewhere") << "a link's target";
    fs::create_symlink(dir / "elsewhere", dir / "cfg.QLNData.Ab3xZ7");
    const std::vector<std::pair<const char*, bool>> names = {
        {"cfg.QLNData.Ab3xZ9", true}, {"cfg.QLNData.Ab3xZ7", false}, {"cfg.QLNData.Ab3xZ6", false},
        {"cfg.QLNData.Ab3xZ", false}, {"cfg.QLNData.Ab3_Z5", false}, {"other.QLNData.Ab3xZ4", false},
        {"cfg.QLNData", false}, {"elsewhere", false}};
    for (const auto& [name, removed] : names) {
        if (!fs::exists(fs::symlink_status(dir / name)))
            std::ofstream(dir / name) << "x";
        const struct timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), hourAgo, AT_SYMLINK_NOFOLLOW), 0);
    }
    std::ofstream(dir / "cfg.QLNData.Ab3xZ8") << "a save may be writing it";
    EXPECT_EQ(platform::RemoveStaleTempFiles(dir / "cfg.QLNData", std::chrono::seconds(600)), 1u);
    for (const auto& [name, removed] : names)
        EXPECT_EQ(!fs::exists(fs::symlink_status(dir / name)), removed) << name;
    EXPECT_TRUE(fs::exists(dir / "cfg.QLNData.Ab3xZ8"));
}

TEST(SaveLock, OneHolderAtATimeEvenInOneProcess)
{
    const fs::path lockFile = Dir() / "cfg.lock";
    platform::SaveLock first, second;
    ASSERT_FALSE(first.Acquire(lockFile, std::chrono::milliseconds(0)));
    EXPECT_TRUE(second.Acquire(lockFile, std::chrono::milliseconds(100)));
    first.Release();
    EXPECT_FALSE(second.Acquire(lockFile, std::chrono::milliseconds(0)));
    // Every administrator may lock it, whatever the umask of the one who made it.
    EXPECT_EQ(fs::status(lockFile).permissions() & fs::perms::all, fs::perms(0664));
}

// The same file under two names, or the same place for one not made yet.
TEST(SameFile, FollowsLinksAndDotsAndComparesMissingFilesByPlace)
{
    const fs::path dir = testfiles::ScratchDir("same-file");
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "a") << "a";
    std::ofstream(dir / "b") << "b";
    fs::create_symlink(dir / "a", dir / "link");
    const struct {
        fs::path a, b;
        bool same;
    } cases[] = {
        {dir / "a", dir / "a", true},
        {dir / "link", dir / "a", true},
        {dir / "sub" / ".." / "a", dir / "a", true},
        {dir / "a", dir / "b", false},
        {dir / "sub" / ".." / "new", dir / "new", true},  // not made yet
        {dir / "new", dir / "other", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::SameFile(c.a, c.b), c.same) << c.a << " " << c.b;
}
