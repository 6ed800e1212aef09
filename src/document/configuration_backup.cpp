#include "document/configuration_backup.h"

#include <cerrno>
#include <system_error>

namespace document {

std::filesystem::path BackupPathFor(const std::filesystem::path& configPath)
{
    std::filesystem::path backup = platform::ResolveLinks(configPath);
    backup += ".bak";
    return backup;
}

platform::FileError ReplaceConfigurationKeepingBackup(const std::filesystem::path& from,
                                                      const std::filesystem::path& configPath)
{
    std::error_code ec;
    if (std::filesystem::equivalent(from, configPath, ec))
        return {};
    // A source that is not there must not cost the last backup.
    if (!platform::FileExists(from))
        return {platform::FileErrorKind::NotFound, ENOENT, from.string() + ": no such file"};
    if (platform::FileExists(configPath)) {
        if (platform::FileError e = platform::CopyFileReplacing(configPath, BackupPathFor(configPath)))
            return e;
    }
    return platform::CopyFileReplacing(from, configPath);
}

} // namespace document
