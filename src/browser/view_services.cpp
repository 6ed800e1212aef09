#include "browser/view_services.h"

#include "document/document_host.h"

namespace browser {

ViewServices SystemViewServices(document::DocumentHost& host)
{
    return {[&host](const QUrl& url) { host.OpenItem(url); }, SystemTrash()};
}

} // namespace browser
