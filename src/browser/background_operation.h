#pragma once
#include <atomic>
#include <functional>
#include <memory>

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include "browser/operation_meter.h"
#include "browser/operation_window.h"

class QWidget;

namespace browser {

class FileActions;
class GuiPost;
struct OperationContext;

// Runs a copy, move or delete on a worker thread, so that a long one never
// freezes the window, and shows its progress window once it has lasted a
// moment. Its questions and failure boxes are shown on the GUI thread while
// the worker waits for the answer. Cancel stops it between entries and
// between the chunks of a big file. Once this object is gone, every
// question is answered Cancel and the operation stops at the next entry;
// a worker hung on a share is never waited for.
class BackgroundOperation : public QObject {
    Q_OBJECT
public:
    // `actions` asks and reports; it must outlive this object. The progress
    // window opens over `owner` once an operation has run `showAfterMs`
    // (never when negative).
    BackgroundOperation(FileActions& actions, QWidget* owner, int showAfterMs = 500);
    ~BackgroundOperation() override;

    bool isRunning() const { return m_running; }
    // Run on the worker before anything is transferred (resolving paths may
    // wait on a share): it may change the sources and the target, and a text
    // it returns is reported instead of transferring.
    using Admit = std::function<QString(QStringList& sources, QString& targetFolder)>;

    // Each is false (and nothing started) while another operation runs.
    bool startTransfer(const QStringList& sources, const QString& targetFolder, bool move, Admit admit = {});
    // The removal of FileActions::Delete, once the user has confirmed it.
    bool startDelete(const QStringList& paths);

    // The progress window's Cancel; safe from any thread.
    void cancel();
    OperationProgress progress() const;
    OperationWindow& progressWindow();

signals:
    // `done`: everything was done, nothing failed or was cancelled.
    void finished(bool done);

private:
    struct Shared;
    using Job = std::function<bool(const OperationContext& context)>;

    bool start(const QString& title, bool bytes, Job job);
    void finish(bool done);
    void showWindow();
    // Runs a question or a failure box for the worker.
    template <class T>
    T asking(const std::function<T()>& ask);

    FileActions& m_actions;
    QPointer<QWidget> m_owner;
    QPointer<OperationWindow> m_window;  // its owner may delete it first
    int m_showAfterMs;
    std::shared_ptr<GuiPost> m_post;
    std::atomic<std::shared_ptr<Shared>> m_shared;
    QTimer m_show;
    QTimer m_refresh;
    bool m_running = false;
    int m_asking = 0;           // boxes open for the worker
    bool m_showPending = false;  // the window is due once they are answered
};

} // namespace browser
