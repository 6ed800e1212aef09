#pragma once
#include <memory>

#include <QListView>
#include <QStackedWidget>
#include <QTreeView>

#include "browser/folder_delegate.h"
#include "browser/folder_item_view.h"
#include "browser/view_decor.h"

namespace browser {

class FolderModel;
class GuiPost;
class ThumbstripPreview;

using FolderListView = FolderItemView<QListView>;
using FolderDetailsView = FolderItemView<QTreeView>;

// The folder shown in one of the seven view styles (1 "Icon" to 7
// "Thumbstrip"). Only the view in use holds the model, so hidden views cost
// nothing while a large folder fills; the selection moves with the style.
class FolderViews : public QStackedWidget {
    Q_OBJECT
public:
    enum Style { Icon = 1, SmallIcon, List, Details, Thumbnail, Tile, Thumbstrip };

    explicit FolderViews(FolderModel& model, QWidget* parent = nullptr);
    ~FolderViews() override;

    // 1 to 7; any other value (-1: not set) leaves the style as it is.
    void setViewStyle(int style);
    int viewStyle() const { return m_style; }

    // The image drawn behind the rows, read on a worker thread; style -1, an
    // empty path or an image that cannot be read: none, without a message.
    void setBackground(const QString& imagePath, int style);
    const ViewDecor& decor() const { return m_decor; }
    // Shown instead of rows while the folder shows none; empty: the usual
    // "This folder is empty." text.
    void setPlaceholder(const QString& text);

    QAbstractItemView* activeView() const { return m_active; }
    FolderListView* listView() const { return m_list; }
    FolderDetailsView* detailsView() const { return m_details; }
    FolderListView* stripView() const { return m_strip; }
    ThumbstripPreview* stripPreview() const { return m_preview; }
    FolderDelegate* delegate() const { return m_delegate; }
    bool isItemView(const QObject* object) const;

    // The selected rows (name column), in row order; the current row first
    // is not promised.
    QModelIndexList selectedRows() const;
    qsizetype selectedCount() const;
    QModelIndex currentRow() const;
    void selectRow(const QModelIndex& index);

signals:
    void activated(const QModelIndex& index);
    void selectionChanged();
    // Files dropped onto the folder shown, or onto a folder in it.
    void filesDropped(const QStringList& paths, const QString& targetFolder, Qt::DropAction action);
    void backgroundChanged();

private:
    void activate(QAbstractItemView* view);
    void connectSelection(QAbstractItemView* view);
    void updatePreview();
    void onDrop(const QStringList& paths, const QModelIndex& onto, Qt::DropAction action);

    FolderModel& m_model;
    ViewDecor m_decor;
    FolderDelegate* m_delegate;
    FolderListView* m_list;
    FolderDetailsView* m_details;
    QWidget* m_stripPage;
    ThumbstripPreview* m_preview;
    FolderListView* m_strip;
    QAbstractItemView* m_active = nullptr;
    QByteArray m_headerState;
    int m_style = 0;
    std::shared_ptr<GuiPost> m_post;
    quint64 m_backgroundTicket = 0;
    QString m_backgroundPath;
    QImage m_backgroundImage;
};

} // namespace browser
