#include "platform/files.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
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

namespace {

using platform::FileErrorKind;

// A file or other object the test makes at `path`.
void MakeFifo(const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }

void SetAge(const fs::path& p, std::chrono::seconds age)
{
    const struct timespec when[2] = {{::time(nullptr) - age.count(), 0}, {::time(nullptr) - age.count(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), when, AT_SYMLINK_NOFOLLOW), 0) << p;
}

} // namespace

TEST(ReadWholeFile, OnlyRegularFilesAreRead)
{
    fs::remove(Dir() / "fifo");
    MakeFifo(Dir() / "fifo");
    // Each must be refused at once: a FIFO without writer would block an
    // ordinary open, a device never ends.
    for (const fs::path& p : {Dir() / "fifo", fs::path("/dev/zero"), Dir()}) {
        platform::WholeFile whole;
        EXPECT_EQ(platform::ReadWholeFile(p, whole).kind, FileErrorKind::NotRegularFile) << p;
        platform::FileReader reader;
        EXPECT_EQ(reader.Open(p).kind, FileErrorKind::NotRegularFile) << p;
        EXPECT_EQ(platform::CopyFileReplacing(p, Dir() / "copy").kind, FileErrorKind::NotRegularFile) << p;
    }
    EXPECT_FALSE(fs::exists(Dir() / "copy"));
}

TEST(ReadWholeFile, GivesTheBytesAndTheIdentityOfWhatItRead)
{
    const fs::path p = Dir() / "whole";
    std::ofstream(p) << "12345";
    platform::WholeFile whole;
    ASSERT_FALSE(platform::ReadWholeFile(p, whole));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(whole.bytes.get()), whole.size), "12345");
    platform::FileIdentity now;
    ASSERT_FALSE(platform::IdentifyFile(p, now));
    EXPECT_TRUE(now.exists);
    EXPECT_EQ(now, whole.identity);

    // A save by rename is another file, even with the same size and time.
    platform::AtomicFileWriter w;
    ASSERT_FALSE(w.Begin(p));
    ASSERT_TRUE(w.Write("54321", 5));
    ASSERT_FALSE(w.Commit());
    ASSERT_FALSE(platform::IdentifyFile(p, now));
    EXPECT_NE(now, whole.identity);
    EXPECT_EQ(now, w.Written());

    fs::remove(p);
    EXPECT_FALSE(platform::IdentifyFile(p, now));
    EXPECT_FALSE(now.exists);
    EXPECT_EQ(platform::ReadWholeFile(p, whole).kind, FileErrorKind::NotFound);
    EXPECT_FALSE(whole.identity.exists);
}

TEST(RetryTransient, RetriesOnlyPassingFailuresAndOnlyAFewTimes)
{
    const platform::ReadAttempt ok{}, stale{{FileErrorKind::Other, ESTALE, "stale"}, true},
        denied{{FileErrorKind::AccessDenied, EACCES, "denied"}, false};
    struct Case {
        const char* what;
        std::vector<platform::ReadAttempt> script;
        int calls;
        FileErrorKind result;
    };
    const Case cases[] = {
        {"read at once", {ok}, 1, FileErrorKind::None},
        {"stale, then read", {stale, stale, ok}, 3, FileErrorKind::None},
        {"a lasting failure is not retried", {denied, ok}, 1, FileErrorKind::AccessDenied},
        {"stale, then lasting", {stale, denied, ok}, 2, FileErrorKind::AccessDenied},
        {"stale every time gives up", {stale, stale, stale, stale, stale, ok}, 5, FileErrorKind::Other},
    };
    for (const Case& c : cases) {
        int calls = 0;
        const platform::FileError e = platform::RetryTransient(
            [&] { return c.script[static_cast<std::size_t>(calls++)]; }, {5, std::chrono::milliseconds(0)});
        EXPECT_EQ(calls, c.calls) << c.what;
        EXPECT_EQ(e.kind, c.result) << c.what;
    }
}

TEST(RemoveStaleTempFiles, RemovesOnlyOldTempFilesOfItsOwnNaming)
{
    const fs::path folder = Dir() / "stale";
    fs::create_directories(folder);
    const fs::path target = folder / "cfg.QLNData";
    std::ofstream(folder / "elsewhere") << "the link's target";
    struct Case {
        const char* name;
        enum { File, Link, Folder } kind;
        bool old;
        bool removed;
    };
    const Case cases[] = {
        {"cfg.QLNData.Ab3xZ9", Case::File, true, true},
        {"cfg.QLNData.Ab3xZ8", Case::File, false, false},      // a save may be writing it
        {"cfg.QLNData.Ab3xZ7", Case::Link, true, false},       // never a link, nor what it names
        {"cfg.QLNData.Ab3xZ6", Case::Folder, true, false},
        {"cfg.QLNData.Ab3xZ", Case::File, true, false},        // not the six letters of a temp name
        {"cfg.QLNData.Ab3_Z5", Case::File, true, false},
        {"cfg.QLNData.Ab3xZ55", Case::File, true, false},
        {"other.QLNData.Ab3xZ4", Case::File, true, false},
        {"cfg.QLNData", Case::File, true, false},
    };
    for (const Case& c : cases) {
        const fs::path p = folder / c.name;
        if (c.kind == Case::File)
            std::ofstream(p) << "x";
        else if (c.kind == Case::Link)
            fs::create_symlink(folder / "elsewhere", p);
        else
            fs::create_directories(p);
        SetAge(p, c.old ? std::chrono::seconds(3600) : std::chrono::seconds(0));
    }
    SetAge(folder / "elsewhere", std::chrono::seconds(3600));
    EXPECT_EQ(platform::RemoveStaleTempFiles(target, std::chrono::seconds(600)), 1u);
    for (const Case& c : cases)
        EXPECT_EQ(!fs::exists(fs::symlink_status(folder / c.name)), c.removed) << c.name;
    EXPECT_TRUE(fs::exists(folder / "elsewhere"));
}

TEST(SaveLock, OneHolderAtATimeAcrossProcessesAndDescriptors)
{
    const fs::path lockFile = Dir() / "cfg.lock";
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(30);  // never outlives a broken test
        ::close(release[1]);
        ::close(ready[0]);
        platform::SaveLock held;
        const char ok = held.Acquire(lockFile, std::chrono::milliseconds(0)) ? 'n' : 'y';
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);  // until the parent closes its end
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');

    platform::SaveLock mine;
    EXPECT_TRUE(mine.Acquire(lockFile, std::chrono::milliseconds(100)));
    EXPECT_FALSE(mine.Held());

    ::close(release[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(ready[0]);
    ASSERT_FALSE(mine.Acquire(lockFile, std::chrono::milliseconds(100)));
    EXPECT_TRUE(mine.Held());
    // Every administrator may lock it, whatever the umask of the one who made it.
    EXPECT_EQ(fs::status(lockFile).permissions() & fs::perms::all, fs::perms(0664));
    // A second holder in this very process waits too.
    platform::SaveLock other;
    EXPECT_TRUE(other.Acquire(lockFile, std::chrono::milliseconds(0)));
    mine.Release();
    EXPECT_FALSE(other.Acquire(lockFile, std::chrono::milliseconds(0)));
}
