#pragma once
#include <functional>
#include <memory>
#include <vector>

#include <QString>

#include "browser/file_entry.h"

namespace browser {

// Lists a folder; the model runs it on a worker thread. Tests inject a fake.
// List may run on several threads at once: a listing the model abandoned
// (a share that hangs) can still be running while the next one starts.
class FolderLister {
public:
    virtual ~FolderLister();
    // Calls `batch` with rows as they are read (first batch small and quick),
    // returns 0 or an errno. Must stop early when `cancelled()` returns true.
    virtual int list(const QString& folder, const std::function<void(std::vector<FileEntry>&&)>& batch,
                     const std::function<bool()>& cancelled) = 0;
};

// readdir + fstatat through the platform layer.
std::unique_ptr<FolderLister> createSystemFolderLister();

} // namespace browser
