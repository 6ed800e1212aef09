#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <set>

#include <gtest/gtest.h>

#include "framework/command_actions.h"
#include "framework/command_ids.h"
#include "framework/command_router.h"
#include "framework/command_table.h"
#include "support/test_application.h"

using namespace framework;

namespace {

// A built menu bar as lines "popup path | id | text", separators as "-".
QStringList Flatten(const QMenu* menu, const QString& path)
{
    QStringList lines;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            lines << path + " | -";
        else if (action->menu())
            lines << Flatten(action->menu(), path + "/" + action->menu()->title());
        else
            lines << QString("%1 | %2 | %3").arg(path).arg(CommandActions::CommandIdOf(action)).arg(action->text());
    }
    return lines;
}

QStringList Flatten(const QMenuBar* bar)
{
    QStringList lines;
    for (QAction* action : bar->actions())
        lines << Flatten(action->menu(), action->menu()->title());
    return lines;
}

const QStringList kNavigationAndHelp128 = {
    "&Navigation | 32795 | Go &Back",
    "&Navigation | 32796 | Go &Forward",
    "&Navigation | 32797 | &Stop",
    "&Navigation | 32798 | &Refresh\tF5",
    "&Navigation | 32799 | &Go Home",
    "&Help | 57667 | &Help Topics",
    "&Help | -",
    "&Help | 57664 | &About Quillon...",
};

const QStringList kAdministratorMenu = QStringList{
    "&File | -",
    "&File | 57600 | &New Configuration File\tCtrl+N",
    "&File | 57601 | &Open Configuration File\tCtrl+O",
    "&File | 57603 | &Save Configuration File\tCtrl+S",
    "&File | -",
    "&File/&Import | 32813 | &Configuration File",
    "&File/&Export | 32814 | &Configuration File",
    "&File | -",
    "&File | 57612 | Sen&d...",
    "&File | -",
    "&File | 57665 | E&xit",
    "&View | 32811 | &User View",
    "&View | 32812 | &Administrator View",
    "&View | 59393 | &Status Bar",
    "&View | 32815 | S&hell View",
    "&Users and Groups | 32772 | &Add User/Group",
    "&Users and Groups | 32773 | &Remove User/Group",
    "&Users and Groups | 32792 | &Edit User/Group Logon Script",
    "&Users and Groups | 32793 | &Test User/Group Logon  Script",
    "&Locations | 32771 | &Add Location",
    "&Locations | 1006 | &Edit Location",
    "&Locations | 1009 | &Remove Location",
    "&Synchronize | 32774 | &Send Files From Server To Client",
    "&Synchronize | 32775 | &Send Files From Client to Server",
    "&Synchronize | 32776 | &Launch File Explorer",
} + kNavigationAndHelp128;

const QStringList kUserMenu = {
    "&File | 57665 | E&xit",
    "&View | 32811 | &User View",
    "&View | 32812 | &Administrator View",
    "&View | 59393 | &Status Bar",
    "&Synchronize | 32774 | &Send Files From Server To Client",
    "&Synchronize | 32775 | &Send Files From Client to Server",
    "&Synchronize | 32776 | &Launch File Explorer",
    "&Navigation | 32795 | Go &Back",
    "&Navigation | 32796 | Go &Forward",
    "&Navigation | 32797 | &Stop",
    "&Navigation | 32798 | &Refresh",
    "&Navigation | 32799 | &Go Home",
    "&Help | 57667 | &Help Topics",
    "&Help | -",
    "&Help | 57664 | &About Quillon...",
};

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::TestApplication(); }
    CommandRouter m_router;
    CommandActions m_actions{m_router};
};

TEST_F(MenuTest, MenusAreBuiltWithEveryTextExactly)
{
    const std::pair<int, QStringList> cases[] = {
        {IDR_MENU_ADMINISTRATOR, kAdministratorMenu},
        {IDR_MENU_USER, kUserMenu},
    };
    for (const auto& [menuId, expected] : cases) {
        std::unique_ptr<QMenuBar> bar(m_actions.BuildMenuBar(menuId));
        const QStringList built = Flatten(bar.get());
        EXPECT_EQ(built, expected) << "menu " << menuId << ":\n" << built.join('\n').toStdString();
    }
}

TEST_F(MenuTest, LeadingSeparatorOfTheFileMenuIsKept)
{
    std::unique_ptr<QMenuBar> bar(m_actions.BuildMenuBar(IDR_MENU_ADMINISTRATOR));
    EXPECT_FALSE(bar->actions().front()->menu()->separatorsCollapsible());
}

struct PromptCase {
    int id;
    const char* statusPrompt;
    const char* toolTip;
};

TEST(CommandTable, PromptsSplitIntoStatusTextAndToolTip)
{
    const PromptCase cases[] = {
        {ID_FILE_NEW, "Create New Configuration File", "New"},
        {ID_IMPORT_CONFIGURATION, "Import Configuration File", ""},
        {ID_EXPORT_CONFIGURATION, "Export Configuration File", ""},
        {ID_VIEW_SHELL, "", ""},
        {ID_VIEW_USER, "Switch to &User View", "Switch to &User View"},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar", "Toggle StatusBar"},
        {ID_TEST_LOGON_SCRIPT, "Test User/Group Logon  Script", "Test User/Group Logon  Script"},
        {ID_SEND_TO_CLIENT, "Send Files To Client", "Send Files To Client"},
        {ID_SEND_TO_SERVER, "Send Files To Server", "Send Files To Server"},
        {ID_HELP_FINDER, "List Help topics", "Help Topics"},
        {ID_FILE_SEND_MAIL, "Send the active document through electronic mail", "Send Mail"},
        {ID_APP_EXIT, "Quit Application", "Exit"},
    };
    for (const auto& c : cases) {
        const CommandInfo* info = FindCommand(c.id);
        ASSERT_NE(info, nullptr) << c.id;
        EXPECT_EQ(info->StatusPrompt(), c.statusPrompt) << c.id;
        EXPECT_EQ(info->ToolTip(), c.toolTip) << c.id;
    }
}

TEST(CommandTable, IdsAreUniqueAndEveryMenuAndKeyCommandIsKnown)
{
    std::set<int> ids;
    for (const CommandInfo& info : CommandTable())
        EXPECT_TRUE(ids.insert(info.id).second) << "twice: " << info.id;
    std::function<void(const MenuEntry&)> check = [&](const MenuEntry& entry) {
        if (entry.kind == MenuEntry::Kind::Command) {
            EXPECT_TRUE(ids.count(entry.id)) << entry.id;
        }
        for (const MenuEntry& child : entry.entries)
            check(child);
    };
    for (int menu : {IDR_MENU_ADMINISTRATOR, IDR_MENU_USER})
        for (const MenuEntry& popup : MenuDefinition(menu))
            check(popup);
    for (const Accelerator& accelerator : AcceleratorTable())
        EXPECT_TRUE(ids.count(accelerator.id)) << accelerator.id;
    EXPECT_EQ(FindCommand(4711), nullptr);
    EXPECT_TRUE(MenuDefinition(4711).empty());
}

TEST(CommandTable, AcceleratorTable)
{
    const std::pair<const char*, int> expected[] = {
        {"Ctrl+N", ID_FILE_NEW}, {"Ctrl+O", ID_FILE_OPEN},   {"Ctrl+S", ID_FILE_SAVE},  {"F1", ID_HELP},
        {"Shift+F1", ID_CONTEXT_HELP}, {"F5", ID_REFRESH}, {"F6", ID_NEXT_PANE}, {"Shift+F6", ID_PREV_PANE},
    };
    const auto& table = AcceleratorTable();
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].keys, QKeySequence::fromString(expected[i].first, QKeySequence::PortableText));
        EXPECT_EQ(table[i].id, expected[i].second);
    }
}

} // namespace
