#include "browser/view_services.h"

#include <QDesktopServices>

namespace browser {

ViewServices SystemViewServices()
{
    return {[](const QUrl& url) { QDesktopServices::openUrl(url); }, SystemTrash()};
}

} // namespace browser
