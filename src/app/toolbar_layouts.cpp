#include "app/toolbar_layouts.h"

#include "framework/command_ids.h"

namespace app {

using namespace framework;

QString ToolBarLayout::ImagePath() const { return QStringLiteral(":/toolbars/toolbar%1.xpm").arg(resourceId); }

const ToolBarLayout& NavigationBarLayout()
{
    static const ToolBarLayout layout{135,
                                  QSize(22, 20),
                                  {{ID_GO_BACK, "Back"},
                                   {ID_GO_FORWARD, "Forward"},
                                   {ID_STOP, "Stop"},
                                   {ID_REFRESH, "Refresh"},
                                   {ID_GO_HOME, "Home"}}};
    return layout;
}

const ToolBarLayout& UserGroupBarLayout()
{
    static const ToolBarLayout layout{139,
                                  QSize(32, 17),
                                  {{ID_ADD_USER_GROUP, "Add"},
                                   {ID_REMOVE_USER_GROUP, "Remove"},
                                   {ID_EDIT_LOGON_SCRIPT, "Script"},
                                   {ID_FILE_SAVE, "Save"}}};
    return layout;
}

const ToolBarLayout& SyncBarLayout()
{
    static const ToolBarLayout layout{141,
                                  QSize(22, 20),
                                  {{ID_SEND_TO_SERVER, "Receive"},
                                   {ID_LAUNCH_FILE_EXPLORER, "Explore"},
                                   {ID_SEND_TO_CLIENT, "Send"}}};
    return layout;
}

const ToolBarLayout& LocationBarLayout()
{
    static const ToolBarLayout layout{143,
                                  QSize(22, 20),
                                  {{ID_ADD_LOCATION, "Add"}, {ID_EDIT_LOCATION, "Edit"}, {ID_REMOVE_LOCATION, "Remove"}}};
    return layout;
}

} // namespace app
