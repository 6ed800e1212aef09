#pragma once
#include <QTreeView>

#include <filesystem>
#include <vector>

class QFileSystemModel;

namespace pontlet {

// One side of the manual window: a folder tree whose entries can be dragged
// out, and onto which files and folders can be dropped to be copied (into
// the folder under the pointer, else the pane's own folder).
class FolderPane : public QTreeView {
    Q_OBJECT
public:
    FolderPane(const std::filesystem::path& root, QWidget* parent = nullptr);

    const std::filesystem::path& Root() const { return m_root; }
    // The entries selected, each once.
    std::vector<std::filesystem::path> Selected() const;

signals:
    void Dropped(const std::vector<std::filesystem::path>& sources, const std::filesystem::path& folder);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::filesystem::path FolderAt(const QPoint& pos) const;

    std::filesystem::path m_root;
    QFileSystemModel* m_model = nullptr;
};

} // namespace pontlet
