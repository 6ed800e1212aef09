#pragma once
#include <functional>

#include <QUrl>

#include "browser/examiner.h"
#include "browser/file_actions.h"
#include "platform/path_entries.h"

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
    // What a path names, asked on the view's examiner thread; may block.
    std::function<platform::PathAttributes(const std::string&)> pathAttributes = platform::GetPathAttributes;
    // When the view's examiner counts as hung, and how many it leaves behind.
    ExaminerOptions examiner;
};

// Opening goes to the application, which knows the face; deleting to the
// desktop's trash.
ViewServices SystemViewServices(document::DocumentHost& host);

} // namespace browser
