#pragma once
#include <QPointer>

#include "framework/modal_seam.h"

class QWidget;

namespace framework {

// The seam as the running program uses it: real message boxes and file
// dialogs, owned by the request's owner or else by the registered main window.
class QtModalSeam : public ModalSeam {
public:
    explicit QtModalSeam(QWidget* mainWindow = nullptr);

    // The default owner of boxes and dialogs that name none.
    void SetMainWindow(QWidget* mainWindow);
    QWidget* MainWindow() const;

    Answer ShowMessage(const MessageRequest& request) override;
    std::optional<QString> ChooseFile(const FileDialogRequest& request) override;
    int RunDialog(QDialog& dialog) override;
    bool WaitUntil(const WaitRequest& request, const std::function<bool()>& ready) override;

    // The caption boxes get when the request has none.
    static QString ApplicationCaption();

private:
    QWidget* OwnerFor(QWidget* requested) const;

    QPointer<QWidget> m_mainWindow;
};

} // namespace framework
