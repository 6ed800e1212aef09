#pragma once
#include <QObject>
#include <QPointer>
#include <vector>

#include "framework/command_target.h"

class QWidget;

namespace framework {

// Offers each command to the active view, the document, the frame and the
// application, in that order; the first that handles it wins. The same
// route answers the enable and check state of menus, toolbars and keys.
// The targets are not owned; a view registered with its widget is forgotten
// when the widget goes away.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    explicit CommandRouter(QObject* parent = nullptr);

    void SetApplication(CommandTarget* application) { m_application = application; }
    void SetFrame(CommandTarget* frame) { m_frame = frame; }
    void SetDocument(CommandTarget* document) { m_document = document; }
    void SetActiveView(CommandTarget* view);
    CommandTarget* ActiveView() const { return m_activeView; }

    // The view becomes the active one whenever the focus moves into its
    // widget, and stays so while the focus is outside every view (a toolbar,
    // a menu), as a frame's active view does.
    void AddView(QWidget* widget, CommandTarget* view);
    void RemoveView(QWidget* widget);

    // Active view, document, frame, application; each once, none null.
    std::vector<CommandTarget*> Route() const;

    // The first update handler on the route decides. Without one the command
    // is enabled exactly when some target handles it.
    CommandState QueryState(int id) const;

    // Runs the command unless it is disabled now (a key pressed for a
    // greyed item does nothing). False when disabled or nobody handled it.
    bool Execute(int id);

signals:
    void activeViewChanged(framework::CommandTarget* view);
    void commandExecuted(int id);

private:
    void OnFocusChanged(QWidget* now);
    void ForgetWidget(QObject* widget);

    struct RegisteredView {
        QObject* widget;  // compared only; the destroyed signal keeps the list true
        CommandTarget* view;
    };

    std::vector<RegisteredView> m_views;
    CommandTarget* m_application = nullptr;
    CommandTarget* m_frame = nullptr;
    CommandTarget* m_document = nullptr;
    CommandTarget* m_activeView = nullptr;
};

} // namespace framework
