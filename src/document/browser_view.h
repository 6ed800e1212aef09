#pragma once
#include <QString>

#include "framework/view.h"

namespace document {

// What the document asks of the location browser (CQuillonView): the
// navigation commands, which the document alone routes (from whichever pane
// is active), and their enable rules, which the browser alone decides. The
// browser registers itself with CQuillonDoc::RegisterBrowserView; its
// OnUpdate does nothing (changes of the document never renavigate it).
class BrowserViewInterface : public framework::View {
public:
    ~BrowserViewInterface() override;

    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;
    // Back to the selected location's own folder (or address).
    virtual void GoHome() = 0;
    // The folder the user may not leave; set by the locations tree before it
    // navigates to a location.
    virtual void SetRootPath(const QString& path) = 0;
    // Shows a folder (or hands an address the browser cannot show to the
    // desktop); the root path is left as it is.
    virtual void NavigateTo(const QString& address) = 0;
    // The built-in page shown while no location is selected.
    virtual void ShowStartPage() = 0;

    // As the browser reports them: Back is offered only away from the root.
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    virtual bool CanGoHome() const = 0;
};

} // namespace document
