#pragma once
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "accounts/object_picker.h"
#include "config/records.h"

class QDialog;
class QWidget;

// Every modal interaction of the program goes through this seam: message
// boxes, file dialogs and dialogs run modally (editors, picker, running task).
// The program uses the Qt implementation; tests use a scripted one that
// answers in order and records what was shown, so that no test ever waits on
// a window.
namespace framework {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
// The values of the classic dialog results.
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageRequest {
    QString text;
    QString caption;  // empty: the application title, "Quillon"
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    QWidget* owner = nullptr;  // null: the main window when there is one
    // The button Enter presses; unset: the first one. No for a question whose
    // Yes throws work away.
    std::optional<Answer> defaultAnswer = std::nullopt;
};

struct FileDialogRequest {
    // Folder: an existing folder; initialName is where the chooser starts.
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Open;
    QString title;
    QString initialName;    // file name or path proposed
    QString defaultSuffix;  // without the dot
    QString filter;         // Qt filter string, entries separated by ";;"
    bool overwritePrompt = false;
    QWidget* owner = nullptr;
};

// A wait for something another program holds: tried every `poll` until
// `limit` has passed.
struct WaitRequest {
    QString text;  // the indication shown when the wait lasts
    std::chrono::milliseconds limit{0};
    std::chrono::milliseconds poll{50};
    QWidget* owner = nullptr;  // null: the main window when there is one
};

class ModalSeam {
public:
    virtual ~ModalSeam() = default;
    virtual Answer ShowMessage(const MessageRequest& request) = 0;
    // The chosen path, or nothing when the dialog was cancelled.
    virtual std::optional<QString> ChooseFile(const FileDialogRequest& request) = 0;
    // Runs a dialog modally and returns what QDialog::exec would.
    virtual int RunDialog(QDialog& dialog) = 0;
    // Calls `ready` until it gives true (true) or the request's limit has
    // passed (false). The window keeps painting meanwhile but takes no
    // commands: no second save or close starts in the middle of one.
    virtual bool WaitUntil(const WaitRequest& request, const std::function<bool()>& ready) = 0;

    // The configuration's editors, answered by the application with its
    // dialogs, so that the document never includes them. Each shows the
    // given record and gives a fresh one on OK, nothing on Cancel.
    virtual std::optional<CTSAppDataItem> EditLocation(const CTSAppDataItem& initial, QWidget* owner) = 0;
    virtual std::optional<CTSUserScriptItem> EditLogonScript(const CTSUserScriptItem& initial, QWidget* owner) = 0;
    // The chooser of users and groups: the selection maps of what was picked.
    virtual std::optional<std::vector<accounts::SelectionMap>> PickAccounts(QWidget* owner) = 0;

    // Shorthand for the common box: text, OK, the application caption.
    Answer Message(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                   MessageIcon icon = MessageIcon::None, QWidget* owner = nullptr)
    {
        return ShowMessage({text, QString(), buttons, icon, owner});
    }
};

} // namespace framework
