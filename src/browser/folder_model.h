#pragma once
#include <functional>
#include <memory>
#include <vector>

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QSize>
#include <QTimer>

#include "browser/examiner.h"
#include "browser/file_entry.h"
#include "browser/folder_lister.h"

namespace browser {

struct FolderDiff;
class GuiPost;
class PreviewLoader;
class TypeTable;

// A flat model of one folder. The folder is listed on the examiner's thread
// and rows arrive in batches; sorting runs on a worker too. Type, icon and
// preview are looked up only when the view asks for a row, and then kept.
class FolderModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, SizeColumn, TypeColumn, ModifiedColumn, ColumnCount };
    enum Role { FilePathRole = Qt::UserRole + 1, IsDirRole, PreviewRole /* QImage, async */, MimeTypeRole };

    explicit FolderModel(std::unique_ptr<FolderLister> lister = CreateSystemFolderLister(), QObject* parent = nullptr,
                         Examiner::Options examiner = {});
    ~FolderModel() override;

    // Clears the rows and lists `path` on the examiner's thread. A listing
    // still running (a share that hangs) is abandoned, never waited for; while
    // one hangs on the share of `path`, the listing fails with ETIMEDOUT.
    void setFolder(const QString& path);
    QString folder() const;
    // Lists the current folder again and applies only the differences, so that
    // selection and scroll position stay where they can.
    void refresh();
    // Asked before a change on disk lists the folder again; false keeps the
    // model from listing it (the owner decides what is shown instead).
    void setRefreshGate(std::function<bool(const QString& folder)> gate) { m_refreshGate = std::move(gate); }

    QString filePath(const QModelIndex& index) const;
    bool isDir(const QModelIndex& index) const;
    QModelIndex indexOfName(const QString& name) const;
    bool isLoading() const;
    // Previews are made to fit this size (the default is 128 x 128).
    void setPreviewSize(QSize size);
    // Every picture of the view is read through it, on its pool.
    PreviewLoader& previews() const { return *m_previews; }
    // The thread that examines folders for the view of this model.
    Examiner& examiner() { return *m_examiner; }
    // Hidden entries (names starting with a dot) are left out unless shown.
    void setShowHidden(bool show);

    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Folders first, then the column; names compare as people read them
    // ("file2" before "file10"). Runs on a worker; rows move when it is done.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

signals:
    // The user finished editing a name; the view renames the file (the model
    // shows the new name once the folder changes).
    void renameRequested(const QModelIndex& index, const QString& newName);
    void loadingStarted();
    void loadingFinished();
    void loadFailed(int errorNumber, const QString& folder);
    void previewReady(const QModelIndex& index);

private:
    struct Row {
        FileEntry entry;
        mutable quint16 type = 0;   // index into the type table; 0 until asked for
        quint32 nameRank = 0;       // place among the names, see m_ranksKnown
    };
    struct Listing;

    void startListing(bool asRefresh);
    void takeBatches(quint64 generation);
    void finishListing(quint64 generation, int error);
    void showPending();
    void finishLoading();
    void sortInWorker(const std::vector<Row>& rows, std::function<void(std::vector<int>&, std::vector<quint32>&)> then);
    void applyOrder(std::vector<Row>& rows, const std::vector<int>& order, const std::vector<quint32>& nameRanks);
    void requestSort();
    void applySort(quint64 sortGeneration, quint64 layoutVersion, const std::vector<int>& order,
                   const std::vector<quint32>& nameRanks);
    void applyDiff(quint64 generation, quint64 layoutVersion, FolderDiff& diff);
    void clearRows();
    quint16 typeOf(const Row& row) const;
    QString pathOf(const Row& row) const;

    std::shared_ptr<FolderLister> m_lister;
    std::shared_ptr<GuiPost> m_post;
    std::shared_ptr<Listing> m_listing;
    std::unique_ptr<TypeTable> m_types;
    std::unique_ptr<PreviewLoader> m_previews;
    std::unique_ptr<Examiner> m_examiner;
    std::vector<Row> m_rows;
    std::vector<Row> m_pending;       // listed, not shown yet (the first moments of a listing)
    QString m_folder;
    QFileSystemWatcher m_watcher;
    QTimer m_showTimer;
    QTimer m_refreshTimer;
    std::function<bool(const QString&)> m_refreshGate;
    QElapsedTimer m_listingClock;
    quint64 m_generation = 0;
    quint64 m_layoutVersion = 0;      // changes whenever rows move, come or go
    quint64 m_sortGeneration = 0;
    int m_sortColumn = NameColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorted = true;             // m_rows are in the sort order
    bool m_ranksKnown = false;        // every row's nameRank is set
    bool m_loading = false;
    bool m_holding = false;          // rows wait in m_pending
    bool m_refreshing = false;
    bool m_refreshAgain = false;
    bool m_showHidden = false;
};

} // namespace browser
