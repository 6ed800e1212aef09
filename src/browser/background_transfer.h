#pragma once
#include <atomic>
#include <functional>
#include <memory>

#include <QObject>
#include <QStringList>

namespace browser {

class FileActions;
class GuiPost;

// Runs a copy or move on a worker thread, so that a long copy never freezes
// the window. Its questions and failure boxes are shown on the GUI thread
// while the worker waits for the answer; once this object is gone, every
// question is answered Cancel and the transfer stops at the next entry.
class BackgroundTransfer : public QObject {
    Q_OBJECT
public:
    // `actions` asks and reports; it must outlive this object.
    explicit BackgroundTransfer(FileActions& actions, QObject* parent = nullptr);
    ~BackgroundTransfer() override;

    bool IsRunning() const { return m_running; }
    // Run on the worker before anything is transferred (resolving paths may
    // wait on a share): it may change the sources and the target, and a text
    // it returns is reported instead of transferring.
    using Admit = std::function<QString(QStringList& sources, QString& targetFolder)>;

    // False (and nothing started) while another transfer runs.
    bool Start(const QStringList& sources, const QString& targetFolder, bool move, Admit admit = {});

signals:
    // `done`: everything was copied or moved, nothing failed or was cancelled.
    void finished(bool done);

private:
    FileActions& m_actions;
    std::shared_ptr<GuiPost> m_post;
    std::shared_ptr<std::atomic<bool>> m_stop;
    bool m_running = false;
};

} // namespace browser
