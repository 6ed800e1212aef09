#include "framework/command_router.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

namespace framework {

CommandRouter::CommandRouter(QObject* parent) : QObject(parent)
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        connect(app, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

void CommandRouter::SetActiveView(CommandTarget* view)
{
    if (view == m_activeView)
        return;
    m_activeView = view;
    emit activeViewChanged(view);
}

void CommandRouter::AddView(QWidget* widget, CommandTarget* view)
{
    RemoveView(widget);
    m_views.push_back({widget, view});
    connect(widget, &QObject::destroyed, this, &CommandRouter::ForgetWidget);
    // A view that already has the focus gets no focus change to tell.
    OnFocusChanged(QApplication::focusWidget());
}

void CommandRouter::RemoveView(QWidget* widget)
{
    ForgetWidget(widget);
    disconnect(widget, &QObject::destroyed, this, &CommandRouter::ForgetWidget);
}

void CommandRouter::ForgetWidget(QObject* widget)
{
    const auto it = std::find_if(m_views.begin(), m_views.end(),
                                 [widget](const RegisteredView& r) { return r.widget == widget; });
    if (it == m_views.end())
        return;
    CommandTarget* view = it->view;
    m_views.erase(it);
    if (view == m_activeView)
        SetActiveView(nullptr);
}

void CommandRouter::OnFocusChanged(QWidget* now)
{
    if (!now)
        return;
    for (QWidget* w = now; w; w = w->parentWidget()) {
        for (const RegisteredView& r : m_views) {
            if (r.widget == w) {
                SetActiveView(r.view);
                return;
            }
        }
    }
}

std::vector<CommandTarget*> CommandRouter::Route() const
{
    std::vector<CommandTarget*> route;
    for (CommandTarget* target : {m_activeView, m_document, m_frame, m_application}) {
        if (target && std::find(route.begin(), route.end(), target) == route.end())
            route.push_back(target);
    }
    return route;
}

CommandState CommandRouter::QueryState(int id) const
{
    const std::vector<CommandTarget*> route = Route();
    CommandState state;
    for (CommandTarget* target : route) {
        if (target->OnUpdateCommand(id, state))
            return state;
    }
    state.enabled = std::any_of(route.begin(), route.end(),
                                [id](const CommandTarget* t) { return t->HasCommandHandler(id); });
    return state;
}

bool CommandRouter::Execute(int id)
{
    if (!QueryState(id).enabled)
        return false;
    // A command may close the window that owns this router.
    QPointer<CommandRouter> self(this);
    for (CommandTarget* target : Route()) {
        if (target->OnCommand(id)) {
            if (self)
                emit commandExecuted(id);
            return true;
        }
    }
    return false;
}

} // namespace framework
