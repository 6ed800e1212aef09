#include "browser/view_services.h"

#include "document/document_host.h"

namespace browser {

ViewServices SystemViewServices(document::DocumentHost& host)
{
    ViewServices services;
    services.openUrl = [&host](const QUrl& url) { host.OpenItem(url); };
    services.trash = SystemTrash();
    return services;
}

} // namespace browser
