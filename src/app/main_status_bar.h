#pragma once
#include <QStatusBar>
#include <functional>
#include <optional>

#include "app/desktop.h"

class QLabel;

namespace app {

// The frame's status bar: a message pane that shows the prompt of the item
// under the mouse and otherwise the idle text, then the CAP, NUM and SCRL
// indicators, each lit while its lock key is on. The lights are read again
// after key presses and when the window becomes active, never by polling.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    using LockSource = std::function<std::optional<KeyLocks>()>;

    explicit MainStatusBar(QWidget* parent = nullptr, LockSource source = QueryKeyLocks);
    ~MainStatusBar() override;

    static QString IdleText();  // "For Help, press F1"

    QString IdleMessage() const;
    // The indicators' texts as shown: the name while lit, empty otherwise.
    QStringList IndicatorTexts() const;
    void SetKeyLocks(const KeyLocks& locks);
    void RefreshKeyLocks();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddIndicator(const QString& name);

    LockSource m_source;
    QLabel* m_idle;
    QLabel* m_caps;
    QLabel* m_num;
    QLabel* m_scroll;
};

} // namespace app
