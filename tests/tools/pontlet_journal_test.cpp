#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

#include "automatic_run.h"
#include "outcome_journal.h"
#include "pontlet_support.h"
#include "support/journal_listener.h"

using namespace pontlet;
using namespace pontlettest;
using testjournal::Field;

// A hidden run with one file that cannot be copied: a record for that file
// and one summary, none for the files copied; a dry run records nothing.
TEST(PontletJournal, HiddenRunRecordsTheFailedFileAndASummary)
{
    const fs::path from = Fresh("journal-from"), to = Fresh("journal-to");
    Put(from / "a.txt", "hello");
    Put(from / "sub" / "b.txt", "world");
    ASSERT_EQ(::mkfifo((from / "pipe").c_str(), 0644), 0);
    testjournal::Listener listener(Fresh("journal-socket"));
    const RunJournal run{journal::Journal(platform::CreateSystemJournalSink(listener.Path()), "pontlet", "VM\\anna")};
    TransferOptions o;
    o.serverPath = from;
    o.clientPath = to;
    o.overwrite = Overwrite::Always;
    o.hide = true;
    std::ostringstream out, err;

    o.dryRun = true;
    RunWithoutWindow(o, out, err, {}, {}, &run);
    EXPECT_TRUE(listener.Take().empty());
    o.dryRun = false;
    EXPECT_EQ(RunWithoutWindow(o, out, err, {}, {}, &run), kExitNotCopied);

    const auto records = listener.Take();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(Field(records[0], "QUILLON_EVENT"), "file-failed");
    EXPECT_EQ(Field(records[0], "PRIORITY"), "4");
    EXPECT_EQ(Field(records[0], "QUILLON_PATH"), (from / "pipe").string());
    EXPECT_NE(Field(records[0], "QUILLON_REASON").find("FIFO"), std::string::npos);
    const auto& summary = records[1];
    EXPECT_EQ(Field(summary, "QUILLON_EVENT"), "transfer-summary");
    EXPECT_EQ(Field(summary, "SYSLOG_IDENTIFIER"), "pontlet");
    EXPECT_EQ(Field(summary, "QUILLON_FILES_COPIED"), "2");
    EXPECT_EQ(Field(summary, "QUILLON_FILES_FAILED"), "1");
    EXPECT_EQ(Field(summary, "QUILLON_FILES_KEPT"), "0");
    EXPECT_EQ(Field(summary, "QUILLON_BYTES"), "10");
    EXPECT_EQ(Field(summary, "QUILLON_SOURCE_FOLDER"), from.string());
    EXPECT_NE(Field(summary, "QUILLON_SECONDS"), "<none>");
}
