#pragma once

// Command identifiers shared by menus, toolbars, accelerators and handlers.
// Where the classic framework has a standard command the number is its own.
namespace framework {

enum CommandId : int {
    ID_REFRESH_TREE = 101,  // private to the locations tree
    ID_EDIT_LOCATION = 1006,
    ID_REMOVE_LOCATION = 1009,

    ID_ADD_LOCATION = 32771,
    ID_ADD_USER_GROUP = 32772,
    ID_REMOVE_USER_GROUP = 32773,
    ID_SEND_TO_CLIENT = 32774,
    ID_SEND_TO_SERVER = 32775,
    ID_LAUNCH_FILE_EXPLORER = 32776,
    ID_EDIT_LOGON_SCRIPT = 32792,
    ID_TEST_LOGON_SCRIPT = 32793,
    ID_GO_BACK = 32795,
    ID_GO_FORWARD = 32796,
    ID_STOP = 32797,
    ID_REFRESH = 32798,
    ID_GO_HOME = 32799,
    ID_VIEW_USER = 32811,
    ID_VIEW_ADMINISTRATOR = 32812,
    ID_IMPORT_CONFIGURATION = 32813,
    ID_EXPORT_CONFIGURATION = 32814,
    ID_VIEW_SHELL = 32815,

    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SEND_MAIL = 57612,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57667,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_DEFAULT_HELP = 57671,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,

    ID_INDICATOR_CAPS = 59137,
    ID_INDICATOR_NUM = 59138,
    ID_INDICATOR_SCRL = 59139,
    ID_VIEW_STATUS_BAR = 59393,
};

// Resource numbers of the two menus and the accelerator table.
enum MenuId : int {
    IDR_MENU_ADMINISTRATOR = 128,
    IDR_MENU_USER = 129,
};
inline constexpr int IDR_ACCELERATORS = 128;

} // namespace framework
