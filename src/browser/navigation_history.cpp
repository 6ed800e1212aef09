#include "browser/navigation_history.h"

namespace browser {

void NavigationHistory::Clear()
{
    m_entries.clear();
    m_index = -1;
}

void NavigationHistory::Push(const QString& address)
{
    if (m_index >= 0 && m_entries[m_index] == address)
        return;
    m_entries.resize(m_index + 1);
    m_entries.append(address);
    m_index = m_entries.size() - 1;
}

QString NavigationHistory::PeekBack() const
{
    return CanGoBack() ? m_entries[m_index - 1] : QString();
}

QString NavigationHistory::PeekForward() const
{
    return CanGoForward() ? m_entries[m_index + 1] : QString();
}

void NavigationHistory::StepBack()
{
    if (CanGoBack())
        --m_index;
}

void NavigationHistory::StepForward()
{
    if (CanGoForward())
        ++m_index;
}

QString NavigationHistory::Current() const
{
    return m_index >= 0 ? m_entries[m_index] : QString();
}

} // namespace browser
