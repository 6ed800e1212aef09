#include "commands.h"

#include "config/config_file.h"
#include "journal/journal.h"
#include "platform/module_path.h"
#include "support/journal_listener.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;
using testjournal::Field;

namespace {

void Write(const fs::path& path, std::initializer_list<const char16_t*> names)
{
    CTSUserData data;
    for (const char16_t* name : names)
        data.Add(name, kEntryUser, false);
    ASSERT_TRUE(config::SaveConfigurationFile(path, data));
}

} // namespace

// Only a write onto the configuration beside the program is recorded, with
// the entries it changed against what that file held.
TEST(QuillonctlJournal, ConvertOntoTheLiveConfigurationNamesItsChanges)
{
    const fs::path live = platform::ConfigFilePath();
    if (fs::exists(live))
        GTEST_SKIP() << live << " belongs to someone else";
    const fs::path dir = testfiles::ScratchDir("quillonctl-journal");
    testjournal::Listener listener(dir);
    const journal::Journal journal(platform::CreateSystemJournalSink(listener.Path()), "quillonctl", "VM\\root");
    Write(dir / "in.QLNData", {u"VM\\anna", u"VM\\carl"});
    Write(live, {u"VM\\anna", u"VM\\bob"});
    std::ostringstream out, err;

    EXPECT_EQ(quillonctl::Run({"convert", (dir / "in.QLNData").string(), (dir / "other.QLNData").string()}, out, err,
                              journal),
              0);
    EXPECT_EQ(quillonctl::Run({"convert", (dir / "in.QLNData").string(), live.string()}, out, err, journal), 0);
    fs::remove(live);

    const auto records = listener.Take();
    ASSERT_EQ(records.size(), 1u) << err.str();
    EXPECT_EQ(Field(records[0], "QUILLON_EVENT"), "configuration-saved");
    EXPECT_EQ(Field(records[0], "SYSLOG_IDENTIFIER"), "quillonctl");
    EXPECT_EQ(Field(records[0], "QUILLON_SOURCE"), "quillonctl convert");
    EXPECT_EQ(Field(records[0], "QUILLON_ENTRY_ADDED"), "VM\\carl");
    EXPECT_EQ(Field(records[0], "QUILLON_ENTRY_REMOVED"), "VM\\bob");
    EXPECT_EQ(Field(records[0], "QUILLON_ENTRIES_CHANGED"), "0");
}
