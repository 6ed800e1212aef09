#include "platform/tree_files.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;

// In the kernel within one file system, through a buffer across two (where
// the kernel refuses), and the same bytes either way.
TEST(OpenFile, CopiesWithinAndAcrossFileSystems)
{
    const fs::path disk = testfiles::ScratchDir("tree-files");
    const fs::path memory = fs::path("/dev/shm") / ("quillon-tree-files-" + std::to_string(::getpid()));
    std::string bytes(9 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 4096);
    for (const fs::path& from : {disk, memory}) {
        if (!fs::is_directory(from.parent_path()))
            continue;
        fs::create_directories(from);
        testfiles::Put(from / "source", bytes);
        platform::Folder source, target;
        ASSERT_FALSE(platform::Folder::Open(from, source));
        ASSERT_FALSE(platform::Folder::Open(disk, target));
        platform::OpenFile in, out, again;
        platform::EntryInfo info;
        ASSERT_FALSE(in.OpenForReading(source, "source", false, info));
        ASSERT_FALSE(out.CreateExclusive(target, "copy"));
        EXPECT_EQ(again.CreateExclusive(target, "copy").kind, platform::FileErrorKind::Exists);
        std::uint64_t last = 0;
        const platform::FileError e = out.CopyFrom(in, [&](std::uint64_t copied) { return (last = copied), true; });
        EXPECT_FALSE(e) << e.message;
        EXPECT_FALSE(out.Finish(0640, info.accessed, info.modified));
        EXPECT_EQ(last, bytes.size());
        EXPECT_TRUE(testfiles::Slurp(disk / "copy") == bytes) << from;
        EXPECT_TRUE(target.HoldsLinks("probe"));
        fs::remove(disk / "copy");
    }
    fs::remove_all(memory);
}
