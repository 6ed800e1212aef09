#pragma once

namespace platform::posix {

// renameat, and without `replace` one that never replaces an existing `to`
// (EEXIST), also on file systems that lack the no-replace flag. 0 or the
// system's error number.
int RenameAt(int fromFolder, const char* from, int toFolder, const char* to, bool replace);

} // namespace platform::posix
