#pragma once
#include <functional>

#include <QAbstractItemView>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>

#include "browser/view_decor.h"

namespace browser {

// A list or tree view of the folder model with what every folder view
// shares: the background and empty-folder text drawn in the viewport, and
// file drops handed on (Ctrl held copies; dragged within the program moves).
template <class Base>
class FolderItemView : public Base {
public:
    // Paths dropped, the row they were dropped on (may be invalid), the action.
    using DropHandler = std::function<void(const QStringList&, const QModelIndex&, Qt::DropAction)>;

    FolderItemView(const ViewDecor& decor, QWidget* parent = nullptr) : Base(parent), m_decor(decor)
    {
        this->setSelectionMode(QAbstractItemView::ExtendedSelection);
        this->setEditTriggers(QAbstractItemView::NoEditTriggers);
        this->setDragEnabled(true);
        this->setAcceptDrops(true);
        this->viewport()->setAcceptDrops(true);
        this->setDropIndicatorShown(true);
        this->setDragDropMode(QAbstractItemView::DragDrop);
        this->setDefaultDropAction(Qt::MoveAction);
        this->setTextElideMode(Qt::ElideMiddle);
    }

    void setDropHandler(DropHandler handler) { m_onDrop = std::move(handler); }

    static Qt::DropAction actionFor(const QDropEvent& event)
    {
        if (event.modifiers().testFlag(Qt::ControlModifier))
            return Qt::CopyAction;
        if (event.source())
            return Qt::MoveAction;
        return event.proposedAction() == Qt::MoveAction ? Qt::MoveAction : Qt::CopyAction;
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        {
            QPainter painter(this->viewport());
            m_decor.paint(painter, this->viewport()->rect(), this->palette().color(QPalette::Base),
                          this->palette().color(QPalette::PlaceholderText));
        }
        Base::paintEvent(event);
    }

    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (!event->mimeData()->hasUrls()) {
            event->ignore();
            return;
        }
        Base::dragEnterEvent(event);
        accept(*event);
    }

    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (!event->mimeData()->hasUrls()) {
            event->ignore();
            return;
        }
        Base::dragMoveEvent(event);
        accept(*event);
    }

    void dropEvent(QDropEvent* event) override
    {
        QStringList paths;
        for (const QUrl& url : event->mimeData()->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
        if (paths.isEmpty()) {
            event->ignore();
            return;
        }
        const Qt::DropAction action = actionFor(*event);
        event->setDropAction(action);
        event->accept();
        // The view's own drop indicator ends with the drag.
        Base::setState(QAbstractItemView::NoState);
        this->viewport()->update();
        if (m_onDrop)
            m_onDrop(paths, this->indexAt(event->position().toPoint()), action);
    }

private:
    void accept(QDropEvent& event)
    {
        event.setDropAction(actionFor(event));
        event.accept();
    }

    const ViewDecor& m_decor;
    DropHandler m_onDrop;
};

} // namespace browser
