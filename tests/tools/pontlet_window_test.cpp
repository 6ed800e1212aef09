// The progress and manual windows, answered through the prompts seam; the
// copies they run are real.
#include "folder_pane.h"
#include "manual_window.h"
#include "pontlet_support.h"
#include "progress_window.h"
#include "scripted_prompts.h"
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
    const Outcome out = window.CopyInto({from / "missing", fs::path("/"), from / "f"}, to, -1);
    EXPECT_EQ(out.copied, 1u);
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(prompts.told[0].contains("missing")) << prompts.told[0].toStdString();
    EXPECT_TRUE(prompts.told[0].contains("not a file or folder that can be copied"));
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
    auto* model = static_cast<QFileSystemModel*>(window.ClientPane()->model());
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    ASSERT_TRUE(loaded.wait(5000));
    const QModelIndex entry = model->index(QString::fromStdString((to / "from client").string()));
    EXPECT_TRUE(model->flags(entry) & Qt::ItemIsDragEnabled);
    window.ClientPane()->selectionModel()->select(entry, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window.ToServerButton()->click();
    EXPECT_EQ(Slurp(from / "from client"), "c");
}
