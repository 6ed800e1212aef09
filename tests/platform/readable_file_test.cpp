#include "platform/mounts.h"
#include "platform/readable_file.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ReadableFile, OnlyAPlainFileNamedDirectlyOpensAndNothingWaitsForAWriter)
{
    const fs::path dir = testfiles::ScratchDir("readable");
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "x.png") << "12345";
    ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0600), 0);
    fs::create_symlink(dir / "x.png", dir / "link.png");
    using platform::FileErrorKind;
    const std::pair<const char*, FileErrorKind> cases[] = {
        {"x.png", FileErrorKind::None},
        {"pipe.png", FileErrorKind::NotRegularFile},  // would block a reader
        {"", FileErrorKind::NotRegularFile},          // the folder
        {"link.png", FileErrorKind::Other},           // ELOOP: never through a link
        {"missing.png", FileErrorKind::NotFound},
    };
    for (const auto& [name, kind] : cases) {
        platform::ReadableFile file;
        EXPECT_EQ(file.Open(dir / name).kind, kind) << name;
        EXPECT_EQ(file.Descriptor() >= 0, kind == FileErrorKind::None) << name;
    }
    platform::ReadableFile file;
    ASSERT_FALSE(file.Open(dir / "x.png"));
    char bytes[8];
    EXPECT_EQ(file.Size(), 5u);
    EXPECT_EQ(::read(file.Descriptor(), bytes, sizeof bytes), 5);
}

TEST(Mounts, APathLiesOnTheLongestMountPointAboveItTakenAsWritten)
{
    const std::string table =
        "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "30 22 0:40 / /srv/share rw - nfs4 server:/export rw\n"
        "31 22 0:41 / /srv/share2 rw - nfs server:/other rw\n"
        "32 22 0:42 / /mnt/my\\040disk rw - fuse x rw\n"
        "garbage\n";
    const std::pair<const char*, const char*> cases[] = {
        {"/srv/share", "/srv/share"},
        {"/srv/share/a/b.png", "/srv/share"},
        {"/srv/share2/x", "/srv/share2"},  // not /srv/share by its first letters
        {"/srv/sharex", "/"},
        {"/mnt/my disk/f", "/mnt/my disk"},
        {"/home/anna", "/"},
        {"relative", ""},
    };
    for (const auto& [path, mount] : cases)
        EXPECT_EQ(platform::MountPointIn(path, table), mount) << path;
    EXPECT_EQ(platform::MountPointOf("/"), "/");
}
