#pragma once
#include <QString>
#include <functional>
#include <map>

// Commands and their enable/check state, offered along a route of targets
// (active view, document, frame, application) where the first that handles
// a command wins.
namespace framework {

// What an update handler decides for a menu item, toolbar button or key.
struct CommandState {
    bool enabled = true;
    bool checked = false;
    QString text;  // empty: the item keeps its own text
};

// A target's handlers, registered by id in the way of a message map.
class CommandMap {
public:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CommandState&)>;

    void On(int id, Handler handler) { m_handlers[id] = std::move(handler); }
    void OnUpdate(int id, UpdateHandler handler) { m_updateHandlers[id] = std::move(handler); }

    bool Dispatch(int id) const;
    bool DispatchUpdate(int id, CommandState& state) const;
    bool Handles(int id) const { return m_handlers.count(id) != 0; }

private:
    std::map<int, Handler> m_handlers;
    std::map<int, UpdateHandler> m_updateHandlers;
};

// Anything on the route. Handlers are registered in Commands(); a target
// that decides at run time (forwarding to another object) overrides the
// three virtual functions instead and keeps them consistent.
class CommandTarget {
public:
    CommandTarget() = default;
    CommandTarget(const CommandTarget&) = delete;  // handlers capture `this`
    CommandTarget& operator=(const CommandTarget&) = delete;
    virtual ~CommandTarget() = default;

    // True when this target handled the command.
    virtual bool OnCommand(int id) { return m_commands.Dispatch(id); }
    // True when this target decided the command's state.
    virtual bool OnUpdateCommand(int id, CommandState& state) { return m_commands.DispatchUpdate(id, state); }
    // Whether OnCommand would handle the command; a command that no target
    // updates is enabled exactly when some target handles it.
    virtual bool HasCommandHandler(int id) const { return m_commands.Handles(id); }

protected:
    CommandMap& Commands() { return m_commands; }

private:
    CommandMap m_commands;
};

} // namespace framework
