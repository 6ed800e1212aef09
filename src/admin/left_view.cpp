#include "admin/left_view.h"

#include <QBitmap>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QIcon>
#include <QPixmap>
#include <QTimer>

#include "admin/frame_popup.h"
#include "admin/qt_text.h"
#include "document/browser_view.h"
#include "document/document_host.h"
#include "document/quillon_doc.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "framework/modal_seam.h"
#include "transfer/connect_plan.h"

namespace {

#include "admin/images/location_images.xpm"

constexpr int kLocationRole = Qt::UserRole + 1;

// Image 0 for an item, image 1 for the selected item: two 24-pixel images
// side by side, magenta for transparent.
QIcon LocationIcon()
{
    QPixmap strip(location_images);
    strip.setMask(strip.createMaskFromColor(QColor(255, 0, 255)));
    QIcon icon;
    icon.addPixmap(strip.copy(0, 0, 24, 24), QIcon::Normal);
    icon.addPixmap(strip.copy(24, 0, 24, 24), QIcon::Selected);
    return icon;
}

} // namespace

using namespace framework;

CLeftView::CLeftView(CQuillonDoc& document, CommandRouter& router, QWidget* parent)
    : QTreeWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("CLeftView"));
    header()->hide();
    setColumnCount(1);
    // Root items only: no lines, no expand buttons, no label editing, no drag.
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setEditTriggers(NoEditTriggers);
    setDragEnabled(false);
    setSelectionMode(SingleSelection);
    setIconSize(QSize(24, 24));
    document.AddView(this);
    router.AddView(this, this);
    // Selection, not the caret: a mouse click moves the caret before it
    // selects, while the keyboard selects before it moves the caret.
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(SelectedItem()); });
    RegisterCommands();
}

void CLeftView::OnInitialUpdate()
{
    RebuildTree(nullptr);
    m_document.RegisterLocationsView(*this);
}

void CLeftView::OnUpdate(View*, long, HintObject hintObject) { RebuildTree(hintObject.As<CTSAppDataItem>()); }

const CTSAppDataItem* CLeftView::LocationOf(const QTreeWidgetItem* item)
{
    return item ? static_cast<const CTSAppDataItem*>(item->data(0, kLocationRole).value<const void*>()) : nullptr;
}

const CTSAppDataItem* CLeftView::GetSelectedLocation() const
{
    if (m_document.m_selection.empty())
        return nullptr;
    return LocationOf(SelectedItem());
}

QTreeWidgetItem* CLeftView::SelectedItem() const
{
    QTreeWidgetItem* item = currentItem();
    return item && item->isSelected() ? item : selectedItems().value(0);
}

void CLeftView::ClearTree()
{
    // The items let go of their locations first, so that the notifications
    // the deletion raises find none.
    for (int i = 0; i < topLevelItemCount(); ++i)
        topLevelItem(i)->setData(0, kLocationRole, QVariant::fromValue<const void*>(nullptr));
    clear();
}

void CLeftView::RebuildTree(const CTSAppDataItem* hint)
{
    ClearTree();
    static const QIcon icon = LocationIcon();
    QTreeWidgetItem* chosen = nullptr;
    QTreeWidgetItem* hinted = nullptr;
    QList<QTreeWidgetItem*> items;
    for (CTSUserDataItem* entry : m_document.m_selection) {
        for (const CTSAppDataItem& location : entry->m_locations.m_items) {
            auto* item = new QTreeWidgetItem(QStringList(admin::ToQString(location.m_strName)));
            item->setData(0, kLocationRole, QVariant::fromValue<const void*>(&location));
            item->setIcon(0, icon);
            items << item;
            if (!chosen)
                chosen = item;
            // The last exact match: a name two entries share is listed twice.
            if (hint && location.m_strName == hint->m_strName)
                hinted = item;
        }
    }
    if (hinted)
        chosen = hinted;
    addTopLevelItems(items);
    if (chosen) {
        setCurrentItem(chosen);
        return;
    }
    if (m_document.m_pBrowserView)
        m_document.m_pBrowserView->ShowStartPage();
}

void CLeftView::OnSelectionChanged(QTreeWidgetItem* item)
{
    document::BrowserViewInterface* browser = m_document.m_pBrowserView;
    if (!browser) {
        PostRefreshTree();
        return;
    }
    const CTSAppDataItem* location = item && item->isSelected() ? LocationOf(item) : nullptr;
    if (!location || location->m_strServerLocation.empty())
        return;
    const QString folder = admin::ToQString(location->m_strServerLocation);
    browser->SetRootPath(folder);
    browser->NavigateTo(folder);
}

void CLeftView::PostRefreshTree()
{
    // Once the browser has registered, the rebuild points it at the item.
    // One refresh at a time, and none from a refresh: without a browser the
    // tree would otherwise rebuild itself forever.
    if (m_bRefreshPending || m_bRefreshing)
        return;
    m_bRefreshPending = true;
    QTimer::singleShot(0, this, [this] { OnRefreshTree(); });
}

void CLeftView::OnRefreshTree()
{
    m_bRefreshPending = false;
    m_bRefreshing = true;
    OnUpdate(nullptr, 0, {});
    m_bRefreshing = false;
}

void CLeftView::contextMenuEvent(QContextMenuEvent* event)
{
    admin::ShowFramePopup(*this, QStringLiteral("&Locations"), event->globalPos());
}

void CLeftView::TreeMessage(const QString& text)
{
    m_document.Seam().ShowMessage({text, QString(), MessageButtons::Ok, MessageIcon::None, this});
}

void CLeftView::OnAddLocation() { m_document.OnAddLocation(); }

void CLeftView::OnEditLocation()
{
    QTreeWidgetItem* item = SelectedItem();
    if (!item) {
        TreeMessage(QStringLiteral("Error finding item - No item was selected"));
        return;
    }
    const CTSAppDataItem* selected = LocationOf(item);
    if (m_document.m_selection.empty() || !selected) {
        TreeMessage(QStringLiteral("Error finding item"));
        return;
    }
    if (m_document.m_selection.size() > 1)
        m_document.Seam().Message(
            QStringLiteral("Note:\nYou have chosen to edit multiple users/groups.\nThe location edit dialog will be "
                           "populated with your last selection but\nany changes you make will apply to all of the "
                           "selected users/groups."));
    const auto edited = m_document.Seam().EditLocation(*selected, this);
    if (!edited)
        return;
    // Taken once: the loop below may free the location the item points at.
    const std::u16string oldName = selected->m_strName;
    const bool renamed = edited->m_strName != oldName;
    bool changed = false;
    for (CTSUserDataItem* entry : m_document.m_selection) {
        if (renamed && HasLocationNamed(*entry, edited->m_strName) && !AgreeToReplace(*entry, edited->m_strName))
            continue;  // No keeps both locations as they were
        if (renamed)
            entry->m_locations.Remove(oldName);
        if (entry->m_locations.Add(*edited, true) == 0)
            TreeMessage(QStringLiteral("Error editing item"));
        changed = true;
    }
    if (!changed)
        return;
    RebuildTree(&*edited);
    m_document.SetModifiedFlag();
}

bool CLeftView::HasLocationNamed(const CTSUserDataItem& entry, const std::u16string& name)
{
    for (const CTSAppDataItem& location : entry.m_locations.m_items) {
        if (location.m_strName == name)
            return true;
    }
    return false;
}

bool CLeftView::AgreeToReplace(const CTSUserDataItem& entry, const std::u16string& name)
{
    MessageRequest question{QStringLiteral("%1 already has a location named %2. Replace it?")
                                .arg(admin::ToQString(entry.m_strName), admin::ToQString(name)),
                            QString(), MessageButtons::YesNo, MessageIcon::Question, this};
    question.defaultAnswer = Answer::No;  // Enter loses nothing
    return m_document.Seam().ShowMessage(question) == Answer::Yes;
}

void CLeftView::OnRemoveLocation()
{
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    if (m_document.m_selection.size() > 1)
        m_document.Seam().Message(
            QStringLiteral("Note:\nYou have chosen to remove location from multiple users/groups,\nany changes you "
                           "make will apply to all of the selected users/groups."));
    if (m_document.Seam().Message(QStringLiteral("Are You sure you want to delete the selected locations?"),
                                  MessageButtons::YesNo) != Answer::Yes)
        return;
    const std::u16string name = admin::ToU16(item->text(0));
    for (CTSUserDataItem* entry : m_document.m_selection) {
        if (entry->m_locations.Remove(name) == 0)
            TreeMessage(QStringLiteral("Error removing item"));
    }
    RebuildTree(nullptr);
    m_document.SetModifiedFlag();
}

void CLeftView::OnSendToClient()
{
    if (CanSendToClient())
        AutoTransfer(true);
}

void CLeftView::OnSendToServer()
{
    if (CanSendToServer())
        AutoTransfer(false);
}

void CLeftView::AutoTransfer(bool serverToClient)
{
    // A copy: the transfer's dialog lets the window paint, and a rebuild
    // would free the location.
    const CTSAppDataItem location = *GetSelectedLocation();
    if (RefusedTransfer(location,
                        transfer::AutoTransferSkipReason(location.m_strServerLocation, location.m_strClientLocation)))
        return;
    m_document.Host().AutoTransfer(location.m_strServerLocation, location.m_strClientLocation, serverToClient,
                                   location.m_nOverwriteMode, location.m_bHideTransferWindow != 0);
}

void CLeftView::OnLaunchFileExplorer()
{
    if (!CanLaunchFileExplorer())
        return;
    const CTSAppDataItem location = *GetSelectedLocation();
    if (RefusedTransfer(location, transfer::ManualTransferSkipReason(location)))
        return;
    m_document.Host().ManualTransfer(location);
}

bool CLeftView::RefusedTransfer(const CTSAppDataItem& location, const std::string& reason)
{
    if (reason.empty())
        return false;
    // Without a word the user would wait for a transfer that never comes;
    // the reason reads as `quillonctl session --dry-run` prints it.
    m_document.Seam().ShowMessage({QStringLiteral("%1: transfer skipped (%2).")
                                       .arg(admin::ToQString(location.m_strName), QString::fromStdString(reason)),
                                   QString(), MessageButtons::Ok, MessageIcon::Warning, this});
    return true;
}

void CLeftView::RegisterCommands()
{
    CommandMap& map = Commands();
    map.On(ID_ADD_LOCATION, [this] { OnAddLocation(); });
    // The document's own rule: a selection and a selected row.
    map.OnUpdate(ID_ADD_LOCATION, [this](CommandState& state) { m_document.OnUpdateCommand(ID_ADD_LOCATION, state); });
    map.On(ID_REFRESH_TREE, [this] { OnUpdate(nullptr, 0, {}); });
    map.On(ID_HELP_FINDER, [this] { m_document.Host().OpenHelp(); });
    map.On(ID_HELP, [this] { m_document.Host().OpenHelp(); });
}
