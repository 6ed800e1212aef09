#include "browser/view_services.h"

#include "document/document_host.h"

namespace browser {

ViewServices systemViewServices(document::DocumentHost& host)
{
    ViewServices services;
    services.openUrl = [&host](const QUrl& url) { host.OpenItem(url); };
    services.trash = systemTrash();
    return services;
}

} // namespace browser
