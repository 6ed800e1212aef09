#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "framework/qt_modal_seam.h"
#include "support/test_application.h"

using framework::Answer;
using framework::MessageButtons;
using framework::MessageIcon;

namespace {

// The framework's boxes and dialogs; the editors belong to the application.
class QtModalSeam : public framework::QtModalSeam {
public:
    std::optional<CTSAppDataItem> EditLocation(const CTSAppDataItem&, QWidget*) override { return {}; }
    std::optional<CTSUserScriptItem> EditLogonScript(const CTSUserScriptItem&, QWidget*) override { return {}; }
    std::optional<std::vector<accounts::SelectionMap>> PickAccounts(QWidget*) override { return {}; }
};

// What the real box looked like when it came up, and which button was pressed.
struct SeenBox {
    bool seen = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Presses `press` on the box as soon as the event loop runs, so that no test
// waits on it; nullopt closes it as the Escape key does.
SeenBox* WatchNextBox(std::optional<QMessageBox::StandardButton> press)
{
    auto* seen = new SeenBox;
    QTimer::singleShot(0, [seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen->seen = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = box->standardButtons();
        seen->parent = box->parentWidget();
        seen->defaultButton = box->standardButton(box->defaultButton());
        if (press)
            box->button(*press)->click();
        else
            box->reject();
    });
    return seen;
}

class QtModalSeamTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }
};

struct BoxCase {
    MessageButtons buttons;
    MessageIcon icon;
    QMessageBox::StandardButtons expectedButtons;
    QMessageBox::Icon expectedIcon;
    QMessageBox::StandardButton press;
    Answer expected;
};

TEST_F(QtModalSeamTest, ButtonSetsIconsAndAnswers)
{
    const BoxCase cases[] = {
        {MessageButtons::Ok, MessageIcon::None, QMessageBox::Ok, QMessageBox::NoIcon, QMessageBox::Ok,
         Answer::Ok},
        {MessageButtons::OkCancel, MessageIcon::Warning, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Warning, QMessageBox::Cancel, Answer::Cancel},
        {MessageButtons::YesNo, MessageIcon::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Question, QMessageBox::No, Answer::No},
        {MessageButtons::YesNoCancel, MessageIcon::Error,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Critical,
         QMessageBox::Yes, Answer::Yes},
        {MessageButtons::Ok, MessageIcon::Information, QMessageBox::Ok, QMessageBox::Information,
         QMessageBox::Ok, Answer::Ok},
    };
    QtModalSeam seam;
    for (const auto& c : cases) {
        std::unique_ptr<SeenBox> seen(WatchNextBox(c.press));
        const Answer answer = seam.Message("Some <b>text</b>", c.buttons, c.icon);
        ASSERT_TRUE(seen->seen);
        EXPECT_EQ(seen->buttons, c.expectedButtons);
        EXPECT_EQ(seen->icon, c.expectedIcon);
        EXPECT_EQ(answer, c.expected);
        EXPECT_EQ(seen->text, "Some <b>text</b>");
    }
}

TEST_F(QtModalSeamTest, CaptionIsQuillonUnlessTheRequestHasOne)
{
    QtModalSeam seam;
    std::unique_ptr<SeenBox> seen(WatchNextBox(QMessageBox::Ok));
    seam.Message("x");
    EXPECT_EQ(seen->title, "Quillon");

    seen.reset(WatchNextBox(QMessageBox::Ok));
    seam.ShowMessage({"x", "Own caption", MessageButtons::Ok, MessageIcon::None, nullptr});
    EXPECT_EQ(seen->title, "Own caption");
}

TEST_F(QtModalSeamTest, OwnerIsTheRequestsOrElseTheMainWindow)
{
    QWidget mainWindow;
    QWidget other;
    QtModalSeam seam;

    std::unique_ptr<SeenBox> seen(WatchNextBox(QMessageBox::Ok));
    seam.Message("no owner yet");
    EXPECT_EQ(seen->parent, nullptr);

    seam.SetMainWindow(&mainWindow);
    seen.reset(WatchNextBox(QMessageBox::Ok));
    seam.Message("main window");
    EXPECT_EQ(seen->parent, &mainWindow);

    seen.reset(WatchNextBox(QMessageBox::Ok));
    seam.Message("other", MessageButtons::Ok, MessageIcon::None, &other);
    EXPECT_EQ(seen->parent, &other);
}

TEST_F(QtModalSeamTest, MainWindowThatWentAwayIsForgotten)
{
    QtModalSeam seam;
    {
        QWidget mainWindow;
        seam.SetMainWindow(&mainWindow);
    }
    EXPECT_EQ(seam.MainWindow(), nullptr);
}

TEST_F(QtModalSeamTest, FirstButtonIsTheDefaultUnlessTheRequestNamesOneOfItsButtons)
{
    const struct {
        MessageButtons buttons;
        std::optional<Answer> asked;
        QMessageBox::StandardButton expected;
    } cases[] = {
        {MessageButtons::YesNoCancel, std::nullopt, QMessageBox::Yes},
        {MessageButtons::YesNo, Answer::No, QMessageBox::No},
        {MessageButtons::OkCancel, Answer::Cancel, QMessageBox::Cancel},
        {MessageButtons::Ok, Answer::No, QMessageBox::Ok},  // not one of its buttons
    };
    QtModalSeam seam;
    for (const auto& c : cases) {
        std::unique_ptr<SeenBox> seen(WatchNextBox(std::nullopt));
        framework::MessageRequest request{"?", QString(), c.buttons};
        request.defaultAnswer = c.asked;
        seam.ShowMessage(request);
        EXPECT_EQ(seen->defaultButton, c.expected);
    }
}

TEST_F(QtModalSeamTest, DismissedBoxGivesTheAnswerThatDoesLeast)
{
    const std::pair<MessageButtons, Answer> cases[] = {
        {MessageButtons::Ok, Answer::Ok},
        {MessageButtons::OkCancel, Answer::Cancel},
        {MessageButtons::YesNo, Answer::No},
        {MessageButtons::YesNoCancel, Answer::Cancel},
    };
    QtModalSeam seam;
    for (const auto& [buttons, expected] : cases) {
        std::unique_ptr<SeenBox> seen(WatchNextBox(std::nullopt));
        EXPECT_EQ(seam.Message("?", buttons), expected);
    }
}

// The file dialog as configured from the request, answered on the spot.
TEST_F(QtModalSeamTest, SaveDialogTakesFilterSuffixNameAndOverwritePrompt)
{
    QtModalSeam seam;
    QFileDialog::Options options;
    QString suffix, filter;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        options = dialog->options();
        suffix = dialog->defaultSuffix();
        filter = dialog->selectedNameFilter();
        mode = dialog->acceptMode();
        dialog->reject();
    });
    framework::FileDialogRequest request;
    request.kind = framework::FileDialogRequest::Kind::Save;
    request.title = "Save As";
    request.initialName = "userConfig.QLNData";
    request.defaultSuffix = "QLNData";
    request.filter = "Quillon Files (*.QLNData)";
    request.overwritePrompt = true;
    EXPECT_EQ(seam.ChooseFile(request), std::nullopt);
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
    EXPECT_EQ(suffix, "QLNData");
    EXPECT_EQ(filter, "Quillon Files (*.QLNData)");
    EXPECT_FALSE(options.testFlag(QFileDialog::DontConfirmOverwrite));
}

TEST_F(QtModalSeamTest, FolderChooserStartsAtTheProposedFolderAndGivesTheChosenOne)
{
    const QString start = QDir::tempPath();
    for (bool accept : {true, false}) {
        QtModalSeam seam;
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = dialog->windowTitle() + dialog->directory().absolutePath() + QString::number(dialog->fileMode());
            // accept() is protected in QFileDialog, public in QDialog.
            accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
        });
        framework::FileDialogRequest request;
        request.kind = framework::FileDialogRequest::Kind::Folder;
        request.title = "Find";
        request.initialName = start;
        EXPECT_EQ(seam.ChooseFile(request), accept ? std::optional(start) : std::nullopt);
        EXPECT_EQ(seen, "Find" + start + QString::number(QFileDialog::Directory));
    }
}

TEST_F(QtModalSeamTest, RunDialogReturnsWhatExecDoes)
{
    QtModalSeam seam;
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(42); });
    EXPECT_EQ(seam.RunDialog(dialog), 42);
}

// The wait's own window, once it is up: modal, owned by the main window.
const QDialog* WaitIndicationShown(const QString& text)
{
    const auto* dialog = qobject_cast<const QDialog*>(QApplication::activeModalWidget());
    const QLabel* label = dialog ? dialog->findChild<QLabel*>() : nullptr;
    return label && label->text() == text ? dialog : nullptr;
}

TEST_F(QtModalSeamTest, WaitTriesUntilReadyOrTheLimitAndSaysSoInAModalWindowWhenItLasts)
{
    QWidget main;
    QtModalSeam seam;
    seam.SetMainWindow(&main);
    const QString text = QStringLiteral("Waiting for another administrator's save...");
    struct Case {
        std::function<bool(int tries)> ready;
        std::chrono::milliseconds limit;
        bool result;
    };
    const Case cases[] = {
        {[](int) { return true; }, std::chrono::milliseconds(0), true},
        {[](int tries) { return tries == 3; }, std::chrono::seconds(30), true},
        {[](int) { return false; }, std::chrono::milliseconds(100), false},
        // Ends only once its window is up, owned by the main window.
        {[&](int) {
             const QDialog* shown = WaitIndicationShown(text);
             return shown && shown->parentWidget() == &main && shown->isModal();
         },
         std::chrono::seconds(30), true},
    };
    for (const Case& c : cases) {
        int tries = 0;
        EXPECT_EQ(seam.WaitUntil({text, c.limit, std::chrono::milliseconds(10)}, [&] { return c.ready(++tries); }),
                  c.result);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the wait's window is gone";
    }
}

} // namespace
