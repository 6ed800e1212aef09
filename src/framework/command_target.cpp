#include "framework/command_target.h"

namespace framework {

bool CommandMap::Dispatch(int id) const
{
    const auto it = m_handlers.find(id);
    if (it == m_handlers.end())
        return false;
    // A handler may replace the map's entries (a target re-registering);
    // run a copy so that it never outlives itself.
    const Handler handler = it->second;
    handler();
    return true;
}

bool CommandMap::DispatchUpdate(int id, CommandState& state) const
{
    const auto it = m_updateHandlers.find(id);
    if (it == m_updateHandlers.end())
        return false;
    it->second(state);
    return true;
}

} // namespace framework
