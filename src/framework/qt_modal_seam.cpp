#include "framework/qt_modal_seam.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace framework {

namespace {

QMessageBox::StandardButtons ButtonsFor(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton ButtonFor(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

// The first button is the default one, as in the classic boxes, unless the
// request names another of its buttons.
QMessageBox::StandardButton DefaultButtonFor(const MessageRequest& request)
{
    if (request.defaultAnswer && ButtonsFor(request.buttons).testFlag(ButtonFor(*request.defaultAnswer)))
        return ButtonFor(*request.defaultAnswer);
    return (request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancel)
               ? QMessageBox::Yes
               : QMessageBox::Ok;
}

QMessageBox::Icon IconFor(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// A box closed without a button (Escape, the window's close box) gives the
// answer that does the least: Cancel where there is one, else No, else OK.
Answer DismissedAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return Answer::Ok;
    case MessageButtons::YesNo: return Answer::No;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

} // namespace

QtModalSeam::QtModalSeam(QWidget* mainWindow) : m_mainWindow(mainWindow) {}

void QtModalSeam::SetMainWindow(QWidget* mainWindow) { m_mainWindow = mainWindow; }

QWidget* QtModalSeam::MainWindow() const { return m_mainWindow.data(); }

QString QtModalSeam::ApplicationCaption() { return QStringLiteral("Quillon"); }

QWidget* QtModalSeam::OwnerFor(QWidget* requested) const
{
    return requested ? requested : m_mainWindow.data();
}

Answer QtModalSeam::ShowMessage(const MessageRequest& request)
{
    const QString caption = request.caption.isEmpty() ? ApplicationCaption() : request.caption;
    QMessageBox box(IconFor(request.icon), caption, request.text, ButtonsFor(request.buttons),
                    OwnerFor(request.owner));
    box.setDefaultButton(DefaultButtonFor(request));
    // Texts are shown as written; a path with '<' must not turn into markup.
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return DismissedAnswer(request.buttons);
    }
}

std::optional<QString> QtModalSeam::ChooseFile(const FileDialogRequest& request)
{
    if (request.kind == FileDialogRequest::Kind::Folder) {
        const QString folder =
            QFileDialog::getExistingDirectory(OwnerFor(request.owner), request.title, request.initialName);
        if (folder.isEmpty())
            return std::nullopt;
        return folder;
    }
    const bool saving = request.kind == FileDialogRequest::Kind::Save;
    QFileDialog dialog(OwnerFor(request.owner), request.title);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.filter.isEmpty())
        dialog.setNameFilter(request.filter);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.front();
}

int QtModalSeam::RunDialog(QDialog& dialog) { return dialog.exec(); }

} // namespace framework
