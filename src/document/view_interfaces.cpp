#include "config/records.h"
#include "document/browser_view.h"
#include "document/locations_view.h"
#include "document/quillon_doc.h"
#include "document/user_group_view_interface.h"

namespace document {

namespace {

// A pane that goes away must not stay the document's pane of its kind.
void Forget(const framework::View& view)
{
    if (auto* doc = dynamic_cast<CQuillonDoc*>(view.GetDocument()))
        doc->ForgetView(view);
}

} // namespace

LocationsViewInterface::~LocationsViewInterface() { Forget(*this); }
UserGroupViewInterface::~UserGroupViewInterface() { Forget(*this); }
BrowserViewInterface::~BrowserViewInterface() { Forget(*this); }

bool LocationsViewInterface::CanEditLocation() const { return GetSelectedLocation() != nullptr; }
bool LocationsViewInterface::CanRemoveLocation() const { return GetSelectedLocation() != nullptr; }

bool LocationsViewInterface::CanSendToClient() const
{
    const CTSAppDataItem* location = GetSelectedLocation();
    return location && location->m_bSyncEnabled && location->m_bServerToClient;
}

bool LocationsViewInterface::CanSendToServer() const
{
    const CTSAppDataItem* location = GetSelectedLocation();
    return location && location->m_bSyncEnabled && location->m_bClientToServer;
}

bool LocationsViewInterface::CanLaunchFileExplorer() const
{
    const CTSAppDataItem* location = GetSelectedLocation();
    return location && location->m_bSyncEnabled && location->m_bManualTransfer;
}

} // namespace document
