#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QThread>
#include <gtest/gtest.h>

#include "browser/background_operation.h"
#include "browser/file_actions.h"
#include "browser/operation_window.h"
#include "browser/view_test_support.h"
#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

using namespace browser;
using namespace browsertest;
using framework::Answer;

namespace {

// Presses Cancel while a box is up, as a user would on the progress window
// once the box is answered; the worker waits for the answer meanwhile.
class CancellingSeam : public testsupport::ScriptedModalSeam {
public:
    std::function<void()> whileAsked;
    Answer ShowMessage(const framework::MessageRequest& request) override
    {
        if (whileAsked)
            std::exchange(whileAsked, {})();
        return ScriptedModalSeam::ShowMessage(request);
    }
};

enum class Op { Delete, Copy, Move };

} // namespace

// Four files f1..f4 on the worker, Cancel pressed at file N or file N
// failing: what came before is done, what comes after is untouched, and no
// half file or temporary name is left under the target.
TEST(BackgroundOperation, CancelAtAFileOrAFailureThereLeavesEverythingWholeAndSaysWhy)
{
    QApplication& app = testsupport::TestApplication();
    (void)app;
    const struct {
        const char* name;
        Op op;
        int cancelAt, failAt;  // 1-based; 0 none
        QStringList from, to;  // what is left in each folder
        std::uint64_t filesDone;
        QString message;  // the box shown, %1 the folder; empty: none
    } cases[] = {
        {"copy, cancel", Op::Copy, 2, 0, {"f1", "f2", "f3", "f4"}, {"f1", "f2"}, 1,
         "\"f2\" already exists in this folder.\nDo you want to replace it?"},
        {"move, cancel", Op::Move, 2, 0, {"f3", "f4"}, {"f1", "f2"}, 2,
         "\"f2\" already exists in this folder.\nDo you want to replace it?"},
        {"delete, cancel", Op::Delete, 2, 0, {"f3", "f4"}, {}, 2, ""},
        {"copy, failure", Op::Copy, 0, 3, {"f1", "f2", "f3", "f4"}, {"f1", "f2", "f3", "f4"}, 3,
         "Cannot replace \"%1/to/f3\": one of the two is a folder and the other is not."},
        {"move, failure", Op::Move, 0, 3, {"f3"}, {"f1", "f2", "f3", "f4"}, 3,
         "Cannot replace \"%1/to/f3\": one of the two is a folder and the other is not."},
        {"delete, failure", Op::Delete, 0, 3, {}, {}, 3, "Cannot delete \"f3\": No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString dir = Scratch("operation");
        for (const char* name : {"f1", "f2", "f3", "f4"})
            Write(dir + "/from/" + name, QByteArray(100000, name[1]));
        QDir().mkpath(dir + "/to");
        const QString nth = QString("f%1").arg(c.cancelAt ? c.cancelAt : c.failAt);
        if (c.failAt && c.op == Op::Delete)
            QFile::remove(dir + "/from/" + nth);  // gone meanwhile
        else if (c.failAt)
            QDir().mkpath(dir + "/to/" + nth);  // a folder where a file goes
        else if (c.op != Op::Delete)
            Write(dir + "/to/" + nth, "old");  // the question is asked there

        CancellingSeam seam;
        std::unique_ptr<BackgroundOperation> operation;
        int trashed = 0;
        FileActions actions(seam, nullptr, [&](const QString& path) {
            if (++trashed == c.cancelAt)
                operation->cancel();  // on the worker, as it trashes file N
            return QFile::remove(path);
        });
        operation = std::make_unique<BackgroundOperation>(actions, nullptr, -1);
        std::optional<bool> done;
        QObject::connect(operation.get(), &BackgroundOperation::finished, [&](bool d) { done = d; });
        if (c.cancelAt && c.op != Op::Delete) {
            seam.whileAsked = [&] { operation->cancel(); };
            seam.AnswerMessage(Answer::Yes);  // replace: the copy of f2 starts, cancelled
        }
        if (!c.message.isEmpty() && c.failAt)
            seam.AnswerMessage(Answer::Ok);
        QStringList sources;
        for (const char* name : {"f1", "f2", "f3", "f4"})
            sources << dir + "/from/" + name;
        ASSERT_TRUE(c.op == Op::Delete ? operation->startDelete(sources)
                                       : operation->startTransfer(sources, dir + "/to", c.op == Op::Move));
        EXPECT_FALSE(operation->startDelete(sources));  // one at a time
        ASSERT_TRUE(WaitUntil([&] { return done.has_value(); }));
        EXPECT_FALSE(*done);
        EXPECT_FALSE(operation->isRunning());
        EXPECT_EQ(Names(dir + "/from"), c.from);
        EXPECT_EQ(Names(dir + "/to"), c.to);
        for (const QString& name : Names(dir + "/to")) {
            if (QFileInfo(dir + "/to/" + name).isFile()) {
                const int size = name == nth && c.cancelAt && c.op == Op::Copy ? 3 : 100000;  // the old one kept
                EXPECT_EQ(Read(dir + "/to/" + name).size(), size) << name.toStdString();
            }
        }
        EXPECT_EQ(operation->progress().filesDone, c.filesDone);
        EXPECT_EQ(seam.MessageTexts(), c.message.isEmpty() ? QStringList() : QStringList{c.message.arg(dir)});
    }
}

TEST(BackgroundOperation, TheWindowCountsFilesAndBytesOrItemsAndCancelAsksToStop)
{
    testsupport::TestApplication();
    const QString dir = Scratch("operation-window");
    Write(dir + "/from/a", QByteArray(3000, 'a'));
    Write(dir + "/from/d/b", QByteArray(2000, 'b'));
    QFile::link("a", dir + "/from/d/link");
    QDir().mkpath(dir + "/to");
    testsupport::ScriptedModalSeam seam;
    FileActions actions(seam, nullptr, [](const QString& path) {
        return QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
    });
    BackgroundOperation operation(actions, nullptr, -1);
    std::optional<bool> done;
    QObject::connect(&operation, &BackgroundOperation::finished, [&](bool d) { done = d; });
    const struct {
        std::function<bool()> start;
        QString counts;
    } runs[] = {
        {[&] { return operation.startTransfer({dir + "/from/a", dir + "/from/d"}, dir + "/to", false); },
         QString("3 of 3 files, %1 of %1").arg(QLocale().formattedDataSize(5000))},
        {[&] { return operation.startDelete({dir + "/to/a", dir + "/to/d"}); }, "2 of 2 items"},
    };
    for (const auto& run : runs) {
        done.reset();
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(WaitUntil([&] { return done.has_value(); }));
        EXPECT_TRUE(*done);
        operation.progressWindow().showProgress(operation.progress());
        EXPECT_EQ(operation.progressWindow().countsText(), run.counts);
    }
    EXPECT_EQ(Names(dir + "/to"), QStringList());
    bool asked = false;
    QObject::connect(&operation.progressWindow(), &OperationWindow::cancelRequested, [&] { asked = true; });
    operation.progressWindow().reject();
    EXPECT_TRUE(asked);
}

// Most sessions never copy anything: the window is made, over its owner,
// with the first operation, and serves every later one.
TEST(BackgroundOperation, ItsWindowIsMadeWithTheFirstOperation)
{
    testsupport::TestApplication();
    const QString dir = Scratch("operation-first");
    testsupport::ScriptedModalSeam seam;
    FileActions actions(seam, nullptr, [](const QString& path) { return QFile::remove(path); });
    QWidget owner;
    BackgroundOperation operation(actions, &owner, -1);
    std::optional<bool> done;
    QObject::connect(&operation, &BackgroundOperation::finished, [&](bool d) { done = d; });
    EXPECT_TRUE(owner.findChildren<OperationWindow*>().isEmpty());
    for (const char* name : {"a", "b"}) {
        Write(dir + "/" + name, "x");
        done.reset();
        ASSERT_TRUE(operation.startDelete({dir + "/" + name}));
        ASSERT_TRUE(WaitUntil([&] { return done.has_value(); }));
        EXPECT_TRUE(*done);
        EXPECT_EQ(owner.findChildren<OperationWindow*>().size(), 1);
    }
    EXPECT_EQ(Names(dir), QStringList());
}

// A modal progress window that opened over a question would take its
// input away: it waits until the question is answered.
TEST(BackgroundOperation, TheWindowNeverOpensOverAQuestion)
{
    testsupport::TestApplication();
    const QString dir = Scratch("operation-question");
    Write(dir + "/from/a", "new");
    Write(dir + "/to/a", "old");
    CancellingSeam seam;
    FileActions actions(seam, nullptr, {});
    BackgroundOperation operation(actions, nullptr, 0);
    std::optional<bool> done;
    QObject::connect(&operation, &BackgroundOperation::finished, [&](bool d) { done = d; });
    bool before = false, during = false;
    seam.whileAsked = [&] {
        before = operation.progressWindow().isVisible();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();  // the window's moment comes
        during = operation.progressWindow().isVisible();
    };
    seam.AnswerMessage(Answer::No);
    ASSERT_TRUE(operation.startTransfer({dir + "/from/a"}, dir + "/to", false));
    // Mostly, the question is posted before the window's moment is seen.
    while (operation.progress().counting)
        QThread::yieldCurrentThread();
    QThread::msleep(50);
    ASSERT_TRUE(WaitUntil([&] { return done.has_value(); }));
    EXPECT_EQ(during, before);
    EXPECT_FALSE(operation.progressWindow().isVisible());
    EXPECT_EQ(Read(dir + "/to/a"), "old");
}
