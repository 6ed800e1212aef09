#include "folder_pane.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

namespace pontlet {

namespace {

std::vector<std::filesystem::path> LocalFiles(const QMimeData* mime)
{
    std::vector<std::filesystem::path> files;
    if (!mime)
        return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            files.emplace_back(url.toLocalFile().toStdString());
    return files;
}

} // namespace

FolderPane::FolderPane(const std::filesystem::path& root, QWidget* parent) : QTreeView(parent), m_root(root)
{
    m_model = new QFileSystemModel(this);
    m_model->setReadOnly(true);
    const QString path = QString::fromStdString(root.string());
    m_model->setRootPath(path);
    setModel(m_model);
    setRootIndex(m_model->index(path));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
}

std::vector<std::filesystem::path> FolderPane::Selected() const
{
    std::vector<std::filesystem::path> paths;
    for (const QModelIndex& index : selectionModel()->selectedRows(0))
        paths.emplace_back(m_model->filePath(index).toStdString());
    return paths;
}

std::filesystem::path FolderPane::FolderAt(const QPoint& pos) const
{
    const QModelIndex index = indexAt(pos);
    if (index.isValid() && m_model->isDir(index))
        return m_model->filePath(index).toStdString();
    return m_root;
}

void FolderPane::dragEnterEvent(QDragEnterEvent* event)
{
    if (LocalFiles(event->mimeData()).empty())
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FolderPane::dragMoveEvent(QDragMoveEvent* event)
{
    if (LocalFiles(event->mimeData()).empty())
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FolderPane::dropEvent(QDropEvent* event)
{
    const auto files = LocalFiles(event->mimeData());
    if (files.empty())
        return event->ignore();
    // Always a copy: nothing is ever moved away from where it was dragged.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The copy starts once the drop is over: a drag still in progress would
    // wait for the whole copy otherwise.
    const std::filesystem::path folder = FolderAt(event->position().toPoint());
    QMetaObject::invokeMethod(this, [this, files, folder] { emit Dropped(files, folder); }, Qt::QueuedConnection);
}

} // namespace pontlet
