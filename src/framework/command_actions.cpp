#include "framework/command_actions.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "framework/command_router.h"
#include "framework/command_table.h"

namespace framework {

namespace {

const char* const kCommandIdProperty = "quillonCommandId";

} // namespace

CommandActions::CommandActions(CommandRouter& router, QObject* parent) : QObject(parent), m_router(router)
{
    m_idleRefresh.setSingleShot(true);
    m_idleRefresh.setInterval(0);
    connect(&m_idleRefresh, &QTimer::timeout, this, &CommandActions::RefreshToolBarActions);
    connect(&m_router, &CommandRouter::commandExecuted, this, &CommandActions::RequestRefresh);
    connect(&m_router, &CommandRouter::activeViewChanged, this, &CommandActions::RequestRefresh);
    // Input is what changes selections and with them the states; looking at
    // it costs a switch per event, where polling would wake every session.
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

CommandActions::~CommandActions()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

int CommandActions::CommandIdOf(const QAction* action)
{
    return action ? action->property(kCommandIdProperty).toInt() : 0;
}

QAction* CommandActions::CreateCommandAction(int id, const QString& text, QObject* parent)
{
    auto* action = new QAction(text, parent);
    action->setProperty(kCommandIdProperty, id);
    if (const CommandInfo* info = FindCommand(id)) {
        action->setStatusTip(info->StatusPrompt());
        if (!info->ToolTip().isEmpty())
            action->setToolTip(info->ToolTip());
    }
    // Queued: the command runs after the menu has closed, and may replace
    // the menu bar that holds this very action.
    connect(action, &QAction::triggered, this, [this, id] { m_router.Execute(id); }, Qt::QueuedConnection);
    return action;
}

QMenu* CommandActions::BuildMenu(const MenuEntry& popup, QWidget* parent)
{
    auto* menu = new QMenu(popup.text, parent);
    // Separators stay where the menu puts them, also at the top.
    menu->setSeparatorsCollapsible(false);
    for (const MenuEntry& entry : popup.entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator: menu->addSeparator(); break;
        case MenuEntry::Kind::Popup: menu->addMenu(BuildMenu(entry, menu)); break;
        case MenuEntry::Kind::Command: menu->addAction(CreateCommandAction(entry.id, entry.CommandText(), menu)); break;
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateActions(menu->actions()); });
    return menu;
}

QMenuBar* CommandActions::BuildMenuBar(int menuId, QWidget* parent)
{
    auto* bar = new QMenuBar(parent);
    for (const MenuEntry& popup : MenuDefinition(menuId))
        bar->addMenu(BuildMenu(popup, bar));
    return bar;
}

QAction* CommandActions::CreateToolBarAction(int id, const QString& label, QObject* parent)
{
    QAction* action = CreateCommandAction(id, label, parent);
    m_toolBarActions.append(action);
    UpdateActions({action});
    return action;
}

QList<QAction*> CommandActions::InstallAccelerators(QWidget* window)
{
    QList<QAction*> added;
    for (const Accelerator& accelerator : AcceleratorTable()) {
        auto* action = new QAction(window);
        action->setShortcut(accelerator.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setProperty(kCommandIdProperty, accelerator.id);
        // The router drops the command when its item would be greyed.
        connect(action, &QAction::triggered, this, [this, id = accelerator.id] { m_router.Execute(id); },
                Qt::QueuedConnection);
        window->addAction(action);
        added.append(action);
    }
    return added;
}

void CommandActions::UpdateActions(const QList<QAction*>& actions) const
{
    for (QAction* action : actions) {
        const int id = CommandIdOf(action);
        if (id == 0)
            continue;  // separators and popups
        const CommandState state = m_router.QueryState(id);
        action->setEnabled(state.enabled);
        // Only a checked item shows a mark, as in the classic menus.
        action->setCheckable(state.checked);
        action->setChecked(state.checked);
        if (!state.text.isEmpty())
            action->setText(state.text);
    }
}

void CommandActions::RefreshToolBarActions()
{
    m_toolBarActions.removeAll(QPointer<QAction>());
    QList<QAction*> live;
    for (const QPointer<QAction>& action : m_toolBarActions)
        live.append(action.data());
    UpdateActions(live);
}

void CommandActions::RequestRefresh()
{
    if (!m_idleRefresh.isActive())
        m_idleRefresh.start();
}

bool CommandActions::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
        RequestRefresh();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace framework
