#include "folder_pane.h"

#include "platform/path_entries.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QSortFilterProxyModel>
#include <QUrl>
#include <QVBoxLayout>

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

// The file system model as far as it stays inside one real folder.
// QFileSystemModel lists a link to a folder as the folder it leads to, so
// folders are judged by their real path: one outside is neither fetched
// nor expandable, and rows under it are hidden should the model hold any.
class ConfinedFolders : public QSortFilterProxyModel {
public:
    ConfinedFolders(QFileSystemModel* files, std::string root, QObject* parent)
        : QSortFilterProxyModel(parent), m_files(files), m_root(std::move(root))
    {
        // Ahead of the proxy's own handlers, which ask the filter again.
        const auto forget = [this] { m_lastFolder.clear(); };
        connect(files, &QAbstractItemModel::rowsAboutToBeInserted, this, forget);
        connect(files, &QAbstractItemModel::dataChanged, this, forget);
        connect(files, &QAbstractItemModel::layoutAboutToBeChanged, this, forget);
        connect(files, &QAbstractItemModel::modelAboutToBeReset, this, forget);
        setSourceModel(files);
    }

    bool hasChildren(const QModelIndex& parent) const override
    {
        return Open(mapToSource(parent)) && QSortFilterProxyModel::hasChildren(parent);
    }
    bool canFetchMore(const QModelIndex& parent) const override
    {
        return Open(mapToSource(parent)) && QSortFilterProxyModel::canFetchMore(parent);
    }
    void fetchMore(const QModelIndex& parent) override
    {
        if (Open(mapToSource(parent)))
            QSortFilterProxyModel::fetchMore(parent);
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& sourceParent) const override
    {
        const std::string path = m_files->filePath(m_files->index(row, 0, sourceParent)).toStdString();
        // The chain of folders down to the root, which the view never shows.
        if (platform::IsSameOrInside(path, m_root))
            return true;
        const std::string folder = m_files->filePath(sourceParent).toStdString();
        if (folder != m_root && platform::IsSameOrInside(folder, m_root))
            return false;  // beside that chain: above the root
        if (folder != m_lastFolder) {
            m_lastFolder = folder;
            m_lastInside = Inside(folder);
        }
        return m_lastInside;
    }

private:
    bool Inside(const std::string& path) const
    {
        const platform::RealPath real = platform::ResolveRealPath(path);
        return real.error == 0 && platform::IsSameOrInside(m_root, real.path);
    }

    // Whether a folder's contents may be listed.
    bool Open(const QModelIndex& source) const
    {
        if (!source.isValid())
            return true;
        const std::string path = m_files->filePath(source).toStdString();
        return (path != m_root && platform::IsSameOrInside(path, m_root)) || Inside(path);
    }

    QFileSystemModel* m_files;
    std::string m_root;
    mutable std::string m_lastFolder;
    mutable bool m_lastInside = false;
};

// The real path of a folder; empty when it is no folder.
std::string RealFolder(const std::filesystem::path& folder)
{
    const platform::RealPath real = platform::ResolveRealPath(folder.string());
    if (real.error != 0 || !folder.is_absolute())
        return {};
    const platform::PathAttributes kind = platform::GetPathAttributes(real.path);
    return kind.error == 0 && kind.isDirectory ? real.path : std::string();
}

} // namespace

FolderPane::FolderPane(const std::filesystem::path& folder, QWidget* parent)
    : QTreeView(parent), m_root(RealFolder(folder))
{
    if (m_root.empty()) {
        // Never another folder in its place: the user sees why there is nothing.
        m_message = new QLabel(tr("The folder %1 does not exist.").arg(QString::fromStdString(folder.string())),
                               viewport());
        m_message->setWordWrap(true);
        m_message->setAlignment(Qt::AlignCenter);
        m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* layout = new QVBoxLayout(viewport());
        layout->addWidget(m_message);
        header()->hide();
        setAcceptDrops(false);
        viewport()->setAcceptDrops(false);
        m_takesDrops = false;
        return;
    }
    m_files = new QFileSystemModel(this);
    m_files->setReadOnly(true);
    const QString root = QString::fromStdString(m_root);
    m_files->setRootPath(root);
    m_shown = new ConfinedFolders(m_files, m_root, this);
    setModel(m_shown);
    setRootIndex(m_shown->mapFromSource(m_files->index(root)));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
}

QString FolderPane::Message() const
{
    return m_message ? m_message->text() : QString();
}

void FolderPane::SetTakesDrops(bool takes)
{
    m_takesDrops = takes && Exists();
}

std::vector<std::filesystem::path> FolderPane::Selected() const
{
    std::vector<std::filesystem::path> paths;
    if (!m_files)
        return paths;
    for (const QModelIndex& index : selectionModel()->selectedRows(0))
        paths.emplace_back(m_files->filePath(m_shown->mapToSource(index)).toStdString());
    return paths;
}

QModelIndex FolderPane::IndexOf(const std::filesystem::path& path) const
{
    if (!m_files)
        return {};
    const QString text = QString::fromStdString(path.string());
    const QModelIndex source = m_files->index(text);
    // Only what lies below the root: the model also holds the folders above.
    if (!source.isValid() || m_files->filePath(source) != text ||
        !platform::IsSameOrInside(m_root, path.lexically_normal().string()) || path.string() == m_root)
        return {};
    return m_shown->mapFromSource(source);
}

std::filesystem::path FolderPane::FolderAt(const QPoint& pos) const
{
    const QModelIndex index = m_shown->mapToSource(indexAt(pos));
    if (index.isValid() && m_files->isDir(index))
        return m_files->filePath(index).toStdString();
    return m_root;
}

bool FolderPane::Takes(const QDropEvent* event) const
{
    // Dragged within the pane it would land on its own side.
    return m_takesDrops && event->source() != this && !LocalFiles(event->mimeData()).empty();
}

void FolderPane::dragEnterEvent(QDragEnterEvent* event)
{
    if (!Takes(event))
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FolderPane::dragMoveEvent(QDragMoveEvent* event)
{
    if (!Takes(event))
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FolderPane::dropEvent(QDropEvent* event)
{
    if (!Takes(event))
        return event->ignore();
    const auto files = LocalFiles(event->mimeData());
    // Always a copy: nothing is ever moved away from where it was dragged.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The copy starts once the drop is over: a drag still in progress would
    // wait for the whole copy otherwise. The window decides what may go.
    const std::filesystem::path folder = FolderAt(event->position().toPoint());
    QMetaObject::invokeMethod(this, [this, files, folder] { emit Dropped(files, folder); }, Qt::QueuedConnection);
}

} // namespace pontlet
