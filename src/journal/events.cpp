#include "journal/events.h"

#include "config/text.h"

namespace journal {

namespace {

std::string Utf8(const std::u16string& s) { return config::ToUtf8(s); }

std::string EndText(const ProgramEnd& end)
{
    switch (end.kind) {
    case ProgramEnd::Kind::Exited: return "ended with exit code " + std::to_string(end.exitCode);
    case ProgramEnd::Kind::TimedOut: return "timed out";
    case ProgramEnd::Kind::Aborted: return "ended by the user";
    case ProgramEnd::Kind::FailedToStart: return "failed to start: " + end.reason;
    case ProgramEnd::Kind::NotWaited: return "started, not waited for";
    case ProgramEnd::Kind::LeftRunning: return "left running when its window was closed";
    }
    return {};
}

bool WentWell(const ProgramEnd& end)
{
    return (end.kind == ProgramEnd::Kind::Exited && end.exitCode == 0) || end.kind == ProgramEnd::Kind::NotWaited;
}

void AddEnd(Record& r, const ProgramEnd& end)
{
    r.Add("QUILLON_END", ProgramEndName(end.kind));
    if (end.exitCode >= 0)
        r.Add("QUILLON_EXIT_CODE", end.exitCode);
    if (!end.reason.empty())
        r.Add("QUILLON_REASON", end.reason);
    r.AddSeconds(end.seconds);
}

void AddNames(Record& r, const char* name, const char* countName, const std::vector<std::u16string>& names)
{
    r.Add(countName, names.size());
    if (names.size() <= kMostNamesListed)
        for (const std::u16string& n : names)
            r.Add(name, n);  // a field repeated: one search finds each entry
}

} // namespace

const char* ProgramEndName(ProgramEnd::Kind kind)
{
    switch (kind) {
    case ProgramEnd::Kind::Exited: return "exited";
    case ProgramEnd::Kind::TimedOut: return "timed-out";
    case ProgramEnd::Kind::Aborted: return "aborted";
    case ProgramEnd::Kind::FailedToStart: return "failed-to-start";
    case ProgramEnd::Kind::NotWaited: return "not-waited";
    case ProgramEnd::Kind::LeftRunning: return "left-running";
    }
    return "";
}

const char* TransferExitMeaning(int exitCode)
{
    switch (exitCode) {
    case 0: return "everything copied or decided by a rule";
    case 1: return "some files not copied";
    case 2: return "wrong usage or refused folders";
    case 3: return "cancelled by the user";
    default: return exitCode > 128 ? "ended by a signal" : "unknown exit code";
    }
}

const char* DirectionName(bool serverToClient) { return serverToClient ? "server-to-client" : "client-to-server"; }

Record SessionStart(bool administrator, bool serviceMode, const std::u16string& profile,
                    accounts::ProfileMatch matchedBy, std::size_t locations)
{
    const char* face = administrator ? "administrator" : "user";
    Record r("session-start", JournalPriority::Info,
             std::string("session start, ") + face + " face" + (serviceMode ? ", service mode" : "") + ", profile " +
                 Utf8(profile) + " (" + accounts::ProfileMatchName(matchedBy) + "), " + std::to_string(locations) +
                 " locations");
    return r.Add("QUILLON_FACE", face)
        .Add("QUILLON_SERVICE_MODE", serviceMode ? "1" : "0")
        .Add("QUILLON_PROFILE", profile)
        .Add("QUILLON_MATCHED_BY", accounts::ProfileMatchName(matchedBy))
        .Add("QUILLON_LOCATIONS", locations);
}

Record SessionEnd(double seconds)
{
    Record r("session-end", JournalPriority::Info,
             "session end, logging off after " + std::to_string(static_cast<long long>(seconds)) + " s");
    return r.AddSeconds(seconds);
}

Record LogonProgram(const std::u16string& commandLine, const ProgramEnd& end)
{
    Record r("logon-program", WentWell(end) ? JournalPriority::Info : JournalPriority::Warning,
             "logon program " + Utf8(commandLine) + ": " + EndText(end));
    r.Add("QUILLON_COMMAND_LINE", commandLine);
    AddEnd(r, end);
    return r;
}

Record Transfer(const std::u16string& location, const char* direction, const std::u16string& commandLine,
                const ProgramEnd& end)
{
    std::string message = "transfer of " + Utf8(location) + " (" + direction + "): " + EndText(end);
    if (end.kind == ProgramEnd::Kind::Exited)
        message += std::string(", ") + TransferExitMeaning(end.exitCode);
    Record r("transfer", WentWell(end) ? JournalPriority::Info : JournalPriority::Warning, message);
    r.Add("QUILLON_LOCATION", location).Add("QUILLON_DIRECTION", direction).Add("QUILLON_COMMAND_LINE", commandLine);
    AddEnd(r, end);
    if (end.kind == ProgramEnd::Kind::Exited)
        r.Add("QUILLON_EXIT_MEANING", TransferExitMeaning(end.exitCode));
    return r;
}

Record TransferSkipped(const std::u16string& location, const char* direction, const std::string& reason)
{
    Record r("transfer", JournalPriority::Warning,
             "transfer of " + Utf8(location) + " (" + direction + ") skipped: " + reason);
    return r.Add("QUILLON_LOCATION", location)
        .Add("QUILLON_DIRECTION", direction)
        .Add("QUILLON_END", "skipped")
        .Add("QUILLON_REASON", reason);
}

Record TransferSummary(const std::string& source, const std::string& target, const CopyCounts& c, double seconds)
{
    const bool clean = c.failed == 0 && c.kept == 0 && !c.cancelled;
    Record r("transfer-summary", clean ? JournalPriority::Info : JournalPriority::Warning,
             "copied " + std::to_string(c.copied) + " files (" + std::to_string(c.bytes) + " bytes) from " + source +
                 " to " + target + ", kept " + std::to_string(c.kept) + ", skipped " + std::to_string(c.skipped) +
                 ", failed " + std::to_string(c.failed) + (c.cancelled ? ", cancelled" : ""));
    r.Add("QUILLON_SOURCE_FOLDER", source)
        .Add("QUILLON_TARGET_FOLDER", target)
        .Add("QUILLON_FILES_COPIED", c.copied)
        .Add("QUILLON_FILES_KEPT", c.kept)
        .Add("QUILLON_FILES_SKIPPED", c.skipped)
        .Add("QUILLON_FILES_FAILED", c.failed)
        .Add("QUILLON_BYTES", c.bytes)
        .Add("QUILLON_CANCELLED", c.cancelled ? "1" : "0");
    return r.AddSeconds(seconds);
}

Record FileFailed(const std::string& path, const std::string& reason)
{
    Record r("file-failed", JournalPriority::Warning, "not copied: " + path + ": " + reason);
    return r.Add("QUILLON_PATH", path).Add("QUILLON_REASON", reason);
}

EntrySnapshot TakeSnapshot(const CTSUserData& data)
{
    EntrySnapshot snapshot;
    for (const auto& entry : data.m_items)
        snapshot.emplace(entry->m_strName, *entry);
    return snapshot;
}

EntryChanges CompareEntries(const EntrySnapshot& before, const CTSUserData& after)
{
    EntryChanges changes;
    std::map<std::u16string, const CTSUserDataItem*> now;
    for (const auto& entry : after.m_items)
        now.emplace(entry->m_strName, entry.get());
    for (const auto& [name, entry] : now) {
        const auto was = before.find(name);
        if (was == before.end())
            changes.added.push_back(name);
        else if (!(was->second == *entry))
            changes.changed.push_back(name);
    }
    for (const auto& [name, entry] : before)
        if (!now.contains(name))
            changes.removed.push_back(name);
    return changes;
}

Record ConfigurationReadFailed(const std::string& path, const std::string& error, std::uint64_t offset)
{
    Record r("configuration-read-failed", JournalPriority::Error,
             "cannot read the configuration " + path + ": " + error + " (byte " + std::to_string(offset) + ")");
    return r.Add("QUILLON_PATH", path).Add("QUILLON_ERROR", error).Add("QUILLON_OFFSET", offset);
}

Record ConfigurationSaved(const std::string& path, const char* source, const EntryChanges& changes,
                          const std::string& keptUnreadable)
{
    Record r("configuration-saved", JournalPriority::Notice,
             std::string("configuration saved (") + source + "): " + std::to_string(changes.added.size()) +
                 " entries added, " + std::to_string(changes.removed.size()) + " removed, " +
                 std::to_string(changes.changed.size()) + " changed" +
                 (keptUnreadable.empty() ? "" : "; the unreadable file was kept as " + keptUnreadable));
    r.Add("QUILLON_PATH", path).Add("QUILLON_SOURCE", source);
    AddNames(r, "QUILLON_ENTRY_ADDED", "QUILLON_ENTRIES_ADDED", changes.added);
    AddNames(r, "QUILLON_ENTRY_REMOVED", "QUILLON_ENTRIES_REMOVED", changes.removed);
    AddNames(r, "QUILLON_ENTRY_CHANGED", "QUILLON_ENTRIES_CHANGED", changes.changed);
    if (!keptUnreadable.empty())
        r.Add("QUILLON_UNREADABLE_KEPT_AS", keptUnreadable);
    return r;
}

Record ConfigurationSaveFailed(const std::string& path, const char* source, const std::string& reason)
{
    Record r("configuration-save-failed", JournalPriority::Error,
             std::string("configuration not saved (") + source + "): " + reason);
    return r.Add("QUILLON_PATH", path).Add("QUILLON_SOURCE", source).Add("QUILLON_REASON", reason);
}

Record Refused(const std::string& path, const std::string& rule)
{
    Record r("refused", JournalPriority::Notice, "refused " + path + ": " + rule);
    return r.Add("QUILLON_PATH", path).Add("QUILLON_RULE", rule);
}

Record Opened(const std::string& path, const std::string& program)
{
    Record r("opened", JournalPriority::Info, "opened " + path + " with " + program);
    return r.Add("QUILLON_PATH", path).Add("QUILLON_PROGRAM", program);
}

} // namespace journal
