#pragma once
#include <functional>

#include <QUrl>

#include "browser/file_actions.h"

namespace document {
class DocumentHost;
}

namespace browser {

// What the browser hands to the desktop. The program uses the system's; tests
// pass recorders.
struct ViewServices {
    // Opens a file or address with the program the face allows.
    std::function<void(const QUrl&)> openUrl;
    TrashFunction trash;
};

// Opening goes to the application, which knows the face; deleting to the
// desktop's trash.
ViewServices SystemViewServices(document::DocumentHost& host);

} // namespace browser
