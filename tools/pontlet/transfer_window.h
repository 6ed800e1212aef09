#pragma once
#include <QDialog>
#include <QTimer>
#include <memory>

#include "tree_copy.h"

class QLabel;
class QProgressBar;

namespace pontlet {

// Shows an automatic transfer while it runs, one file per timer tick, and
// asks about existing files when no overwrite rule was given.
class TransferWindow : public QDialog {
    Q_OBJECT
public:
    TransferWindow(const TransferOptions& options, QWidget* parent = nullptr);
    const CopySummary& Summary() const { return m_copy.Summary(); }

private:
    void Tick();
    Answer AskReplace(const std::filesystem::path& source, const std::filesystem::path& target);

    TreeCopy m_copy;
    QLabel* m_file = nullptr;
    QProgressBar* m_progress = nullptr;
    QTimer m_timer;
    bool m_cancelRequested = false;
};

} // namespace pontlet
