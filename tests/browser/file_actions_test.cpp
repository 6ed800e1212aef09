#include <QApplication>
#include <QFileInfo>
#include <QMimeData>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "browser/examiner.h"
#include "browser/file_actions.h"
#include "browser/file_clipboard.h"
#include "browser/file_transfer.h"
#include "browser/properties_dialog.h"
#include "browser/view_test_support.h"
#include "gate.h"
#include "platform/mounts.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

using namespace browser;
using namespace browsertest;
using framework::Answer;
using testsupport::ScriptedModalSeam;

namespace {

// Makes `folder` read-only for the code under test: as root, by acting as
// nobody for the scope (root passes every permission check; the saved id
// stays root, so that the test can return); otherwise by taking the
// folder's write bits.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(folder)
    {
        if (::geteuid() == 0) {
            ::chmod(QFile::encodeName(folder).constData(), 0755);
            m_dropped = ::setresuid(65534, 65534, 0) == 0;
        } else {
            ::chmod(QFile::encodeName(folder).constData(), 0555);
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_dropped)
            (void)!::setresuid(0, 0, 0);
        ::chmod(QFile::encodeName(m_folder).constData(), 0755);
    }

private:
    QString m_folder;
    bool m_dropped = false;
};

class FileActionsTest : public testing::Test {
protected:
    void SetUp() override { dir = Scratch("file-actions"); }
    QString P(const QString& name) const { return dir + '/' + name; }

    QApplication& app = testsupport::TestApplication();
    ScriptedModalSeam seam;
    QStringList trashed;
    bool trashWorks = true;
    FileActions actions{seam, nullptr, [this](const QString& path) {
                            if (!trashWorks)
                                return false;
                            trashed << path;
                            return QFile::rename(path, path + ".trashed");
                        }};
    QString dir;
};

} // namespace

TEST_F(FileActionsTest, RenameRefusesBadAndTakenNamesAndKeepsBothFiles)
{
    const struct {
        const char* to;
        bool ok;
        const char* message;  // "" none
        QStringList names;
    } cases[] = {
        {"b.txt", true, "", {"b.txt", "c.txt"}},
        {"", false, "Cannot rename \"a.txt\": A file name cannot be empty.", {"a.txt", "c.txt"}},
        {"x/y", false, "Cannot rename \"a.txt\": A file name cannot contain the character /.", {"a.txt", "c.txt"}},
        {"..", false, "Cannot rename \"a.txt\": \"..\" cannot be used as a name.", {"a.txt", "c.txt"}},
        {"c.txt", false, "Cannot rename \"a.txt\": a file or folder named \"c.txt\" already exists.", {"a.txt", "c.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        dir = Scratch("rename");
        Write(P("a.txt"), "A");
        Write(P("c.txt"), "C");
        const QStringList before = seam.MessageTexts();
        if (*c.message)
            seam.AnswerMessage(Answer::Ok);
        EXPECT_EQ(actions.rename(P("a.txt"), c.to), c.ok);
        EXPECT_EQ(Names(dir), c.names);
        EXPECT_EQ(Read(P("c.txt")), "C");
        const QStringList shown = seam.MessageTexts().mid(before.size());
        EXPECT_EQ(shown, *c.message ? QStringList{c.message} : QStringList());
    }
}

TEST_F(FileActionsTest, EveryOperationInAReadOnlyFolderIsToldAndLosesNothing)
{
    Write(P("a.txt"), "A");
    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Yes).AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    {
        ReadOnlyFolder readOnly(dir);
        EXPECT_FALSE(actions.rename(P("a.txt"), "b.txt"));
        EXPECT_FALSE(actions.deletePaths({P("a.txt")}));
        EXPECT_EQ(actions.newFolder(dir), QString());
    }
    EXPECT_EQ(Names(dir), QStringList{"a.txt"});
    EXPECT_EQ(Read(P("a.txt")), "A");
    const QStringList shown = seam.MessageTexts();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0], "Cannot rename \"a.txt\": Permission denied");
    EXPECT_TRUE(shown[2].startsWith("Cannot delete \"a.txt\"")) << shown[2].toStdString();
    EXPECT_EQ(shown[3], QString("Cannot create a new folder in \"%1\": Permission denied").arg(dir));
    EXPECT_TRUE(trashed.isEmpty());
}

TEST_F(FileActionsTest, DeleteAsksThenTrashesOrAsksAgainBeforeDeletingForGood)
{
    const struct {
        const char* name;
        bool trashWorks;
        std::vector<Answer> answers;
        QStringList left;
        int trashCalls;
    } cases[] = {
        {"No keeps it", true, {Answer::No}, {"a.txt", "d"}, 0},
        {"Yes trashes", true, {Answer::Yes}, {"a.txt.trashed", "d.trashed"}, 2},
        {"no trash, keep", false, {Answer::Yes, Answer::No, Answer::No}, {"a.txt", "d"}, 0},
        {"no trash, for good", false, {Answer::Yes, Answer::Yes, Answer::Yes}, {}, 0},
        {"no trash, cancel", false, {Answer::Yes, Answer::Cancel}, {"a.txt", "d"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir = Scratch("delete");
        Write(P("a.txt"), "A");
        Write(P("d/inner.txt"), "I");
        trashWorks = c.trashWorks;
        trashed.clear();
        for (Answer a : c.answers)
            seam.AnswerMessage(a);
        actions.deletePaths({P("a.txt"), P("d")});
        EXPECT_EQ(Names(dir), c.left);
        EXPECT_EQ(trashed.size(), c.trashCalls);
    }
    EXPECT_EQ(seam.MessageTexts().first(), "Are you sure you want to move these 2 items to the Trash?");
}

TEST_F(FileActionsTest, DeletingALinkForGoodLeavesWhatItPointsTo)
{
    Write(P("target/keep.txt"), "K");
    QFile::link(P("target"), P("link"));
    trashWorks = false;
    seam.AnswerMessage(Answer::Yes).AnswerMessage(Answer::Yes);
    EXPECT_TRUE(actions.deletePaths({P("link")}));
    EXPECT_EQ(Names(dir), QStringList{"target"});
    EXPECT_EQ(Read(P("target/keep.txt")), "K");
}

TEST_F(FileActionsTest, NewFolderTakesTheFirstFreeName)
{
    EXPECT_EQ(actions.newFolder(dir), "New Folder");
    EXPECT_EQ(actions.newFolder(dir), "New Folder (2)");
    seam.AnswerMessage(Answer::Ok);
    EXPECT_EQ(actions.newFolder(P("missing")), QString());
    EXPECT_EQ(seam.MessageTexts(),
              QStringList{QString("Cannot create a new folder in \"%1\": No such file or directory").arg(P("missing"))});
}

TEST_F(FileActionsTest, CopyAndMoveNeverReplaceWithoutAsking)
{
    const struct {
        const char* name;
        bool move;
        std::vector<Answer> answers;  // for a.txt, then b.txt, both taken
        QByteArray a, b;              // contents in the target afterwards
        bool sourcesLeft;
    } cases[] = {
        {"copy, keep both", false, {Answer::No, Answer::No}, "old a", "old b", true},
        {"copy, replace one", false, {Answer::Yes, Answer::No}, "new a", "old b", true},
        {"copy, cancel stops", false, {Answer::Cancel}, "old a", "old b", true},
        {"move, replace both", true, {Answer::Yes, Answer::Yes}, "new a", "new b", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir = Scratch("transfer");
        Write(P("from/a.txt"), "new a");
        Write(P("from/b.txt"), "new b");
        Write(P("to/a.txt"), "old a");
        Write(P("to/b.txt"), "old b");
        for (Answer a : c.answers)
            seam.AnswerMessage(a);
        actions.transfer({P("from/a.txt"), P("from/b.txt")}, P("to"), c.move);
        EXPECT_EQ(Read(P("to/a.txt")), c.a);
        EXPECT_EQ(Read(P("to/b.txt")), c.b);
        EXPECT_EQ(Names(P("from")).size(), c.sourcesLeft ? 2 : 0);
        EXPECT_EQ(Names(P("to")), (QStringList{"a.txt", "b.txt"}));  // no temporary left behind
    }
    EXPECT_EQ(seam.MessageTexts().first(), "\"a.txt\" already exists in this folder.\nDo you want to replace it?");
}

TEST_F(FileActionsTest, CopiesIntoTheSameFolderGetFreeNamesAndFoldersCopyWhole)
{
    Write(P("a.txt"), "A");
    Write(P("d/sub/x"), "X");
    QFile::link("sub/x", P("d/rel-link"));
    FileTransfer transfer([](const QString&, bool) { return ConflictAnswer::Cancel; }, [](const QString&) {});
    EXPECT_TRUE(transfer.run({P("a.txt"), P("d")}, dir, false));
    EXPECT_TRUE(transfer.run({P("a.txt")}, dir, false));
    EXPECT_TRUE(transfer.run({P("a.txt")}, dir, true));  // moving into its own folder does nothing
    EXPECT_EQ(Names(dir), (QStringList{"a (copy 2).txt", "a (copy).txt", "a.txt", "d", "d (copy)"}));
    EXPECT_EQ(Read(P("d (copy)/sub/x")), "X");
    EXPECT_EQ(QFileInfo(P("d (copy)/rel-link")).symLinkTarget(), P("d (copy)/sub/x"));  // still relative
}

TEST_F(FileActionsTest, AFolderIntoItselfOrWithAPipeIsRefusedWithoutAHalfCopy)
{
    Write(P("d/x"), "X");
    ASSERT_EQ(::mkfifo(QFile::encodeName(P("d/pipe")).constData(), 0600), 0);
    QDir().mkpath(P("to"));
    seam.AnswerMessage(Answer::Ok).AnswerMessage(Answer::Ok);
    EXPECT_FALSE(actions.transfer({P("d")}, P("d/inner"), true));
    EXPECT_FALSE(actions.transfer({P("d")}, P("to"), false));
    EXPECT_EQ(Names(P("to")), QStringList());
    EXPECT_EQ(Names(P("d")), (QStringList{"pipe", "x"}));
    EXPECT_EQ(seam.MessageTexts(),
              (QStringList{QString("Cannot put the folder \"%1\" into itself.").arg(P("d")),
                           QString("Cannot copy \"%1\": it is not a regular file.").arg(P("d/pipe"))}));
}

TEST_F(FileActionsTest, AWriteThatFailsHalfwayLeavesTheTargetAsItWas)
{
    // Files may not grow past 64 KiB for a moment: as a full disk, the
    // write fails in the middle of the copy.
    Write(P("from/big.bin"), QByteArray(200000, 'n'));
    Write(P("from/d/big.bin"), QByteArray(200000, 'n'));
    Write(P("to/big.bin"), "old");
    seam.AnswerMessage(Answer::Yes);  // replace big.bin
    for (int i = 0; i < 2; ++i)
        seam.AnswerMessage(Answer::Ok);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 65536;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool done = actions.transfer({P("from/big.bin"), P("from/d")}, P("to"), false);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(done);
    EXPECT_EQ(Read(P("to/big.bin")), "old");
    EXPECT_EQ(Names(P("to")), QStringList{"big.bin"});
    EXPECT_EQ(Names(P("from")), (QStringList{"big.bin", "d"}));
    EXPECT_TRUE(seam.MessageTexts().last().startsWith(QString("Cannot copy \"%1\" to \"%2\": File too large").arg(P("from/d/big.bin"), P("to/d/big.bin"))));
}

TEST_F(FileActionsTest, TakenFolderNamesMergeFileByFile)
{
    Write(P("from/d/new.txt"), "N");
    Write(P("from/d/same.txt"), "theirs");
    Write(P("to/d/same.txt"), "mine");
    seam.AnswerMessage(Answer::Yes).AnswerMessage(Answer::No);  // merge; keep same.txt
    EXPECT_TRUE(actions.transfer({P("from/d")}, P("to"), true));
    EXPECT_EQ(Names(P("to/d")), (QStringList{"new.txt", "same.txt"}));
    EXPECT_EQ(Read(P("to/d/same.txt")), "mine");
    EXPECT_EQ(Names(P("from/d")), QStringList{"same.txt"});  // what was not moved stays
}

TEST(FileClipboard, CopiedAndCutFilesInTheDesktopForms)
{
    for (bool cut : {false, true}) {
        std::unique_ptr<QMimeData> data(makeFileClipboard({"/srv/a b.txt", "/srv/c"}, cut));
        EXPECT_EQ(data->data("x-special/gnome-copied-files"),
                  QByteArray(cut ? "cut" : "copy") + "\nfile:///srv/a%20b.txt\nfile:///srv/c");
        const ClipboardFiles back = readFileClipboard(data.get());
        EXPECT_EQ(back.paths, (QStringList{"/srv/a b.txt", "/srv/c"}));
        EXPECT_EQ(back.cut, cut);
        QMimeData kde;  // URLs only, with KDE's cut mark
        kde.setUrls({QUrl("file:///x"), QUrl("https://example.org/")});
        kde.setData("application/x-kde-cutselection", cut ? "1" : "0");
        EXPECT_EQ(readFileClipboard(&kde).paths, QStringList{"/x"});
        EXPECT_EQ(readFileClipboard(&kde).cut, cut);
    }
}

TEST_F(FileActionsTest, PropertiesShowSizeDatesAndPermissions)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Write(P("f.txt"), "12345");
    QFile::setPermissions(P("f.txt"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    Write(P("d/a"), QByteArray(2000, 'a'));
    Write(P("d/e/b"), QByteArray(48, 'b'));
    Examiner sizes{{}};
    PropertiesDialog file(P("f.txt"), "Text", sizes);
    EXPECT_EQ(file.field("size"), "5 bytes");
    EXPECT_EQ(file.field("permissions"), "rw-r-----");
    EXPECT_EQ(file.field("type"), "Text");
    EXPECT_FALSE(file.field("modified").isEmpty());
    PropertiesDialog folder(P("d"), "Folder", sizes);
    ASSERT_TRUE(WaitUntil([&] { return !folder.field("size").startsWith("Counting"); }));
    EXPECT_EQ(folder.field("size").toStdString(), "2.0 kB (2,048 bytes), in 2 file(s)");
}

// Dialogs on a share that hangs share its one worker and say so.
TEST_F(FileActionsTest, PropertiesOnAShareThatHangsAddNoThreadAndSaySo)
{
    Write(P("d/a"), "a");
    auto share = std::make_shared<browsertest::Gate>();  // outlives the abandoned thread
    browsertest::FakeClock clock;
    Examiner sizes{{.hangAfter = std::chrono::seconds(1), .maxAbandoned = 3, .now = clock.Now()}};
    const QString mount = QString::fromStdString(platform::MountPointOf(P("d").toStdString()));
    sizes.run(mount, [share](const Examiner::Alive&) { share->Pass(); }, {});
    ASSERT_TRUE(WaitUntil([&] { return share->Inside() == 1; }));
    std::vector<std::unique_ptr<PropertiesDialog>> dialogs;
    for (int i = 0; i < 4; ++i) {
        dialogs.push_back(std::make_unique<PropertiesDialog>(P("d"), "Folder", sizes));
        if (i == 1)
            clock.Advance(std::chrono::seconds(1));
    }
    for (const auto& dialog : dialogs)
        ASSERT_TRUE(WaitUntil([&] { return !dialog->field("size").startsWith("Counting"); }));
    for (const auto& dialog : dialogs)
        EXPECT_EQ(dialog->field("size"), "The size could not be read: the share does not answer.");
    EXPECT_EQ(sizes.threadsStarted(), 1);
    share->Open();
}

TEST_F(FileActionsTest, ALinkIsCopiedAsALinkAndALinkAtTheTargetIsReplacedNotWrittenThrough)
{
    Write(P("outside/secret"), "secret");
    Write(P("from/a.txt"), "new");
    QFile::link(P("outside/secret"), P("from/link"));
    const struct {
        const char* atName;  // what the target's name is a link to
        QString target;
    } cases[] = {{"a file outside", P("outside/secret")}, {"nothing (dangling)", P("outside/none")}};
    for (const auto& c : cases) {
        QDir(P("to")).removeRecursively();
        QDir().mkpath(P("to"));
        QFile::link(c.target, P("to/a.txt"));
        seam.AnswerMessage(Answer::Yes);
        EXPECT_TRUE(actions.transfer({P("from/a.txt"), P("from/link")}, P("to"), false)) << c.atName;
        EXPECT_FALSE(QFileInfo(P("to/a.txt")).isSymLink()) << c.atName;
        EXPECT_EQ(Read(P("to/a.txt")), "new") << c.atName;
        EXPECT_EQ(Read(P("outside/secret")), "secret") << c.atName;
        EXPECT_EQ(Names(P("outside")), QStringList{"secret"}) << c.atName;
        EXPECT_EQ(QFileInfo(P("to/link")).symLinkTarget(), P("outside/secret")) << c.atName;
        EXPECT_EQ(Names(P("to")), (QStringList{"a.txt", "link"})) << c.atName;  // no temporary left
    }
}
