#include <gtest/gtest.h>

#include "document/configuration_backup.h"
#include "platform/probe.h"
#include "support/temp_files.h"

namespace {

namespace fs = std::filesystem;
using document::ReplaceConfigurationKeepingBackup;
using testfiles::Put;
using testfiles::Slurp;

class ConfigurationBackupTest : public testing::Test {
protected:
    probe::ScratchDir dir;
    fs::path stored = dir / "userConfig.QLNData";
    fs::path bak = dir / "userConfig.QLNData.bak";
    fs::path imported = dir / "import" / "copy.QLNData";
};

TEST_F(ConfigurationBackupTest, ImportKeepsTheReplacedFileBesideIt)
{
    Put(stored, "stored one");
    Put(imported, "imported one");
    EXPECT_FALSE(ReplaceConfigurationKeepingBackup(imported, stored));
    EXPECT_EQ(Slurp(stored), "imported one");
    EXPECT_EQ(Slurp(bak), "stored one");

    // The next import keeps what it replaced, the latest state before it.
    Put(stored, "saved since");
    Put(imported, "imported two");
    EXPECT_FALSE(ReplaceConfigurationKeepingBackup(imported, stored));
    EXPECT_EQ(Slurp(stored), "imported two");
    EXPECT_EQ(Slurp(bak), "saved since");
}

TEST_F(ConfigurationBackupTest, NothingStoredYetMeansNoBackup)
{
    Put(imported, "imported");
    EXPECT_FALSE(ReplaceConfigurationKeepingBackup(imported, stored));
    EXPECT_EQ(Slurp(stored), "imported");
    EXPECT_FALSE(fs::exists(bak));
}

TEST_F(ConfigurationBackupTest, FailuresLeaveStoredFileAndBackupAlone)
{
    Put(stored, "stored");
    Put(bak, "older backup");
    // A source that is not there.
    platform::FileError e = ReplaceConfigurationKeepingBackup(dir / "missing", stored);
    EXPECT_EQ(e.kind, platform::FileErrorKind::NotFound);
    EXPECT_EQ(Slurp(stored), "stored");
    EXPECT_EQ(Slurp(bak), "older backup");

    // The stored file onto itself: nothing to replace, nothing to keep.
    EXPECT_FALSE(ReplaceConfigurationKeepingBackup(stored, stored));
    EXPECT_EQ(Slurp(stored), "stored");
    EXPECT_EQ(Slurp(bak), "older backup");

    // A backup that cannot be written stops the import.
    fs::remove(bak);
    fs::create_directories(bak / "in the way");
    Put(imported, "imported");
    EXPECT_TRUE(ReplaceConfigurationKeepingBackup(imported, stored));
    EXPECT_EQ(Slurp(stored), "stored");
}

TEST_F(ConfigurationBackupTest, ImportingTheBackupItselfSwapsTheTwoAndLosesNeither)
{
    fs::create_directories(dir / "import");
    fs::create_symlink(bak, dir / "import" / "link");
    // The administrator may pick it by any name: the file decides, not the name.
    const fs::path viaFolder = dir / "import" / ".." / bak.filename();
    const fs::path names[] = {bak, dir / "import" / "link", dir / "import" / "hard", viaFolder};
    for (const fs::path& chosen : names) {
        Put(stored, "current");
        Put(bak, "wanted backup");
        fs::remove(dir / "import" / "hard");
        fs::create_hard_link(bak, dir / "import" / "hard");
        EXPECT_FALSE(ReplaceConfigurationKeepingBackup(chosen, stored)) << chosen;
        EXPECT_EQ(Slurp(stored), "wanted backup") << chosen;
        EXPECT_EQ(Slurp(bak), "current") << chosen;
        EXPECT_FALSE(fs::exists(dir / "userConfig.QLNData.bak.1"));  // the copy is the configuration now
    }
}

} // namespace

TEST_F(ConfigurationBackupTest, ALinkedConfigurationKeepsItsBackupBesideTheRealFile)
{
    // The program's folder may be read-only with the configuration linked
    // into a folder the administrators may write.
    const fs::path realDir = dir / "writable";
    Put(realDir / "real.QLNData", "stored");
    fs::remove(stored);
    fs::create_symlink(realDir / "real.QLNData", stored);
    Put(imported, "imported");
    EXPECT_FALSE(ReplaceConfigurationKeepingBackup(imported, stored));
    EXPECT_TRUE(fs::is_symlink(stored));
    EXPECT_EQ(Slurp(stored), "imported");
    EXPECT_EQ(Slurp(realDir / "real.QLNData.bak"), "stored");
    EXPECT_FALSE(fs::exists(bak));
}
