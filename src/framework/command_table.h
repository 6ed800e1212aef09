#pragma once
#include <QKeySequence>
#include <QString>
#include <vector>

// The program's commands as the user meets them: menu text, the status-bar
// prompt and tool tip, the two menus and the accelerator table.
namespace framework {

struct CommandInfo {
    int id = 0;
    QString text;    // menu text: "&" marks the mnemonic, "\t" starts the shortcut
    QString prompt;  // "status-bar prompt\ntool tip"; either part may be missing

    QString StatusPrompt() const;  // the part before the line break
    QString ToolTip() const;       // the part after it; empty when there is none
};

// Every command, once. Menu texts are those of the administrator menu.
const std::vector<CommandInfo>& CommandTable();
// Null for an id the table does not know.
const CommandInfo* FindCommand(int id);

// One entry of a menu: a command, a separator or a popup with its entries.
struct MenuEntry {
    enum class Kind { Command, Separator, Popup };
    Kind kind = Kind::Command;
    int id = 0;                       // Command
    QString text;                     // Popup title; for a Command the table's text when empty
    std::vector<MenuEntry> entries;   // Popup

    QString CommandText() const;      // Command: its own text or the table's
};

// The popups of menu 128 (administrator) or 129 (user), in order.
const std::vector<MenuEntry>& MenuDefinition(int menuId);

struct Accelerator {
    QKeySequence keys;
    int id = 0;
};

// Accelerator table 128, in force in both faces.
const std::vector<Accelerator>& AcceleratorTable();

} // namespace framework
