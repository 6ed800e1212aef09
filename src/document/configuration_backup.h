#pragma once
#include <filesystem>

#include "platform/files.h"

namespace document {

// "<config>.bak": where an import keeps the configuration it replaced.
std::filesystem::path BackupPathFor(const std::filesystem::path& configPath);

// Copies `from` over the stored configuration, first keeping the file it
// replaces as "<config>.bak" (an older backup gives way: it holds what an
// earlier import replaced, and the administrator has decided since). When
// the backup cannot be made nothing is replaced and its error is returned.
// Importing the stored file onto itself changes nothing. Importing the backup
// itself (by any name: the files are compared, not the names) swaps the two:
// the configuration becomes the backup's content and the backup what the
// configuration held.
platform::FileError ReplaceConfigurationKeepingBackup(const std::filesystem::path& from,
                                                      const std::filesystem::path& configPath);

} // namespace document
