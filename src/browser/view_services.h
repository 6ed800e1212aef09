#pragma once
#include <functional>

#include <QUrl>

#include "browser/file_actions.h"

namespace browser {

// What the browser hands to the desktop. The program uses the system's; tests
// pass recorders.
struct ViewServices {
    // Opens a file or address with the desktop's default program.
    std::function<void(const QUrl&)> openUrl;
    TrashFunction trash;
};

ViewServices SystemViewServices();

} // namespace browser
