#pragma once
#include <QTreeView>

#include <filesystem>
#include <string>
#include <vector>

class QFileSystemModel;
class QLabel;
class QSortFilterProxyModel;

namespace pontlet {

// One side of the manual window: a folder tree whose entries can be dragged
// out, and onto which files and folders can be dropped to be copied (into
// the folder under the pointer, else the pane's own folder).
//
// The tree is rooted at the folder's real path and shows nothing above it;
// links inside are listed, but one whose target lies outside cannot be
// expanded and nothing behind it is listed. A folder that does not exist
// (or cannot be resolved to a folder) shows a message instead of a tree,
// and nothing can be dropped on it.
class FolderPane : public QTreeView {
    Q_OBJECT
public:
    // `folder` as given, also for the message.
    FolderPane(const std::filesystem::path& folder, QWidget* parent = nullptr);

    // The folder's real path; empty when it does not exist.
    const std::string& Root() const { return m_root; }
    bool Exists() const { return !m_root.empty(); }
    // The text shown instead of the tree; empty while the tree shows.
    QString Message() const;
    // Whether drops are taken at all (the window refuses them while the
    // other side does not exist).
    void SetTakesDrops(bool takes);

    // The entries selected, each once.
    std::vector<std::filesystem::path> Selected() const;
    // The row of `path` in this pane; invalid when the pane does not show it.
    QModelIndex IndexOf(const std::filesystem::path& path) const;
    // The file system model under the pane's filter; null for a missing folder.
    QFileSystemModel* FileModel() const { return m_files; }

signals:
    void Dropped(const std::vector<std::filesystem::path>& sources, const std::filesystem::path& folder);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::filesystem::path FolderAt(const QPoint& pos) const;
    bool Takes(const QDropEvent* event) const;

    std::string m_root;
    bool m_takesDrops = true;
    QFileSystemModel* m_files = nullptr;
    QSortFilterProxyModel* m_shown = nullptr;
    QLabel* m_message = nullptr;
};

} // namespace pontlet
