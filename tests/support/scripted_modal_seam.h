#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "framework/modal_seam.h"

namespace testsupport {

// The seam for tests: every box, file dialog and dialog is answered from a
// script, in order, and recorded so that a test can check exactly what the
// user would have read. An interaction nobody scripted fails the test and
// gives Cancel (or Rejected): it never waits on a window. Answers scripted
// but never asked for also fail the test when the seam goes away, because
// a box that should have appeared did not.
class ScriptedModalSeam : public framework::ModalSeam {
public:
    using DialogHandler = std::function<int(QDialog&)>;

    struct ShownDialog {
        QString className;  // the dialog's most derived QObject class
        QString title;
        int result = QDialog::Rejected;
    };

    ScriptedModalSeam() = default;
    ScriptedModalSeam(const ScriptedModalSeam&) = delete;
    ScriptedModalSeam& operator=(const ScriptedModalSeam&) = delete;
    ~ScriptedModalSeam() override;

    // Scripting; each call appends to its queue.
    ScriptedModalSeam& AnswerMessage(framework::Answer answer);
    ScriptedModalSeam& ChooseFileAnswer(const QString& path);
    ScriptedModalSeam& CancelFileDialog();
    ScriptedModalSeam& HandleDialog(DialogHandler handler);
    // A handler for one dialog class; a different class fails the test.
    template <class D>
    ScriptedModalSeam& HandleDialogAs(std::function<int(D&)> handler)
    {
        return HandleDialog([handler = std::move(handler)](QDialog& dialog) -> int {
            D* typed = qobject_cast<D*>(&dialog);
            if (!typed) {
                ADD_FAILURE() << "dialog " << dialog.metaObject()->className()
                              << " shown where " << D::staticMetaObject.className()
                              << " was expected";
                return QDialog::Rejected;
            }
            return handler(*typed);
        });
    }
    ScriptedModalSeam& AcceptDialog();
    ScriptedModalSeam& RejectDialog();
    // The editors' answers: given what the editor was shown, what OK would
    // give, or nothing for Cancel.
    using LocationAnswer = std::function<std::optional<CTSAppDataItem>(const CTSAppDataItem&)>;
    using ScriptAnswer = std::function<std::optional<CTSUserScriptItem>(const CTSUserScriptItem&)>;
    ScriptedModalSeam& AnswerLocationEditor(LocationAnswer answer);
    ScriptedModalSeam& AnswerScriptEditor(ScriptAnswer answer);
    ScriptedModalSeam& AnswerPicker(std::optional<std::vector<accounts::SelectionMap>> picked);
    // No failure for answers left over (a test that scripts "if asked").
    void AllowUnusedAnswers() { m_allowUnused = true; }

    // What was shown, in order.
    const std::vector<framework::MessageRequest>& Messages() const { return m_messages; }
    QStringList MessageTexts() const;
    const std::vector<framework::FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }
    const std::vector<ShownDialog>& Dialogs() const { return m_dialogs; }
    // The waits, each with the number of tries it made.
    struct ShownWait {
        framework::WaitRequest request;
        int tries = 0;
    };
    const std::vector<ShownWait>& Waits() const { return m_waits; }
    // Scripted answers not yet used, of all kinds.
    std::size_t PendingAnswers() const;

    framework::Answer ShowMessage(const framework::MessageRequest& request) override;
    std::optional<QString> ChooseFile(const framework::FileDialogRequest& request) override;
    int RunDialog(QDialog& dialog) override;
    // Needs no script: tries as often as the limit allows, one poll
    // interval a try, and no time passes.
    bool WaitUntil(const framework::WaitRequest& request, const std::function<bool()>& ready) override;
    std::optional<CTSAppDataItem> EditLocation(const CTSAppDataItem& initial, QWidget* owner) override;
    std::optional<CTSUserScriptItem> EditLogonScript(const CTSUserScriptItem& initial, QWidget* owner) override;
    std::optional<std::vector<accounts::SelectionMap>> PickAccounts(QWidget* owner) override;

private:
    // Takes the next answer of a queue, recording the request as a dialog
    // named `name`; an unscripted request fails the test.
    template <class Queue>
    std::optional<typename Queue::value_type> Next(Queue& queue, const char* name);

    std::deque<framework::Answer> m_messageAnswers;
    struct FileAnswer {
        bool chosen = false;
        QString path;
    };
    std::deque<FileAnswer> m_fileAnswers;
    std::deque<DialogHandler> m_dialogHandlers;
    std::deque<LocationAnswer> m_locationAnswers;
    std::deque<ScriptAnswer> m_scriptAnswers;
    std::deque<std::optional<std::vector<accounts::SelectionMap>>> m_pickerAnswers;
    std::vector<framework::MessageRequest> m_messages;
    std::vector<framework::FileDialogRequest> m_fileDialogs;
    std::vector<ShownDialog> m_dialogs;
    std::vector<ShownWait> m_waits;
    bool m_allowUnused = false;
};

} // namespace testsupport
