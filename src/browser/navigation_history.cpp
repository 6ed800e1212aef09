#include "browser/navigation_history.h"

namespace browser {

void NavigationHistory::clear()
{
    m_entries.clear();
    m_index = -1;
}

void NavigationHistory::push(const QString& address)
{
    if (m_index >= 0 && m_entries[m_index] == address)
        return;
    m_entries.resize(m_index + 1);
    m_entries.append(address);
    m_index = m_entries.size() - 1;
}

QString NavigationHistory::peekBack() const
{
    return canGoBack() ? m_entries[m_index - 1] : QString();
}

QString NavigationHistory::peekForward() const
{
    return canGoForward() ? m_entries[m_index + 1] : QString();
}

void NavigationHistory::stepBack()
{
    if (canGoBack())
        --m_index;
}

void NavigationHistory::stepForward()
{
    if (canGoForward())
        ++m_index;
}

QString NavigationHistory::current() const
{
    return m_index >= 0 ? m_entries[m_index] : QString();
}

} // namespace browser
