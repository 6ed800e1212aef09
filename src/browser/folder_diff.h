#pragma once
#include <utility>
#include <vector>

#include "browser/file_entry.h"

namespace browser {

class RowOrder;

// What turns the rows shown into a fresh listing of the same folder.
struct FolderDiff {
    std::vector<int> removed;                        // rows shown, ascending
    std::vector<std::pair<int, FileEntry>> changed;  // row shown, its new state
    // New rows with the row each takes once the removed ones are gone and the
    // earlier ones inserted (ascending); -1 when they are simply appended.
    std::vector<std::pair<int, FileEntry>> added;
};

// `shown` is in the order of `order`, or in no order when it is null; then
// new rows are appended. Worker-safe: touches nothing but its arguments.
FolderDiff diffFolder(const std::vector<FileEntry>& shown, std::vector<FileEntry>&& fresh, RowOrder* order);

} // namespace browser
