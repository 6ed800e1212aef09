#include "framework/command_table.h"

#include <algorithm>

#include "framework/command_ids.h"

namespace framework {

QString CommandInfo::StatusPrompt() const { return prompt.section(QLatin1Char('\n'), 0, 0); }

QString CommandInfo::ToolTip() const
{
    const qsizetype lineBreak = prompt.indexOf(QLatin1Char('\n'));
    return lineBreak < 0 ? QString() : prompt.mid(lineBreak + 1);
}

const std::vector<CommandInfo>& CommandTable()
{
    static const std::vector<CommandInfo> table = {
        {ID_FILE_NEW, "&New Configuration File\tCtrl+N", "Create New Configuration File\nNew"},
        {ID_FILE_OPEN, "&Open Configuration File\tCtrl+O", "Open Existing Configuration File\nOpen"},
        {ID_FILE_SAVE, "&Save Configuration File\tCtrl+S", "Save Configuration File\nSave"},
        {ID_IMPORT_CONFIGURATION, "&Configuration File", "Import Configuration File"},
        {ID_EXPORT_CONFIGURATION, "&Configuration File", "Export Configuration File"},
        {ID_FILE_SEND_MAIL, "Sen&d...", "Send the active document through electronic mail\nSend Mail"},
        {ID_APP_EXIT, "E&xit", "Quit Application\nExit"},
        {ID_VIEW_USER, "&User View", "Switch to &User View\nSwitch to &User View"},
        {ID_VIEW_ADMINISTRATOR, "&Administrator View",
         "Switch to &Administrator View\nSwitch to &Administrator View"},
        {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar\nToggle StatusBar"},
        {ID_VIEW_SHELL, "S&hell View", ""},
        {ID_ADD_USER_GROUP, "&Add User/Group", "Add New User or Group\nAdd New User or Group"},
        {ID_REMOVE_USER_GROUP, "&Remove User/Group",
         "Remove Existing User/Group\nRemove Existing User/Group"},
        {ID_EDIT_LOGON_SCRIPT, "&Edit User/Group Logon Script",
         "Edit User/Group Logon Script\nEdit User/Group Logon Script"},
        {ID_TEST_LOGON_SCRIPT, "&Test User/Group Logon  Script",
         "Test User/Group Logon  Script\nTest User/Group Logon  Script"},
        {ID_ADD_LOCATION, "&Add Location", "Add Location\nAdd Location"},
        {ID_EDIT_LOCATION, "&Edit Location", "Edit Location\nEdit Location"},
        {ID_REMOVE_LOCATION, "&Remove Location", "Remove Location\nRemove Location"},
        {ID_SEND_TO_CLIENT, "&Send Files From Server To Client", "Send Files To Client\nSend Files To Client"},
        {ID_SEND_TO_SERVER, "&Send Files From Client to Server", "Send Files To Server\nSend Files To Server"},
        {ID_LAUNCH_FILE_EXPLORER, "&Launch File Explorer", "Launch File Explorer\nLaunch File Explorer"},
        {ID_GO_BACK, "Go &Back", "Go Back\nGo Back"},
        {ID_GO_FORWARD, "Go &Forward", "Go Forward\nGo Forward"},
        {ID_STOP, "&Stop", "Stop\nStop"},
        {ID_REFRESH, "&Refresh\tF5", "Refresh\nRefresh"},
        {ID_GO_HOME, "&Go Home", "Go Home\nGo Home"},
        {ID_HELP_FINDER, "&Help Topics", "List Help topics\nHelp Topics"},
        {ID_APP_ABOUT, "&About Quillon...", "Display program information, version number and copyright\nAbout"},
        // Reached by accelerators and the frame only; no menu shows them.
        {ID_HELP, "", "Display help for current task or command\nHelp"},
        {ID_CONTEXT_HELP, "", "Display help for clicked on buttons, menus and windows\nHelp"},
        {ID_DEFAULT_HELP, "", "Display default help\nHelp"},
        {ID_NEXT_PANE, "", "Switch to the next window pane\nNext Pane"},
        {ID_PREV_PANE, "", "Switch back to the previous window pane\nPrevious Pane"},
    };
    return table;
}

const CommandInfo* FindCommand(int id)
{
    const auto& table = CommandTable();
    const auto it = std::find_if(table.begin(), table.end(), [id](const CommandInfo& c) { return c.id == id; });
    return it == table.end() ? nullptr : &*it;
}

QString MenuEntry::CommandText() const
{
    if (!text.isEmpty())
        return text;
    const CommandInfo* info = FindCommand(id);
    return info ? info->text : QString();
}

namespace {

MenuEntry Item(int id, const QString& ownText = QString())
{
    return {MenuEntry::Kind::Command, id, ownText, {}};
}

MenuEntry Separator() { return {MenuEntry::Kind::Separator, 0, {}, {}}; }

MenuEntry Popup(const QString& title, std::vector<MenuEntry> entries)
{
    return {MenuEntry::Kind::Popup, 0, title, std::move(entries)};
}

MenuEntry SynchronizePopup()
{
    return Popup("&Synchronize", {Item(ID_SEND_TO_CLIENT), Item(ID_SEND_TO_SERVER), Item(ID_LAUNCH_FILE_EXPLORER)});
}

MenuEntry NavigationPopup(const QString& refreshText)
{
    return Popup("&Navigation", {Item(ID_GO_BACK), Item(ID_GO_FORWARD), Item(ID_STOP), Item(ID_REFRESH, refreshText),
                                 Item(ID_GO_HOME)});
}

MenuEntry HelpPopup() { return Popup("&Help", {Item(ID_HELP_FINDER), Separator(), Item(ID_APP_ABOUT)}); }

} // namespace

const std::vector<MenuEntry>& MenuDefinition(int menuId)
{
    static const std::vector<MenuEntry> administrator = {
        Popup("&File", {Separator(), Item(ID_FILE_NEW), Item(ID_FILE_OPEN), Item(ID_FILE_SAVE), Separator(),
                        Popup("&Import", {Item(ID_IMPORT_CONFIGURATION)}),
                        Popup("&Export", {Item(ID_EXPORT_CONFIGURATION)}), Separator(), Item(ID_FILE_SEND_MAIL),
                        Separator(), Item(ID_APP_EXIT)}),
        Popup("&View", {Item(ID_VIEW_USER), Item(ID_VIEW_ADMINISTRATOR), Item(ID_VIEW_STATUS_BAR), Item(ID_VIEW_SHELL)}),
        Popup("&Users and Groups", {Item(ID_ADD_USER_GROUP), Item(ID_REMOVE_USER_GROUP), Item(ID_EDIT_LOGON_SCRIPT),
                                    Item(ID_TEST_LOGON_SCRIPT)}),
        Popup("&Locations", {Item(ID_ADD_LOCATION), Item(ID_EDIT_LOCATION), Item(ID_REMOVE_LOCATION)}),
        SynchronizePopup(),
        NavigationPopup(QString()),
        HelpPopup(),
    };
    static const std::vector<MenuEntry> user = {
        Popup("&File", {Item(ID_APP_EXIT)}),
        Popup("&View", {Item(ID_VIEW_USER), Item(ID_VIEW_ADMINISTRATOR), Item(ID_VIEW_STATUS_BAR)}),
        SynchronizePopup(),
        NavigationPopup("&Refresh"),
        HelpPopup(),
    };
    static const std::vector<MenuEntry> none;
    switch (menuId) {
    case IDR_MENU_ADMINISTRATOR: return administrator;
    case IDR_MENU_USER: return user;
    default: return none;
    }
}

const std::vector<Accelerator>& AcceleratorTable()
{
    static const std::vector<Accelerator> table = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
        {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
        {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
        {QKeySequence(Qt::Key_F1), ID_HELP},
        {QKeySequence(Qt::SHIFT | Qt::Key_F1), ID_CONTEXT_HELP},
        {QKeySequence(Qt::Key_F5), ID_REFRESH},
        {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
    };
    return table;
}

} // namespace framework
