#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "config/archive.h"
#include "config/records.h"
#include "platform/files.h"

// Reading and writing the whole configuration, in one pass.
namespace config {

struct StoreResult {
    bool ok = true;
    ArchiveCause cause = ArchiveCause::FileError;  // meaningful when !ok
    std::uint64_t offset = 0;                      // byte offset of the failure, when reading
    std::string message;                           // what went wrong, where
    std::uint32_t schema = 0;                      // format number read (loading)
    std::uint64_t entries = 0;                     // entries and locations of the input,
    std::uint64_t locations = 0;                   // built or passed over (loading)

    explicit operator bool() const { return ok; }
};

// The failure a file system error gives for `path`.
StoreResult FileFailure(const platform::FileError& error, const std::filesystem::path& path);

// Reads a configuration, parsing the bytes in place. `out` is replaced only
// when the whole input reads; on failure it is left as it was. An empty input
// is an empty configuration. With a rank only the best-ranked entry is built
// (see CTSUserData::EntryRank); the whole input is still checked.
StoreResult ReadConfiguration(const MemorySource& source, CTSUserData& out, const CTSUserData::EntryRank& rank = {});
// The same through a window of the input (see ChunkSource).
StoreResult ReadConfiguration(ChunkSource& source, CTSUserData& out, const CTSUserData::EntryRank& rank = {});
// Checks the input as ReadConfiguration does, building nothing. `writerForm`
// tells whether the bytes are exactly what writing their records would give
// (the current schema, every string and flag as the writer puts it, nothing
// after the last entry); an empty input is not.
StoreResult WalkConfiguration(const MemorySource& source, bool& writerForm);
// The file is read whole into one buffer, parsed from it, and the buffer freed
// once the records are built; with a rank it is read through a window that
// does not grow with the entries passed over. A read that fails in passing (a stale handle,
// a size that changed while reading, or content that ends before its layout
// does, as a cached size of a replaced file gives) opens the file by name
// and reads it again, within `retry`'s budget. `identity` (when given)
// receives the identity of the descriptor read, also when the content did not
// parse; a file that is not read gives the identity its name shows (a missing
// file one that does not exist, one that cannot be looked at one that exists
// but is unknown).
StoreResult LoadConfigurationFile(const std::filesystem::path& path, CTSUserData& out,
                                  const CTSUserData::EntryRank& rank = {},
                                  platform::FileIdentity* identity = nullptr,
                                  const platform::RetryPolicy& retry = {});

// Reads a file that is to be written again in the current format. When its
// bytes already are in the writer's form (see WalkConfiguration) they are
// kept in `asRead` and nothing is built; otherwise `asRead` is left empty and
// `out` holds the records. On failure neither is set.
StoreResult LoadForRewrite(const std::filesystem::path& path, CTSUserData& out, platform::WholeFile& asRead,
                           const platform::RetryPolicy& retry = {});
// Writes bytes already in the current format, as SaveConfigurationFile does.
StoreResult SaveConfigurationBytes(const std::filesystem::path& path, const platform::WholeFile& bytes);

// Writes the current format. Saving to a file replaces it atomically and
// keeps its permission bits; on failure the old file is untouched. Temporary
// files that earlier saves killed midway left beside it are removed first
// once they are older than kStaleTempAge. `written` (when given) receives the
// identity of the file saved.
void WriteConfiguration(ByteSink& sink, const CTSUserData& data);
StoreResult SaveConfigurationFile(const std::filesystem::path& path, const CTSUserData& data,
                                  platform::FileIdentity* written = nullptr);

// No save runs this long, so a temporary file unchanged for longer is left over.
inline constexpr std::chrono::seconds kStaleTempAge{600};

} // namespace config
