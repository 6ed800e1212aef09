#include "admin/user_group_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

#include "admin/frame_popup.h"
#include "admin/qt_text.h"
#include "admin/user_group_model.h"
#include "document/quillon_doc.h"
#include "framework/command_router.h"

namespace {

constexpr int kColumnWidth = 200;

} // namespace

CUserGroupView::CUserGroupView(CQuillonDoc& document, framework::CommandRouter& router, QWidget* parent)
    : QTreeView(parent), m_document(document), m_model(new admin::UserGroupModel(this))
{
    setObjectName(QStringLiteral("CUserGroupView"));
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->resizeSection(0, kColumnWidth);

    // Every change of a row's state, whether selection or focus, counts.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { OnItemChanged(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { OnItemChanged(); });

    document.AddView(this);
    router.AddView(this, this);
}

CUserGroupView::~CUserGroupView() = default;

void CUserGroupView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, {});
    m_document.RegisterUserGroupView(*this);
}

void CUserGroupView::OnUpdate(framework::View* sender, long, framework::HintObject)
{
    if (sender == this)
        return;
    const CTSUserData& data = m_document.m_userData;
    std::vector<admin::UserGroupModel::Row> rows;
    rows.reserve(data.GetSize());
    for (const auto& entry : data.m_items)
        rows.push_back({admin::ToQString(entry->m_strName), entry->m_nType == kEntryGroup});
    // Emptying the list is no change the document hears of.
    m_bRefilling = true;
    m_model->Reset(std::move(rows));
    m_bRefilling = false;
}

std::vector<int> CUserGroupView::SelectedRows() const
{
    // Ranges may overlap and come in any order; marks sort and merge them.
    const int count = m_model->rowCount();
    std::vector<char> selected(static_cast<std::size_t>(count), 0);
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = std::max(range.top(), 0); row <= range.bottom() && row < count; ++row)
            selected[static_cast<std::size_t>(row)] = 1;
    }
    std::vector<int> rows;
    for (int row = 0; row < count; ++row)
        if (selected[static_cast<std::size_t>(row)])
            rows.push_back(row);
    return rows;
}

bool CUserGroupView::HasSelectedRow() const { return selectionModel()->hasSelection(); }

std::vector<std::u16string> CUserGroupView::SelectedRowTexts() const
{
    std::vector<std::u16string> texts;
    for (int row : SelectedRows())
        texts.push_back(admin::ToU16(m_model->At(row).text));
    return texts;
}

CTSUserDataItem* CUserGroupView::EntryOfRow(int row) const
{
    // Row i shows entry i while the rows mirror the collection; the name
    // decides, so a row that no longer matches is looked up, and skipped
    // when its entry is gone.
    const std::u16string name = admin::ToU16(m_model->At(row).text);
    CTSUserData& data = m_document.m_userData;
    if (static_cast<std::size_t>(row) < data.GetSize() && data.GetAt(static_cast<std::size_t>(row)).m_strName == name)
        return &data.GetAt(static_cast<std::size_t>(row));
    return data.Find(name);
}

void CUserGroupView::OnItemChanged()
{
    if (m_bRefilling)
        return;
    m_document.m_selection.clear();
    const std::vector<int> rows = SelectedRows();
    // Nothing selected: the other views keep what they show.
    if (rows.empty())
        return;
    m_document.m_selection.reserve(rows.size());
    for (int row : rows) {
        if (CTSUserDataItem* entry = EntryOfRow(row))
            m_document.m_selection.push_back(entry);
    }
    m_document.UpdateAllViews(this);
}

QMenu* CUserGroupView::OnRightClick(const QPoint& globalPos)
{
    return admin::ShowFramePopup(*this, QStringLiteral("&Users and Groups"), globalPos);
}

void CUserGroupView::contextMenuEvent(QContextMenuEvent* event)
{
    // From the keyboard (menu key, Shift+F10) the popup opens at the current row.
    QPoint pos = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid())
        pos = viewport()->mapToGlobal(visualRect(currentIndex()).center());
    OnRightClick(pos);
    event->accept();
}

void CUserGroupView::focusInEvent(QFocusEvent* event)
{
    // Taking the focus gives no row the focus of its own: that would count
    // as a change of the rows and empty the selection the tree still shows.
    if (!currentIndex().isValid()) {
        QAbstractScrollArea::focusInEvent(event);
        viewport()->update();
        return;
    }
    QTreeView::focusInEvent(event);
}
