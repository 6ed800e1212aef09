#include "document/configuration_backup.h"

#include <cerrno>
#include <string>
#include <system_error>

namespace document {

std::filesystem::path BackupPathFor(const std::filesystem::path& configPath)
{
    std::filesystem::path backup = platform::ResolveLinks(configPath);
    backup += ".bak";
    return backup;
}

namespace {

// "<file>.1", ".2", ...: the first that is not there.
std::filesystem::path FreeNameBeside(const std::filesystem::path& file)
{
    std::filesystem::path candidate;
    for (int n = 1;; ++n) {
        candidate = file;
        candidate += "." + std::to_string(n);
        if (!platform::FileExists(candidate))
            return candidate;
    }
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

} // namespace

platform::FileError ReplaceConfigurationKeepingBackup(const std::filesystem::path& from,
                                                      const std::filesystem::path& configPath)
{
    if (SameFile(from, configPath))
        return {};
    // A source that is not there must not cost the last backup.
    if (!platform::FileExists(from))
        return {platform::FileErrorKind::NotFound, ENOENT, from.string() + ": no such file"};
    const std::filesystem::path backup = BackupPathFor(configPath);
    std::filesystem::path source = from;
    std::filesystem::path kept;
    // The backup itself, under whatever name: making the new backup would
    // replace it before it is read, so it is imported from a copy.
    if (SameFile(from, backup)) {
        kept = FreeNameBeside(backup);
        if (platform::FileError e = platform::CopyFileReplacing(from, kept))
            return e;
        source = kept;
    }
    std::error_code ec;
    if (platform::FileExists(configPath)) {
        if (platform::FileError e = platform::CopyFileReplacing(configPath, backup)) {
            if (!kept.empty())
                std::filesystem::remove(kept, ec);  // the backup is still there
            return e;
        }
    }
    // When this fails the copy is the only one left of the old backup: it stays.
    if (platform::FileError e = platform::CopyFileReplacing(source, configPath))
        return e;
    if (!kept.empty())
        std::filesystem::remove(kept, ec);  // it is the configuration now
    return {};
}

} // namespace document
