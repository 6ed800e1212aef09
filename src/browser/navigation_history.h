#pragma once
#include <QString>
#include <QStringList>

namespace browser {

// The addresses shown, as a web browser keeps them: going somewhere new drops
// what lay ahead; going to the address already shown adds nothing.
class NavigationHistory {
public:
    void clear();
    void push(const QString& address);
    bool canGoBack() const { return m_index > 0; }
    bool canGoForward() const { return m_index + 1 < m_entries.size(); }
    // The address one step back or ahead, without moving; empty when none.
    QString peekBack() const;
    QString peekForward() const;
    void stepBack();
    void stepForward();
    QString current() const;

private:
    QStringList m_entries;
    qsizetype m_index = -1;
};

} // namespace browser
