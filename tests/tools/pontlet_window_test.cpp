// The progress and manual windows, answered through the prompts seam; the
// copies they run are real.
#include "folder_pane.h"
#include "manual_window.h"
#include "outcome_journal.h"
#include "pontlet_support.h"
#include "progress_window.h"
#include "scripted_prompts.h"
#include "support/journal_listener.h"
#include "support/test_application.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

using namespace pontlet;
using namespace pontlettest;

namespace {

class WindowTest : public testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }

    // Files in both folders, each side's content different from the other.
    void Differing(const std::vector<std::string>& names)
    {
        for (const std::string& n : names) {
            Put(from / n, "new " + n);
            Put(to / n, "old");
        }
    }

    fs::path from = Fresh("w-from");
    fs::path to = Fresh("w-to");
    ScriptedPrompts prompts;
};

// Waits until the pane's model has listed `folder` (a folder it lists at
// most once).
bool Loaded(FolderPane* pane, const fs::path& folder)
{
    QSignalSpy loaded(pane->FileModel(), &QFileSystemModel::directoryLoaded);
    const QString path = QString::fromStdString(folder.string());
    for (int i = 0; i < loaded.size() || loaded.wait(5000); ++i)
        if (loaded.at(i).at(0).toString() == path)
            return true;
    return false;
}

// A drop of local files onto a pane's viewport; whether it was taken.
bool Drop(FolderPane* pane, const std::vector<fs::path>& files)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const fs::path& f : files)
        urls << QUrl::fromLocalFile(QString::fromStdString(f.string()));
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane->viewport(), &drop);
    QApplication::sendPostedEvents();
    return drop.isAccepted();
}

platform::FileTime At(const char* isoDate)
{
    return {QDateTime::fromString(isoDate, Qt::ISODate).toSecsSinceEpoch(), 0};
}

} // namespace

TEST_F(WindowTest, ProgressAsksOnTheGuiThreadAndCountsEveryFile)
{
    Differing({"a", "b", "c"});
    Put(from / "d", "new only");
    prompts.answers = {Answer::Yes, Answer::NoToAll};
    CopySettings settings;
    ProgressWindow window({{from, {}, to}}, settings, prompts, "Copying", "From here to there");
    const Outcome out = window.Run(-1);
    EXPECT_EQ(prompts.asked.size(), 2u) << "No to All holds for the rest";
    EXPECT_TRUE(prompts.allOnGuiThread);
    EXPECT_EQ(out.copied, 2u);
    EXPECT_EQ(Slurp(to / "a"), "new a");
    EXPECT_EQ(Slurp(to / "c"), "old");
    EXPECT_TRUE(window.CountsText().startsWith("4 of 4 files")) << window.CountsText().toStdString();
    EXPECT_TRUE(prompts.told.isEmpty());
}

TEST_F(WindowTest, EscapeCancelsAndTheFileBeingWrittenIsRemoved)
{
    Differing({"a", "b"});
    ProgressWindow* shown = nullptr;
    prompts.answers = {Answer::Yes};
    prompts.whileAsking = [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(shown, &escape);
    };
    ProgressWindow window({{from, {}, to}}, CopySettings(), prompts, "Copying", "");
    shown = &window;
    const Outcome out = window.Run(-1);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(out.ExitCode(), kExitCancelled);
    EXPECT_EQ(Names(to), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Slurp(to / "a"), "old");
    EXPECT_TRUE(prompts.told.isEmpty()) << "nothing to report after a cancel";
}

TEST_F(WindowTest, TheQuestionNamesBothSidesSizeAndDate)
{
    const Conflict c{"/srv/docs/report.pdf", "/home/anna/docs/report.pdf", {123456, At("2024-03-05T10:00:00"), false},
                     {99, At("2021-11-30T08:00:00"), false}};
    const QString text = ConflictText(c).remove(QLocale().groupSeparator());
    for (const char* part : {"/home/anna/docs", "report.pdf", "/srv/docs", "123456 bytes", "99 bytes", "24", "21"})
        EXPECT_TRUE(text.contains(part)) << part << "\n" << text.toStdString();
    EXPECT_LT(text.indexOf("99 bytes"), text.indexOf("123456 bytes")) << "the existing file first";
}

TEST_F(WindowTest, ManualCopyYesToAllHoldsForEverySelectedItem)
{
    Differing({"one", "two", "dir/three"});
    TransferOptions o;
    o.server.path = from;
    o.client.path = to;
    ManualWindow window(o, prompts);
    prompts.answers = {Answer::YesToAll};
    const Outcome out = window.CopyInto({from / "one", from / "two", from / "dir"}, to, -1);
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(out.copied, 3u);
    EXPECT_EQ(Slurp(to / "dir" / "three"), "new dir/three");
}

TEST_F(WindowTest, ManualCopyFailuresAreTold)
{
    TransferOptions o;
    o.server.path = from;
    o.client.path = to;
    ManualWindow window(o, prompts);
    Put(from / "f", "x");
    const Outcome out = window.CopyInto({from / "missing", from / "f"}, to, -1);
    EXPECT_EQ(out.copied, 1u);
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(prompts.told[0].contains("missing")) << prompts.told[0].toStdString();
}

// A copy made by hand is recorded as an automatic one is.
TEST_F(WindowTest, ManualCopyRecordsTheFailedFileAndASummary)
{
    testjournal::Listener listener(Fresh("w-journal"));
    const RunJournal run{journal::Journal(platform::CreateSystemJournalSink(listener.Path()), "pontlet", "VM\\anna")};
    TransferOptions o;
    o.server.path = from;
    o.client.path = to;
    ManualWindow window(o, prompts, nullptr, &run);
    Put(from / "f", "x");
    window.CopyInto({from / "missing", from / "f"}, to, -1);
    const auto records = listener.Take();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(testjournal::Field(records[0], "QUILLON_EVENT"), "file-failed");
    EXPECT_EQ(testjournal::Field(records[0], "QUILLON_PATH"), (from / "missing").string());
    EXPECT_EQ(testjournal::Field(records[1], "QUILLON_EVENT"), "transfer-summary");
    EXPECT_EQ(testjournal::Field(records[1], "QUILLON_SOURCE_FOLDER"), from.string());
    EXPECT_EQ(testjournal::Field(records[1], "QUILLON_TARGET_FOLDER"), to.string());
    EXPECT_EQ(testjournal::Field(records[1], "QUILLON_FILES_COPIED"), "1");
    EXPECT_EQ(testjournal::Field(records[1], "QUILLON_FILES_FAILED"), "1");
}

TEST_F(WindowTest, DroppedEntriesAreCopiedIntoThePane)
{
    Put(from / "dropped.txt", "dropped");
    TransferOptions o;
    o.server.path = from;
    o.client.path = to;
    ManualWindow window(o, prompts);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString((from / "dropped.txt").string()))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.ClientPane()->viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.ClientPane()->viewport(), &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "never a move";
    QApplication::sendPostedEvents();
    EXPECT_EQ(Slurp(to / "dropped.txt"), "dropped");
    EXPECT_TRUE(fs::exists(from / "dropped.txt"));
}

TEST_F(WindowTest, ButtonsCopyTheSelectionToTheOtherSide)
{
    Put(to / "from client", "c");
    TransferOptions o;
    o.server.path = from;
    o.client.path = to;
    ManualWindow window(o, prompts);
    ASSERT_TRUE(Loaded(window.ClientPane(), to));
    const QModelIndex entry = window.ClientPane()->IndexOf(to / "from client");
    EXPECT_TRUE(window.ClientPane()->model()->flags(entry) & Qt::ItemIsDragEnabled);
    window.ClientPane()->selectionModel()->select(entry, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window.ToServerButton()->click();
    EXPECT_EQ(Slurp(from / "from client"), "c");
}

TEST_F(WindowTest, APaneShowsNothingAboveItsFolderOrBehindALinkLeavingIt)
{
    const fs::path outside = Fresh("w-outside");
    Put(outside / "secret", "s");
    Put(from / "sub" / "inner", "i");
    fs::create_symlink(from / "sub", from / "in");
    fs::create_symlink(outside, from / "out");
    fs::create_symlink("../w-outside", from / "rel");
    fs::create_symlink("/", from / "top");
    fs::create_symlink(from, to / "server-link");
    FolderPane pane(to / "server-link");  // rooted at the real path
    ASSERT_EQ(pane.Root(), fs::canonical(from).string());
    ASSERT_TRUE(Loaded(&pane, from));
    EXPECT_FALSE(pane.IndexOf(outside / "secret").isValid());
    EXPECT_FALSE(pane.IndexOf(to).isValid());
    struct Case {
        const char* link;
        bool opens;
    };
    const Case cases[] = {{"sub", true}, {"in", true}, {"out", false}, {"rel", false}, {"top", false}};
    for (const Case& c : cases) {
        const QModelIndex link = pane.IndexOf(from / c.link);
        ASSERT_TRUE(link.isValid()) << c.link << ": links are listed";
        EXPECT_EQ(pane.model()->hasChildren(link), c.opens) << c.link;
        // Listed anyway, as the model would when expanding: still not shown.
        QFileSystemModel* files = pane.FileModel();
        files->fetchMore(files->index(QString::fromStdString((from / c.link).string())));
        ASSERT_TRUE(Loaded(&pane, from / c.link)) << c.link;
        pane.expand(pane.IndexOf(from / c.link));
        EXPECT_EQ(pane.model()->rowCount(pane.IndexOf(from / c.link)) > 0, c.opens) << c.link;
    }
}

TEST_F(WindowTest, AMissingFolderIsSaidAndNothingIsCopiedFromOrToIt)
{
    Put(from / "f", "f");
    Put(to / "a file", "x");
    fs::create_symlink(to / "nowhere", to / "dangling");
    struct Case {
        fs::path server, client;
    };
    const Case cases[] = {{from, to / "none"}, {from, to / "dangling"}, {from, to / "a file"}, {to / "none", to}};
    for (const Case& c : cases) {
        TransferOptions o;
        o.server.path = c.server;
        o.client.path = c.client;
        ManualWindow window(o, prompts);
        const bool clientMissing = c.client != to;
        FolderPane* missing = clientMissing ? window.ClientPane() : window.ServerPane();
        FolderPane* present = clientMissing ? window.ServerPane() : window.ClientPane();
        const fs::path given = clientMissing ? c.client : c.server;
        EXPECT_EQ(missing->Message(), QString("The folder %1 does not exist.").arg(given.c_str()));
        EXPECT_TRUE(missing->Root().empty() && !missing->FileModel()) << given << ": never another folder";
        EXPECT_EQ(present->Message(), "");
        EXPECT_FALSE(window.ToClientButton()->isEnabled() || window.ToServerButton()->isEnabled()) << given;
        EXPECT_FALSE(Drop(missing, {present->Root() + "/f"}) || Drop(present, {present->Root() + "/f"})) << given;
        prompts.told.clear();
        EXPECT_EQ(window.CopyInto({present->Root() + "/f"}, given, -1).copied, 0u);
        const QString refused = QString::fromStdString(present->Root() + "/f");
        EXPECT_EQ(prompts.told, QStringList{"This item lies outside your locations.\n" + refused});
    }
    EXPECT_EQ(Names(to), (std::vector<std::string>{"a file", "dangling"}));
}

TEST_F(WindowTest, ADropFromOutsideBothFoldersIsRefusedAndLinksGoAsLinks)
{
    const fs::path outside = Fresh("w-outside");
    Put(outside / "secret", "s");
    fs::create_symlink(outside, from / "out");
    TransferOptions o;
    o.server.path = from;
    o.client.path = to;
    ManualWindow window(o, prompts);
    EXPECT_TRUE(Drop(window.ServerPane(), {to / "missing", outside / "secret"}));
    EXPECT_EQ(prompts.told.value(0).section('\n', 0, 0), "This item lies outside your locations.");
    EXPECT_TRUE(Names(from) == std::vector<std::string>{"out"}) << "nothing copied";
    EXPECT_EQ(window.CopyInto({from / "out"}, to, -1).copied, 1u);
    EXPECT_EQ(fs::read_symlink(to / "out"), outside);
}
