#include "browser/folder_model.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cerrno>
#include <mutex>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeData>
#include <QSet>
#include <QThreadPool>
#include <QUrl>

#include "browser/folder_diff.h"
#include "browser/gui_post.h"
#include "browser/preview_loader.h"
#include "browser/row_order.h"
#include "browser/type_table.h"
#include "platform/mounts.h"

namespace browser {

namespace {

// Rows of a listing are held back this long so that a small folder appears
// at once in its order instead of filling unsorted and then jumping.
constexpr int kHoldMs = 30;
// Changes on disk often come in bursts (a copy, an unpacked archive); a
// folder that takes long to list is listed again less often.
constexpr int kRefreshDelayMs = 250;
constexpr int kMaxRefreshDelayMs = 5000;

std::vector<FileEntry> EntriesOf(const auto& rows)
{
    std::vector<FileEntry> out;
    out.reserve(rows.size());
    for (const auto& r : rows)
        out.push_back(r.entry);
    return out;
}

} // namespace

// One run of the lister. The worker thread keeps it alive; the model forgets
// it when it starts another.
struct FolderModel::Listing {
    quint64 generation = 0;
    QString folder;
    bool refresh = false;
    bool showHidden = false;
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::vector<std::vector<FileEntry>> batches;
    bool wakePosted = false;
};

FolderModel::FolderModel(std::unique_ptr<FolderLister> lister, QObject* parent, Examiner::Options examiner)
    : QAbstractTableModel(parent),
      m_lister(std::move(lister)),
      m_post(std::make_shared<GuiPost>(this)),
      m_types(std::make_unique<TypeTable>()),
      m_previews(std::make_unique<PreviewLoader>()),
      m_examiner(std::make_unique<Examiner>(std::move(examiner)))
{
    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(kHoldMs);
    connect(&m_showTimer, &QTimer::timeout, this, &FolderModel::showPending);
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(kRefreshDelayMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
        if (!m_refreshGate || m_refreshGate(m_folder))
            refresh();
    });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_refreshTimer.start(); });
    connect(m_previews.get(), &PreviewLoader::ready, this, [this](const QString& path) {
        const QFileInfo info(path);
        if (info.path() != m_folder && QDir(m_folder).filePath(info.fileName()) != path)
            return;
        const QModelIndex index = indexOfName(info.fileName());
        if (!index.isValid())
            return;
        emit dataChanged(index, index, {PreviewRole});
        emit previewReady(index);
    });
}

FolderModel::~FolderModel()
{
    if (m_listing)
        m_listing->cancelled = true;
    m_post->detach();
}

void FolderModel::setFolder(const QString& path)
{
    if (m_listing)
        m_listing->cancelled = true;
    m_listing.reset();
    clearRows();
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_refreshTimer.stop();
    m_previews->clear();
    m_folder = path;
    if (path.isEmpty()) {
        if (m_loading) {
            m_loading = false;
            emit loadingFinished();
        }
        return;
    }
    startListing(false);
}

QString FolderModel::folder() const
{
    return m_folder;
}

void FolderModel::refresh()
{
    if (m_folder.isEmpty())
        return;
    if (m_loading) {
        setFolder(m_folder);
        return;
    }
    if (m_refreshing) {
        m_refreshAgain = true;
        return;
    }
    startListing(true);
}

bool FolderModel::isLoading() const
{
    return m_loading;
}

void FolderModel::setPreviewSize(QSize size)
{
    if (size == m_previews->size() || size.isEmpty())
        return;
    m_previews->setSize(size);
    if (!m_rows.empty())
        emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn), {PreviewRole});
}

void FolderModel::setShowHidden(bool show)
{
    if (show == m_showHidden)
        return;
    m_showHidden = show;
    if (!m_folder.isEmpty())
        refresh();
}

void FolderModel::clearRows()
{
    m_showTimer.stop();
    m_holding = false;
    ++m_generation;
    ++m_sortGeneration;
    m_pending.clear();
    m_refreshing = false;
    m_refreshAgain = false;
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    ++m_layoutVersion;
    m_sorted = true;
    m_ranksKnown = false;
    endResetModel();
}

void FolderModel::startListing(bool asRefresh)
{
    if (m_listing)
        m_listing->cancelled = true;
    auto listing = std::make_shared<Listing>();
    listing->generation = ++m_generation;
    listing->folder = m_folder;
    listing->refresh = asRefresh;
    listing->showHidden = m_showHidden;
    m_listing = listing;
    m_listingClock.start();
    if (asRefresh) {
        m_refreshing = true;
        m_refreshAgain = false;
    } else {
        m_loading = true;
        m_pending.clear();
        m_holding = true;
        m_showTimer.start();
        emit loadingStarted();
    }
    auto lister = m_lister;
    auto post = m_post;
    auto worker = [this, lister, post, listing](const Examiner::Alive& alive) {
        const quint64 generation = listing->generation;
        auto cancelled = [&listing, &alive] {
            alive();
            return listing->cancelled.load();
        };
        // Left behind by a newer listing before it began.
        if (cancelled())
            return;
        auto batch = [&](std::vector<FileEntry>&& rows) {
            if (cancelled())
                return;
            if (!listing->showHidden)
                std::erase_if(rows, [](const FileEntry& e) { return e.isHidden; });
            std::lock_guard<std::mutex> lock(listing->mutex);
            listing->batches.push_back(std::move(rows));
            if (!listing->wakePosted && !listing->refresh) {
                listing->wakePosted = true;
                post->post([this, generation] { takeBatches(generation); });
            }
        };
        const int error = lister->List(listing->folder, batch, cancelled);
        if (!cancelled())
            post->post([this, generation, error] { finishListing(generation, error); });
    };
    const QString share = QFile::decodeName(QByteArray::fromStdString(platform::MountPointOf(QFile::encodeName(m_folder).toStdString())));
    m_examiner->run(share, std::move(worker), [this, listing] {
        // Given up: should the share answer after all, the rows are dropped.
        listing->cancelled = true;
        finishListing(listing->generation, ETIMEDOUT);
    });
}

void FolderModel::takeBatches(quint64 generation)
{
    if (!m_listing || m_listing->generation != generation)
        return;
    std::vector<std::vector<FileEntry>> batches;
    {
        std::lock_guard<std::mutex> lock(m_listing->mutex);
        batches.swap(m_listing->batches);
        m_listing->wakePosted = false;
    }
    for (auto& b : batches)
        for (auto& e : b)
            m_pending.push_back({std::move(e), 0, 0});
    if (!m_holding)
        showPending();
}

void FolderModel::showPending()
{
    m_holding = false;
    if (m_pending.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(m_pending.size()) - 1);
    if (m_rows.empty())
        m_rows.swap(m_pending);
    else
        std::move(m_pending.begin(), m_pending.end(), std::back_inserter(m_rows));
    m_pending.clear();
    ++m_layoutVersion;
    m_ranksKnown = false;
    if (m_rows.size() > 1)
        m_sorted = false;
    endInsertRows();
}

void FolderModel::finishListing(quint64 generation, int error)
{
    if (!m_listing || m_listing->generation != generation)
        return;
    std::shared_ptr<Listing> listing = std::move(m_listing);
    m_refreshTimer.setInterval(int(std::clamp<qint64>(m_listingClock.elapsed(), kRefreshDelayMs, kMaxRefreshDelayMs)));
    std::vector<std::vector<FileEntry>> batches;
    {
        std::lock_guard<std::mutex> lock(listing->mutex);
        batches.swap(listing->batches);
    }
    if (error != 0) {
        const bool wasLoading = m_loading;
        clearRows();
        m_loading = false;
        if (wasLoading)
            emit loadingFinished();
        emit loadFailed(error, listing->folder);
        return;
    }
    if (listing->refresh) {
        std::vector<FileEntry> fresh;
        for (auto& b : batches)
            std::move(b.begin(), b.end(), std::back_inserter(fresh));
        auto shown = EntriesOf(m_rows);
        const bool sorted = m_sorted;
        const int column = m_sortColumn;
        const Qt::SortOrder order = m_sortOrder;
        const quint64 version = m_layoutVersion;
        auto post = m_post;
        QThreadPool::globalInstance()->start([=, this, shown = std::move(shown), fresh = std::move(fresh)]() mutable {
            RowOrder rowOrder(column, order);
            auto diff = std::make_shared<FolderDiff>(DiffFolder(shown, std::move(fresh), sorted ? &rowOrder : nullptr));
            post->post([this, generation, version, diff] { applyDiff(generation, version, *diff); });
        });
        return;
    }
    for (auto& b : batches)
        for (auto& e : b)
            m_pending.push_back({std::move(e), 0, 0});
    if (!m_holding) {
        showPending();
        finishLoading();
        return;
    }
    // The whole folder came while rows were held back: show it sorted at once.
    m_showTimer.stop();
    sortInWorker(m_pending, [this, generation, column = m_sortColumn, sortOrder = m_sortOrder](
                                std::vector<int>& order, std::vector<quint32>& nameRanks) {
        if (generation != m_generation || !m_holding || order.size() != m_pending.size())
            return;
        applyOrder(m_pending, order, nameRanks);
        // The user may have chosen another column meanwhile; then sort again.
        m_sorted = column == m_sortColumn && sortOrder == m_sortOrder;
        m_holding = false;
        if (!m_pending.empty()) {
            beginInsertRows({}, 0, int(m_pending.size()) - 1);
            m_rows.swap(m_pending);
            m_pending.clear();
            ++m_layoutVersion;
            endInsertRows();
        }
        finishLoading();
    });
}

void FolderModel::finishLoading()
{
    m_loading = false;
    m_watcher.addPath(m_folder);
    emit loadingFinished();
    if (!m_sorted)
        requestSort();
}

void FolderModel::applyDiff(quint64 generation, quint64 layoutVersion, FolderDiff& diff)
{
    if (generation != m_generation)
        return;
    if (layoutVersion != m_layoutVersion) {
        // Rows moved while the listing ran: the diff no longer fits them.
        m_refreshing = false;
        refresh();
        return;
    }
    if (!diff.changed.empty()) {
        int low = INT_MAX, high = -1;
        for (auto& [row, entry] : diff.changed) {
            m_rows[row].entry = std::move(entry);
            low = std::min(low, row);
            high = std::max(high, row);
        }
        emit dataChanged(index(low, 0), index(high, ColumnCount - 1));
        if (m_sortColumn != NameColumn)
            m_sorted = false;
    }
    for (int i = int(diff.removed.size()) - 1; i >= 0;) {
        int last = diff.removed[i];
        int first = last;
        while (i > 0 && diff.removed[i - 1] == first - 1)
            first = diff.removed[--i];
        --i;
        beginRemoveRows({}, first, last);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
    }
    for (auto& [at, entry] : diff.added) {
        const int row = at < 0 ? rowCount() : at;
        beginInsertRows({}, row, row);
        m_rows.insert(m_rows.begin() + row, Row{std::move(entry), 0, 0});
        m_ranksKnown = false;
        endInsertRows();
        if (at < 0)
            m_sorted = false;
    }
    ++m_layoutVersion;
    m_refreshing = false;
    if (!m_sorted)
        requestSort();
    if (m_refreshAgain)
        refresh();
}

void FolderModel::sortInWorker(const std::vector<Row>& rows,
                               std::function<void(std::vector<int>&, std::vector<quint32>&)> then)
{
    std::vector<quint32> ranks;
    if (m_ranksKnown) {
        ranks.reserve(rows.size());
        for (const Row& r : rows)
            ranks.push_back(r.nameRank);
    }
    auto post = m_post;
    const int column = m_sortColumn;
    const Qt::SortOrder order = m_sortOrder;
    QThreadPool::globalInstance()->start(
        [post, column, order, entries = EntriesOf(rows), ranks = std::move(ranks), then = std::move(then)] {
            RowOrder rowOrder(column, order);
            auto sorted = std::make_shared<RowOrder::Sorted>(rowOrder.sorted(entries, ranks.empty() ? nullptr : &ranks));
            post->post([then, sorted] { then(sorted->order, sorted->nameRanks); });
        });
}

void FolderModel::applyOrder(std::vector<Row>& rows, const std::vector<int>& order, const std::vector<quint32>& nameRanks)
{
    if (nameRanks.size() == rows.size()) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i].nameRank = nameRanks[i];
        m_ranksKnown = true;
    }
    std::vector<Row> sorted;
    sorted.reserve(order.size());
    for (int i : order)
        sorted.push_back(std::move(rows[i]));
    rows.swap(sorted);
}

void FolderModel::requestSort()
{
    const quint64 generation = ++m_sortGeneration;
    const quint64 version = m_layoutVersion;
    sortInWorker(m_rows, [this, generation, version, column = m_sortColumn, sortOrder = m_sortOrder](
                             std::vector<int>& order, std::vector<quint32>& nameRanks) {
        applySort(generation, version, order, nameRanks);
        if (column != m_sortColumn || sortOrder != m_sortOrder)
            m_sorted = false;
    });
}

void FolderModel::applySort(quint64 sortGeneration, quint64 layoutVersion, const std::vector<int>& order,
                            const std::vector<quint32>& nameRanks)
{
    if (sortGeneration != m_sortGeneration)
        return;
    if (layoutVersion != m_layoutVersion || order.size() != m_rows.size()) {
        // Rows came or went meanwhile; the end of that change sorts again.
        if (!m_loading && !m_refreshing)
            requestSort();
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    for (int k = 0; k < int(order.size()); ++k)
        newRowOf[order[k]] = k;
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from)
        to.append(index(newRowOf[i.row()], i.column()));
    changePersistentIndexList(from, to);
    applyOrder(m_rows, order, nameRanks);
    ++m_layoutVersion;
    m_sorted = true;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FolderModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    if (column == m_sortColumn && order == m_sortOrder && m_sorted)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    m_sorted = m_rows.size() < 2;
    if (!m_sorted && !m_loading)
        requestSort();
}

QString FolderModel::filePath(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    return pathOf(m_rows[index.row()]);
}

QString FolderModel::pathOf(const Row& row) const
{
    return m_folder.endsWith(QLatin1Char('/')) ? m_folder + row.entry.name : m_folder + QLatin1Char('/') + row.entry.name;
}

bool FolderModel::isDir(const QModelIndex& index) const
{
    return index.isValid() && index.row() < rowCount() && m_rows[index.row()].entry.isDir;
}

QModelIndex FolderModel::indexOfName(const QString& name) const
{
    for (int i = 0; i < rowCount(); ++i)
        if (m_rows[i].entry.name == name)
            return index(i, NameColumn);
    return {};
}

quint16 FolderModel::typeOf(const Row& row) const
{
    if (row.type == 0)
        row.type = m_types->idFor(row.entry);
    return row.type;
}

int FolderModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FolderModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FolderModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = m_rows[index.row()];
    const FileEntry& e = row.entry;
    const QLocale locale;
    // As the desktop's details view has it: whole kilobytes, rounded up.
    auto sizeText = [&] { return e.isDir ? QString() : tr("%1 KB").arg(locale.toString((e.size + 1023) / 1024)); };
    auto dateText = [&] { return locale.toString(QDateTime::fromMSecsSinceEpoch(e.mtimeMs), QLocale::ShortFormat); };
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case NameColumn: return e.name;
        case SizeColumn: return sizeText();
        case TypeColumn: return m_types->text(typeOf(row));
        case ModifiedColumn: return dateText();
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() == NameColumn)
            return m_types->icon(typeOf(row));
        return {};
    case Qt::ToolTipRole: {
        QString tip = tr("Type: %1").arg(m_types->text(typeOf(row)));
        if (!e.isDir)
            tip += QLatin1Char('\n') + tr("Size: %1").arg(sizeText());
        return tip + QLatin1Char('\n') + tr("Date Modified: %1").arg(dateText());
    }
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case FilePathRole:
        return pathOf(row);
    case IsDirRole:
        return e.isDir;
    case MimeTypeRole:
        return m_types->mimeName(typeOf(row));
    case PreviewRole:
        if (e.isDir || !PreviewLoader::canPreview(e.name))
            return {};
        if (QImage image = m_previews->preview(pathOf(row), e.mtimeMs, e.size); !image.isNull())
            return image;
        return {};
    }
    return {};
}

QVariant FolderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment((section == SizeColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn: return tr("Name");
    case SizeColumn: return tr("Size");
    case TypeColumn: return tr("Type");
    case ModifiedColumn: return tr("Date Modified");
    }
    return {};
}

Qt::ItemFlags FolderModel::flags(const QModelIndex& index) const
{
    // Dropping on empty space drops into the folder shown.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    if (isDir(index))
        f |= Qt::ItemIsDropEnabled;
    if (index.column() == NameColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool FolderModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != NameColumn || index.row() >= rowCount())
        return false;
    const QString name = value.toString();
    if (name != m_rows[index.row()].entry.name)
        emit renameRequested(index, name);
    // The row keeps its name until the folder shows the change.
    return false;
}

QStringList FolderModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData* FolderModel::mimeData(const QModelIndexList& indexes) const
{
    QList<QUrl> urls;
    QSet<int> seen;
    for (const QModelIndex& i : indexes) {
        if (!i.isValid() || i.row() >= rowCount() || seen.contains(i.row()))
            continue;
        seen.insert(i.row());
        urls.append(QUrl::fromLocalFile(pathOf(m_rows[i.row()])));
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions FolderModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions FolderModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

} // namespace browser
