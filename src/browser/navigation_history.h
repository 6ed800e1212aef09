#pragma once
#include <QString>
#include <QStringList>

namespace browser {

// The addresses shown, as a web browser keeps them: going somewhere new drops
// what lay ahead; going to the address already shown adds nothing.
class NavigationHistory {
public:
    void Clear();
    void Push(const QString& address);
    bool CanGoBack() const { return m_index > 0; }
    bool CanGoForward() const { return m_index + 1 < m_entries.size(); }
    // The address one step back or ahead, without moving; empty when none.
    QString PeekBack() const;
    QString PeekForward() const;
    void StepBack();
    void StepForward();
    QString Current() const;

private:
    QStringList m_entries;
    qsizetype m_index = -1;
};

} // namespace browser
