#include "framework/qt_modal_seam.h"

#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

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

// A wait shorter than this shows nothing, so that a save that waits a moment
// does not flash a window.
constexpr int kQuietWaitMs = 300;

// What a lasting wait shows: no buttons, and neither Escape nor the close box
// ends it, since the wait ends by itself.
class WaitIndication : public QDialog {
public:
    WaitIndication(QWidget* owner, const QString& caption, const QString& text)
        : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    {
        setObjectName(QStringLiteral("WaitIndication"));
        setWindowTitle(caption);
        setModal(true);
        auto* layout = new QVBoxLayout(this);
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 0);
        bar->setTextVisible(false);
        layout->addWidget(label);
        layout->addWidget(bar);
    }
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

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

bool QtModalSeam::WaitUntil(const WaitRequest& request, const std::function<bool()>& ready)
{
    if (ready())
        return true;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    bool done = false;
    const auto over = [&] { return done || clock.elapsed() >= request.limit.count(); };
    QTimer poll;
    poll.setInterval(request.poll);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        done = ready();
        if (over())
            loop.quit();
    });
    poll.start();
    // At first the window paints but its input waits, so that no command
    // starts meanwhile.
    QTimer quiet;
    quiet.setSingleShot(true);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    quiet.start(kQuietWaitMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (over())
        return done;
    // A wait that lasts says so, in a modal window that keeps the commands
    // out of reach.
    WaitIndication indication(OwnerFor(request.owner), ApplicationCaption(), request.text);
    indication.show();
    loop.exec();
    return done;
}

} // namespace framework
