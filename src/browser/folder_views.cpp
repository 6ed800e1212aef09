#include "browser/folder_views.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include <QHeaderView>
#include <QImageReader>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "browser/folder_model.h"
#include "browser/gui_post.h"
#include "browser/preview_loader.h"
#include "browser/thumbstrip_preview.h"

namespace browser {

namespace {

constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 48;
constexpr int kThumbnail = 96;
constexpr int kBatchSize = 500;

// How the list view looks in each style it serves.
struct ListLook {
    QListView::ViewMode mode;
    QListView::Flow flow;
    int icon;
    FolderDelegate::Mode delegate;
};

ListLook LookOf(int style)
{
    switch (style) {
    case FolderViews::Icon: return {QListView::IconMode, QListView::LeftToRight, kLargeIcon, FolderDelegate::Mode::Plain};
    case FolderViews::SmallIcon: return {QListView::ListMode, QListView::LeftToRight, kSmallIcon, FolderDelegate::Mode::Plain};
    case FolderViews::List: return {QListView::ListMode, QListView::TopToBottom, kSmallIcon, FolderDelegate::Mode::Plain};
    case FolderViews::Thumbnail: return {QListView::IconMode, QListView::LeftToRight, kThumbnail, FolderDelegate::Mode::Thumbnail};
    case FolderViews::Tile: return {QListView::IconMode, QListView::LeftToRight, kLargeIcon, FolderDelegate::Mode::Tile};
    default: return {QListView::IconMode, QListView::LeftToRight, kThumbnail, FolderDelegate::Mode::Thumbnail};
    }
}

// One size for every row of a style (see FolderDelegate).
QSize CellOf(const ListLook& look, int lineHeight)
{
    switch (look.delegate) {
    case FolderDelegate::Mode::Thumbnail: return {look.icon + 28, look.icon + lineHeight + 16};
    case FolderDelegate::Mode::Tile: return {250, std::max(look.icon, 3 * lineHeight) + 12};
    case FolderDelegate::Mode::Plain: break;
    }
    if (look.mode == QListView::IconMode)
        return {look.icon + 48, look.icon + 2 * lineHeight + 12};
    return {200, std::max(look.icon, lineHeight) + 4};
}

void ShapeList(QListView& view, FolderDelegate& delegate, const ListLook& look, bool wrapping)
{
    view.setViewMode(look.mode);
    // setViewMode resets these.
    view.setMovement(QListView::Static);
    view.setFlow(look.flow);
    view.setWrapping(wrapping);
    view.setResizeMode(QListView::Adjust);
    view.setIconSize(QSize(look.icon, look.icon));
    view.setWordWrap(look.mode == QListView::IconMode);
    const QSize cell = CellOf(look, view.fontMetrics().height());
    delegate.SetMode(look.delegate, view.iconSize(), cell);
    view.setGridSize(look.mode == QListView::IconMode ? cell : QSize());
    view.setSpacing(look.mode == QListView::IconMode ? 0 : 1);
}

} // namespace

FolderViews::FolderViews(FolderModel& model, QWidget* parent)
    : QStackedWidget(parent), m_model(model), m_post(std::make_shared<GuiPost>(this))
{
    m_decor.SetEmptyTest([this] { return m_model.rowCount() == 0 && !m_model.isLoading(); });

    m_list = new FolderListView(m_decor, this);
    m_list->setObjectName(QStringLiteral("folderList"));
    m_delegate = new FolderDelegate(m_list);
    m_list->setItemDelegate(m_delegate);

    m_details = new FolderDetailsView(m_decor, this);
    m_details->setObjectName(QStringLiteral("folderDetails"));
    m_details->setRootIsDecorated(false);
    m_details->setItemsExpandable(false);
    m_details->setUniformRowHeights(true);
    m_details->setAllColumnsShowFocus(true);
    m_details->setIconSize(QSize(kSmallIcon, kSmallIcon));
    m_details->header()->setStretchLastSection(false);
    m_details->header()->setSortIndicatorShown(true);

    m_stripPage = new QWidget(this);
    m_preview = new ThumbstripPreview(m_model.previews(), m_stripPage);
    m_preview->setObjectName(QStringLiteral("thumbstripPreview"));
    m_strip = new FolderListView(m_decor, m_stripPage);
    m_strip->setObjectName(QStringLiteral("thumbstrip"));
    auto* stripDelegate = new FolderDelegate(m_strip);
    m_strip->setItemDelegate(stripDelegate);
    ShapeList(*m_strip, *stripDelegate, LookOf(Thumbstrip), false);
    m_strip->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_strip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_strip->setFixedHeight(m_strip->gridSize().height() + m_strip->horizontalScrollBar()->sizeHint().height() + 2 * m_strip->frameWidth());
    auto* stripLayout = new QVBoxLayout(m_stripPage);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->setSpacing(0);
    stripLayout->addWidget(m_preview, 1);
    stripLayout->addWidget(m_strip);

    for (QListView* view : {static_cast<QListView*>(m_list), static_cast<QListView*>(m_strip)}) {
        view->setUniformItemSizes(true);
        view->setLayoutMode(QListView::Batched);
        view->setBatchSize(kBatchSize);
        view->setSelectionRectVisible(true);
    }
    addWidget(m_list);
    addWidget(m_details);
    addWidget(m_stripPage);

    for (auto* view : {static_cast<QAbstractItemView*>(m_list), static_cast<QAbstractItemView*>(m_details),
                       static_cast<QAbstractItemView*>(m_strip)})
        connect(view, &QAbstractItemView::activated, this, &FolderViews::activated);
    auto dropHandler = [this](const QStringList& paths, const QModelIndex& onto, Qt::DropAction action) {
        OnDrop(paths, onto, action);
    };
    m_list->SetDropHandler(dropHandler);
    m_details->SetDropHandler(dropHandler);
    m_strip->SetDropHandler(dropHandler);
    connect(&m_model, &FolderModel::modelReset, this, [this] { UpdatePreview(); });
    connect(&m_model, &FolderModel::layoutChanged, this, [this] { UpdatePreview(); });
    connect(&m_model, &FolderModel::rowsInserted, this, [this] { UpdatePreview(); });
    SetViewStyle(Details);
}

FolderViews::~FolderViews()
{
    m_model.previews().cancelReads(this);
    m_post->detach();
}

bool FolderViews::IsItemView(const QObject* object) const
{
    return object == m_list || object == m_details || object == m_strip;
}

void FolderViews::SetViewStyle(int style)
{
    if (style < Icon || style > Thumbstrip || style == m_style)
        return;
    m_style = style;
    if (style == Details) {
        Activate(m_details);
    } else if (style == Thumbstrip) {
        m_model.setPreviewSize(QSize(kThumbnail, kThumbnail));
        Activate(m_strip);
    } else {
        const ListLook look = LookOf(style);
        if (look.delegate == FolderDelegate::Mode::Thumbnail)
            m_model.setPreviewSize(QSize(kThumbnail, kThumbnail));
        ShapeList(*m_list, *m_delegate, look, true);
        Activate(m_list);
        m_list->doItemsLayout();
    }
    UpdatePreview();
}

void FolderViews::Activate(QAbstractItemView* view)
{
    const bool hadFocus = m_active && m_active->hasFocus();
    if (view == m_active) {
        setCurrentWidget(view == m_strip ? m_stripPage : view);
        return;
    }
    QItemSelection selection;
    QModelIndex current;
    if (m_active) {
        selection = m_active->selectionModel()->selection();
        current = m_active->currentIndex().siblingAtColumn(0);
        if (m_active == m_details)
            m_headerState = m_details->header()->saveState();
        QItemSelectionModel* old = m_active->selectionModel();
        m_active->setModel(nullptr);
        delete old;
    }
    QItemSelectionModel* unused = view->selectionModel();
    view->setModel(&m_model);
    delete unused;
    if (view == m_details) {
        QHeaderView* header = m_details->header();
        if (!m_headerState.isEmpty()) {
            header->restoreState(m_headerState);
        } else {
            const int widths[] = {260, 90, 160, 150};
            for (int c = 0; c < FolderModel::ColumnCount; ++c)
                header->resizeSection(c, widths[c]);
        }
        header->setSortIndicator(m_model.sortColumn(), m_model.sortOrder());
        m_details->setSortingEnabled(true);
    }
    m_active = view;
    ConnectSelection(view);
    if (current.isValid())
        view->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    if (!selection.isEmpty())
        view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setCurrentWidget(view == m_strip ? m_stripPage : view);
    if (hadFocus)
        view->setFocus();
}

void FolderViews::ConnectSelection(QAbstractItemView* view)
{
    QItemSelectionModel* selection = view->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, [this] {
        UpdatePreview();
        emit selectionChanged();
    });
    connect(selection, &QItemSelectionModel::currentChanged, this, [this] { UpdatePreview(); });
}

void FolderViews::UpdatePreview()
{
    if (m_style != Thumbstrip)
        return;
    QModelIndex index = CurrentRow();
    const QModelIndexList selected = SelectedRows();
    if (!selected.isEmpty() && !selected.contains(index))
        index = selected.first();
    // Nothing chosen yet: the first entry, so that the picture is never blank.
    if (!index.isValid())
        index = m_model.index(0, 0);
    if (!index.isValid()) {
        m_preview->Clear();
        return;
    }
    const QString name = index.data(Qt::DisplayRole).toString();
    m_preview->ShowItem(m_model.filePath(index), name, index.data(Qt::DecorationRole).value<QIcon>(),
                        !m_model.isDir(index) && PreviewLoader::canPreview(name));
}

QModelIndexList FolderViews::SelectedRows() const
{
    QModelIndexList rows;
    if (!m_active || !m_active->selectionModel())
        return rows;
    for (const QModelIndex& index : m_active->selectionModel()->selectedIndexes())
        if (index.column() == 0)
            rows << index;
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return rows;
}

qsizetype FolderViews::SelectedCount() const
{
    // From the ranges, not the indexes: Ctrl+A in a folder of 100,000 files
    // must not build a list of them on every change.
    qsizetype count = 0;
    if (m_active && m_active->selectionModel())
        for (const QItemSelectionRange& range : m_active->selectionModel()->selection())
            if (range.left() == 0)
                count += range.height();
    return count;
}

QModelIndex FolderViews::CurrentRow() const
{
    return m_active ? m_active->currentIndex().siblingAtColumn(0) : QModelIndex();
}

void FolderViews::SelectRow(const QModelIndex& index)
{
    if (!m_active || !index.isValid())
        return;
    m_active->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_active->scrollTo(index);
}

void FolderViews::SetPlaceholder(const QString& text)
{
    m_decor.SetPlaceholder(text);
    if (m_active)
        m_active->viewport()->update();
}

void FolderViews::SetBackground(const QString& imagePath, int style)
{
    auto apply = [this](const QImage& image, int imageStyle) {
        m_decor.SetImage(image, imageStyle);
        if (m_active)
            m_active->viewport()->update();
        emit backgroundChanged();
    };
    if (style < 0 || imagePath.isEmpty()) {
        ++m_backgroundTicket;
        m_backgroundPath.clear();
        m_backgroundImage = QImage();
        apply({}, -1);
        return;
    }
    if (imagePath == m_backgroundPath && !m_backgroundImage.isNull()) {
        apply(m_backgroundImage, style);
        return;
    }
    const quint64 ticket = ++m_backgroundTicket;
    m_backgroundPath = imagePath;
    m_backgroundImage = QImage();
    m_decor.SetImage({}, -1);
    // On the previews' pool: the image may sit on a share that hangs. The
    // administrator chose it, so a link at its name is followed.
    auto post = m_post;
    m_model.previews().cancelReads(this);
    m_model.previews().read(this, imagePath, [this, post, ticket, imagePath, style, apply] {
        QImage image = PreviewLoader::readImage(imagePath, QSize(), true);
        post->post([this, ticket, style, apply, image = std::move(image)] {
            if (ticket != m_backgroundTicket)
                return;
            m_backgroundImage = image;
            apply(image, style);
        });
    });
}

void FolderViews::OnDrop(const QStringList& paths, const QModelIndex& onto, Qt::DropAction action)
{
    const QModelIndex row = onto.siblingAtColumn(0);
    const QString target = row.isValid() && m_model.isDir(row) ? m_model.filePath(row) : m_model.folder();
    if (target.isEmpty())
        return;
    // After the drag has ended: the questions a copy may ask must not run
    // inside the drag's own event loop.
    QTimer::singleShot(0, this, [this, paths, target, action] { emit filesDropped(paths, target, action); });
}

} // namespace browser
