#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "accounts/profile.h"
#include "config/records.h"
#include "journal/journal.h"

// The records of each event, with their fields. The call sites build one of
// these and hand it to their Journal.
namespace journal {

// How a started program ended, as the runner saw it.
struct ProgramEnd {
    enum class Kind { Exited, TimedOut, Aborted, FailedToStart, NotWaited, LeftRunning };
    Kind kind = Kind::Exited;
    int exitCode = -1;   // Exited (and TimedOut when it ended after all)
    std::string reason;  // FailedToStart: the system's text
    double seconds = 0;
};
const char* ProgramEndName(ProgramEnd::Kind kind);

// The transfer tool's exit codes in words.
const char* TransferExitMeaning(int exitCode);

Record SessionStart(bool administrator, bool serviceMode, const std::u16string& profile,
                    accounts::ProfileMatch matchedBy, std::size_t locations);
Record SessionEnd(double seconds);
Record LogonProgram(const std::u16string& commandLine, const ProgramEnd& end);

// A transfer's direction: "server-to-client", "client-to-server" or "manual".
Record Transfer(const std::u16string& location, const char* direction, const std::u16string& commandLine,
                const ProgramEnd& end);
Record TransferSkipped(const std::u16string& location, const char* direction, const std::string& reason);
const char* DirectionName(bool serverToClient);

// pontlet's own account of an automatic copy, and each file it did not copy.
struct CopyCounts {
    std::size_t copied = 0, kept = 0, skipped = 0, failed = 0;
    std::uint64_t bytes = 0;
    bool cancelled = false;
};
Record TransferSummary(const std::string& source, const std::string& target, const CopyCounts& counts,
                       double seconds);
Record FileFailed(const std::string& path, const std::string& reason);

// The entries of a configuration as they were read, to compare a save with.
using EntrySnapshot = std::map<std::u16string, CTSUserDataItem>;
EntrySnapshot TakeSnapshot(const CTSUserData& data);
struct EntryChanges {
    std::vector<std::u16string> added, removed, changed;
};
EntryChanges CompareEntries(const EntrySnapshot& before, const CTSUserData& after);

inline constexpr std::size_t kMostNamesListed = 20;

Record ConfigurationReadFailed(const std::string& path, const std::string& error, std::uint64_t offset);
// `source`: "console", "import", "quillonctl load", "quillonctl convert".
// `keptUnreadable`: where the unreadable file it replaced was kept, if any.
Record ConfigurationSaved(const std::string& path, const char* source, const EntryChanges& changes,
                          const std::string& keptUnreadable = {});
Record ConfigurationSaveFailed(const std::string& path, const char* source, const std::string& reason);

// The user view's confinement: what it refused and by which rule, and the
// listed program it started for a file.
Record Refused(const std::string& path, const std::string& rule);
Record Opened(const std::string& path, const std::string& program);

} // namespace journal
