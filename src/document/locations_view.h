#pragma once
#include "framework/view.h"

class CTSAppDataItem;

namespace document {

// What the document asks of the locations tree (CLeftView). The document
// forwards the location and synchronization commands here, so that they work
// whichever pane has the focus. A tree registers itself with
// CQuillonDoc::RegisterLocationsView and is forgotten when it goes away.
class LocationsViewInterface : public framework::View {
public:
    ~LocationsViewInterface() override;

    // The location of the selected item, when an item is selected, the
    // document's selection is not empty and the item references a location;
    // otherwise null.
    virtual const CTSAppDataItem* GetSelectedLocation() const = 0;

    virtual void OnEditLocation() = 0;
    virtual void OnRemoveLocation() = 0;
    virtual void OnSendToClient() = 0;
    virtual void OnSendToServer() = 0;
    virtual void OnLaunchFileExplorer() = 0;

    // The tree's enable rules. The defaults follow from GetSelectedLocation;
    // a tree with further conditions overrides them.
    virtual bool CanEditLocation() const;
    virtual bool CanRemoveLocation() const;
    virtual bool CanSendToClient() const;        // sync on, server to client allowed
    virtual bool CanSendToServer() const;        // sync on, client to server allowed
    virtual bool CanLaunchFileExplorer() const;  // sync on, manual transfer allowed
};

} // namespace document
