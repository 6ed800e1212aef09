#include <QDialog>
#include <QLineEdit>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/scripted_modal_seam.h"
#include "support/test_application.h"

using framework::Answer;
using framework::MessageButtons;
using framework::MessageIcon;
using testsupport::ScriptedModalSeam;

namespace {

class ScriptedModalSeamTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }
};

TEST_F(ScriptedModalSeamTest, AnswersInOrderAndRecordsWhatWasShown)
{
    ScriptedModalSeam seam;
    seam.AnswerMessage(Answer::No).AnswerMessage(Answer::Yes);
    EXPECT_EQ(seam.Message("first", MessageButtons::YesNo, MessageIcon::Question), Answer::No);
    EXPECT_EQ(seam.ShowMessage({"second", "Caption", MessageButtons::YesNoCancel,
                                MessageIcon::Warning, nullptr}),
              Answer::Yes);
    EXPECT_EQ(seam.MessageTexts(), QStringList({"first", "second"}));
    ASSERT_EQ(seam.Messages().size(), 2u);
    EXPECT_EQ(seam.Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(seam.Messages()[0].icon, MessageIcon::Question);
    EXPECT_EQ(seam.Messages()[1].caption, "Caption");
    EXPECT_EQ(seam.PendingAnswers(), 0u);
}

TEST_F(ScriptedModalSeamTest, UnscriptedMessageFailsAndCancels)
{
    Answer answer = Answer::Ok;
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedModalSeam seam;
            answer = seam.Message("nobody expected this");
        },
        "nobody expected this");
    EXPECT_EQ(answer, Answer::Cancel);
}

TEST_F(ScriptedModalSeamTest, UnscriptedFileDialogAndDialogFailAndCancel)
{
    std::optional<QString> file = QString("x");
    int result = QDialog::Accepted;
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedModalSeam seam;
            file = seam.ChooseFile({});
        },
        "unscripted file dialog");
    EXPECT_EQ(file, std::nullopt);
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedModalSeam seam;
            QDialog dialog;
            result = seam.RunDialog(dialog);
        },
        "unscripted dialog");
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST_F(ScriptedModalSeamTest, AnswersNeverAskedForFailTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedModalSeam seam;
            seam.AnswerMessage(Answer::Yes);
        },
        "never asked for");
    ScriptedModalSeam lenient;
    lenient.AnswerMessage(Answer::Yes);
    lenient.AllowUnusedAnswers();
}

TEST_F(ScriptedModalSeamTest, FileDialogsAnsweredInOrder)
{
    ScriptedModalSeam seam;
    seam.ChooseFileAnswer("/tmp/a.QLNData").CancelFileDialog();
    framework::FileDialogRequest request;
    request.title = "Open";
    EXPECT_EQ(seam.ChooseFile(request), QString("/tmp/a.QLNData"));
    EXPECT_EQ(seam.ChooseFile(request), std::nullopt);
    ASSERT_EQ(seam.FileDialogs().size(), 2u);
    EXPECT_EQ(seam.FileDialogs()[0].title, "Open");
}

TEST_F(ScriptedModalSeamTest, DialogHandlerFillsControlsAndItsResultIsTheDialogs)
{
    QDialog dialog;
    dialog.setWindowTitle("Edit");
    auto* edit = new QLineEdit(&dialog);
    ScriptedModalSeam seam;
    seam.HandleDialog([](QDialog& d) {
        d.findChild<QLineEdit*>()->setText("typed");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(seam.RunDialog(dialog), QDialog::Accepted);
    EXPECT_EQ(edit->text(), "typed");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(seam.Dialogs().size(), 1u);
    EXPECT_EQ(seam.Dialogs()[0].className, "QDialog");
    EXPECT_EQ(seam.Dialogs()[0].title, "Edit");
}

TEST_F(ScriptedModalSeamTest, TypedHandlerRejectsAnotherDialogClass)
{
    int result = QDialog::Accepted;
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedModalSeam seam;
            seam.HandleDialogAs<QLineEdit>([](QLineEdit&) { return int(QDialog::Accepted); });
            QDialog dialog;
            result = seam.RunDialog(dialog);
        },
        "was expected");
    EXPECT_EQ(result, QDialog::Rejected);
}

} // namespace
