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

// Copying one file into a folder: whatever is at the name, a link above all,
// is replaced by a rename and never written through; without replacing, it
// is kept; no temporary file is left behind either way.
TEST(CopyFileInto, ReplacesByRenameAndNeverWritesThroughALink)
{
    const fs::path dir = testfiles::ScratchDir("copy-file-into");
    fs::remove_all(dir);
    testfiles::Put(dir / "from/source", "new");
    testfiles::Put(dir / "outside/secret", "secret");
    const struct {
        const char* what;
        std::function<void(const fs::path&)> plant;  // at the target's name
        bool replace;
        platform::FileErrorKind error;
        std::string result;
    } cases[] = {
        {"a free name", [](const fs::path&) {}, false, platform::FileErrorKind::None, "new"},
        {"a file, replaced", [](const fs::path& at) { testfiles::Put(at, "old"); }, true, platform::FileErrorKind::None, "new"},
        {"a file, kept", [](const fs::path& at) { testfiles::Put(at, "old"); }, false, platform::FileErrorKind::Exists, "old"},
        {"a link out", [&](const fs::path& at) { fs::create_symlink(dir / "outside/secret", at); }, true,
         platform::FileErrorKind::None, "new"},
        {"a dangling link", [&](const fs::path& at) { fs::create_symlink(dir / "outside/none", at); }, true,
         platform::FileErrorKind::None, "new"},
        {"a dangling link, kept", [&](const fs::path& at) { fs::create_symlink(dir / "outside/none", at); }, false,
         platform::FileErrorKind::Exists, ""},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir / "to");
        fs::create_directories(dir / "to");
        c.plant(dir / "to/name");
        platform::Folder from, to;
        ASSERT_FALSE(platform::Folder::Open(dir / "from", from));
        ASSERT_FALSE(platform::Folder::Open(dir / "to", to));
        platform::OpenFile in;
        platform::EntryInfo info;
        ASSERT_FALSE(in.OpenForReading(from, "source", false, info));
        int n = 0;
        const platform::FileError e = platform::CopyFileInto(
            in, info, to, "name", c.replace, [&n] { return ".temp" + std::to_string(n++); }, {});
        EXPECT_EQ(e.kind, c.error) << c.what;
        EXPECT_EQ(testfiles::Slurp(dir / "to/name"), c.result) << c.what;
        EXPECT_EQ(fs::is_symlink(dir / "to/name"), c.result.empty()) << c.what;
        EXPECT_EQ(testfiles::Slurp(dir / "outside/secret"), "secret") << c.what;
        EXPECT_FALSE(fs::exists(dir / "outside/none")) << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "to"), fs::directory_iterator()), 1) << c.what;
    }
}
