#pragma once
#include <QDialog>
#include <QElapsedTimer>

#include <deque>

#include "browser/operation_meter.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace browser {

// How far a copy, move or delete is: files and bytes done of the total (or
// entries, for a delete), the entry at hand, and Cancel. Cancel, Escape and
// the close box ask the operation to stop; it is shown, never run modally,
// so nothing waits on it.
class OperationWindow : public QDialog {
    Q_OBJECT
public:
    explicit OperationWindow(QWidget* parent = nullptr);

    // A new operation: its title, and whether it counts bytes.
    void Begin(const QString& title, bool bytes);
    void Show(const OperationProgress& progress);
    // The time spent on a question says nothing about the speed.
    void ForgetSpeed() { m_samples.clear(); }
    void reject() override;

    QString CountsText() const;
    QString CurrentText() const;
    QString RateText() const;

signals:
    void cancelRequested();

private:
    bool m_bytes = true;
    QElapsedTimer m_clock;
    struct Sample {
        qint64 ms;
        double work;
        std::uint64_t bytes;
    };
    std::deque<Sample> m_samples;  // for the speed
    QLabel* m_counts = nullptr;
    QLabel* m_current = nullptr;
    QProgressBar* m_bar = nullptr;
    QLabel* m_state = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace browser
