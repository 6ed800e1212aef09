#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <deque>
#include <thread>
#include <utility>

#include "pontlet_prompts.h"
#include "tree_copy.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace pontlet {

// Runs a copy on a worker thread and shows how far it is: files and bytes
// done of the total, the file at hand, the speed and the time left. Cancel,
// Escape and closing the window stop the copy; questions about existing
// files are asked on the GUI thread through the prompts.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(std::vector<CopyItem> items, CopySettings settings, Prompts& prompts, const QString& title,
                   const QString& route, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Copies to the end, the window showing once the copy has taken
    // `showAfterMs` (at once for 0, never when negative); the GUI stays
    // responsive meanwhile.
    Outcome Run(int showAfterMs);

    void reject() override;  // Cancel, Escape and the close button
    bool Copying() const { return m_refresh.isActive(); }  // between the start and the end of Run()

    // The texts shown now, as the copy last reported its progress.
    QString CountsText() const;
    QString CurrentText() const;
    QString RateText() const;
    void Refresh();

private:
    Answer AskOnGuiThread(const Conflict& conflict);

    Prompts& m_prompts;
    TreeCopy m_copy;
    std::thread m_worker;
    QEventLoop m_loop;
    QTimer m_refresh;
    QElapsedTimer m_clock;
    qint64 m_copyingSince = -1;  // ms on m_clock when counting ended
    std::deque<std::pair<qint64, std::uint64_t>> m_samples;  // (ms, bytes) for the speed
    bool m_finished = false;
    bool m_asking = false;  // a question is open
    Outcome m_outcome;

    QLabel* m_counts = nullptr;
    QLabel* m_current = nullptr;
    QLabel* m_rate = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Tells the user what was not copied (nothing when all was, or when the
// user cancelled).
void TellOutcome(Prompts& prompts, QWidget* owner, const QString& title, const Outcome& outcome);

} // namespace pontlet
