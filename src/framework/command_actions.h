#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace framework {

class CommandRouter;
struct MenuEntry;

// The QActions through which the user reaches commands: menu items built
// from menus 128 and 129, toolbar buttons and the accelerator keys. Every
// action carries its command id and, when triggered, goes through the
// router. States come from the router's update route: a menu refreshes its
// items when it is about to show; toolbar buttons are refreshed when the
// program is next idle after input, after a command, or on request.
class CommandActions : public QObject {
    Q_OBJECT
public:
    explicit CommandActions(CommandRouter& router, QObject* parent = nullptr);
    ~CommandActions() override;

    // The command id an action of this class stands for; 0 for others.
    static int CommandIdOf(const QAction* action);

    // A menu bar with the popups of menu 128 or 129; texts exactly as the
    // table gives them ("\t" puts the shortcut in the menu's key column).
    QMenuBar* BuildMenuBar(int menuId, QWidget* parent = nullptr);
    // One popup of a menu definition, with its items and sub-popups.
    QMenu* BuildMenu(const MenuEntry& popup, QWidget* parent);

    // A toolbar button's action: its label, the command's tool tip and
    // prompt, kept in step with the route at idle time.
    QAction* CreateToolBarAction(int id, const QString& label, QObject* parent);

    // Accelerator table 128 as window shortcuts of `window`, so that the keys
    // work in either face whatever menu is shown. Returns the actions added.
    QList<QAction*> InstallAccelerators(QWidget* window);

    // Sets enabled, checked and text of the given actions from the route.
    void UpdateActions(const QList<QAction*>& actions) const;
    // Refreshes every toolbar action now.
    void RefreshToolBarActions();
    // Refreshes toolbar actions once the event loop is idle; calls coalesce.
    void RequestRefresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* CreateCommandAction(int id, const QString& text, QObject* parent);

    CommandRouter& m_router;
    QList<QPointer<QAction>> m_toolBarActions;
    QTimer m_idleRefresh;
};

} // namespace framework
