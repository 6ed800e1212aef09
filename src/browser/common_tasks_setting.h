#pragma once

// "Show Common Tasks in Folders" as the user's own setting, kept with the
// program's other settings (QSettings "Varnel Software", "Quillon"); it
// stays as the last location set it after the program ends.
namespace browser {

bool readShowCommonTasks();
void writeShowCommonTasks(bool show);

} // namespace browser
