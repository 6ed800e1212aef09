#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// What one directory entry says about itself, learnt with one lstat (and a
// stat for the kind and size of what a symbolic link points to).
struct FolderEntryInfo {
    std::string name;
    std::int64_t size = 0;
    std::int64_t mtimeMs = 0;
    bool isDir = false;
    bool isSymLink = false;
};

// Reads the entries of a folder ("." and ".." left out) and hands each to
// onEntry; returning false from onEntry stops the listing. Returns 0 or the
// system's error number. An entry that vanishes while listed is skipped; one
// that cannot be examined (no search right) is still listed, size and time 0.
int ListFolder(const std::string& folder, const std::function<bool(FolderEntryInfo&&)>& onEntry);

} // namespace platform
