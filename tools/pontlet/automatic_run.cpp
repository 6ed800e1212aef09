#include "automatic_run.h"

#include "client_drive.h"
#include "folder_rules.h"
#include "outcome_journal.h"

#include <cstdio>
#include <ostream>

namespace fs = std::filesystem;

namespace pontlet {

std::string SettleFolders(TransferOptions& o, const transfer::VariableLookup& lookup,
                          const std::optional<fs::path>& home)
{
    std::string error;
    const bool automatic = o.mode == Mode::Automatic;
    fs::path& server = automatic ? o.serverPath : o.server.path;
    fs::path& client = automatic ? o.clientPath : o.client.path;
    if (automatic || o.hasClient) {
        const auto expanded = ExpandClientPath(client.string(), lookup, home, error);
        if (!expanded)
            return error;
        client = *expanded;
    } else if (home) {
        client = *home;  // a manual transfer without a client folder shows the home folder
    } else {
        return "no client folder given, and this user has no home folder";
    }
    if (error = RefuseFolder(server, "server folder"); !error.empty())
        return error;
    if (error = RefuseFolder(client, "client folder"); !error.empty())
        return error;
    return RefusePair(server, client);
}

std::vector<CopyItem> AutomaticItems(const TransferOptions& o)
{
    return {o.serverToClient ? CopyItem{o.serverPath, {}, o.clientPath} : CopyItem{o.clientPath, {}, o.serverPath}};
}

const char* ActionWord(Action action)
{
    switch (action) {
    case Action::Copy: return "copy";
    case Action::Overwrite: return "overwrite";
    case Action::Skip: return "skip";
    case Action::Ask: return "ask";
    }
    return "";
}

std::string OneLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (unsigned char c : text) {
        if (c == '\\') {
            line += "\\\\";
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\t') {
            line += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            line += hex;
        } else {
            line += static_cast<char>(c);
        }
    }
    return line;
}

void ReportOutcome(const Outcome& outcome, std::ostream& err)
{
    for (const Failure& f : outcome.failures)
        err << "pontlet: not copied: " << OneLine(f.path.string()) << ": " << OneLine(f.reason) << '\n';
    for (const fs::path& p : outcome.kept)
        err << "pontlet: kept, differs and no rule says to replace it: " << OneLine(p.string()) << '\n';
    if (outcome.cancelled)
        err << "pontlet: cancelled\n";
}

FolderWait ClientDriveWait(const TransferOptions& o, const std::optional<fs::path>& home)
{
    const std::optional<ClientDrive> drive = ClientDriveOf(o.clientPath, home);
    if (!drive)
        return {};
    // The drives appear within a second or two of the session's start.
    const int tries = o.dryRun ? 1 : 100;
    return [drive = *drive, tries](const std::function<bool()>& stopped) {
        return AwaitClientDrive(drive, [&drive] { return LookAtDrive(drive); }, stopped, tries,
                                std::chrono::milliseconds(100));
    };
}

int RunWithoutWindow(const TransferOptions& o, std::ostream& out, std::ostream& err,
                     std::function<std::string()> tempNames, FolderWait wait, const RunJournal* journal)
{
    return CopyWithoutWindow(o, out, err, std::move(tempNames), std::move(wait), journal).ExitCode();
}

Outcome CopyWithoutWindow(const TransferOptions& o, std::ostream& out, std::ostream& err,
                          std::function<std::string()> tempNames, FolderWait wait, const RunJournal* journal)
{
    CopySettings settings;
    settings.policy = o.overwrite;
    settings.dryRun = o.dryRun;
    // A dry run shows what the real run would do: a window asks, -hide keeps.
    settings.wouldAsk = !o.hide;
    settings.createTarget = true;
    settings.plan = [&out](Action action, const std::string& relative) {
        out << ActionWord(action) << ' ' << OneLine(relative) << '\n';
    };
    settings.tempNames = std::move(tempNames);
    settings.awaitFolders = std::move(wait);
    TreeCopy copy(AutomaticItems(o), std::move(settings));
    const Outcome outcome = copy.Run();
    out.flush();
    ReportOutcome(outcome, err);
    JournalOutcome(journal, o, outcome);
    return outcome;
}

} // namespace pontlet
