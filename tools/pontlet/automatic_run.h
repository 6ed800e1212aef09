#pragma once
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "transfer/expand_path.h"
#include "transfer_options.h"
#include "tree_copy.h"

// The parts of a run that need no window: the folders settled and checked,
// an automatic transfer without a window (-hide or --dry-run), and what is
// said about its outcome.
namespace pontlet {

struct RunJournal;

// Expands the client folder the tool was given (a manual transfer without
// one gets the home folder) and checks both folders. Empty when they may be
// used, else why not (wrong usage: exit code 2).
std::string SettleFolders(TransferOptions& options, const transfer::VariableLookup& lookup,
                          const std::optional<std::filesystem::path>& home);

// The copy an automatic transfer makes: the whole source folder into the
// whole target folder, which is created when missing.
std::vector<CopyItem> AutomaticItems(const TransferOptions& options);

// A dry run's word for an action.
const char* ActionWord(Action action);

// A name on one line of output: control characters are written as \n, \t
// or \xHH and a backslash as \\, so every file stays on its own line.
std::string OneLine(const std::string& text);

// Each file not copied, and each kept without a rule, on its own line.
void ReportOutcome(const Outcome& outcome, std::ostream& err);

// What an automatic transfer waits for before it copies: the client drive
// its client folder lies on (client_drive.h), for a while, or for one look
// in a dry run. Empty when the client folder lies on no client drive.
FolderWait ClientDriveWait(const TransferOptions& options, const std::optional<std::filesystem::path>& home);

// An automatic transfer without a window: dry-run lines go to `out`,
// everything not copied to `err`. Returns the whole outcome.
Outcome CopyWithoutWindow(const TransferOptions& options, std::ostream& out, std::ostream& err,
                          std::function<std::string()> tempNames = {}, FolderWait wait = {},
                          const RunJournal* journal = nullptr);

// As CopyWithoutWindow, returning the exit code.
int RunWithoutWindow(const TransferOptions& options, std::ostream& out, std::ostream& err,
                     std::function<std::string()> tempNames = {}, FolderWait wait = {},
                     const RunJournal* journal = nullptr);

} // namespace pontlet
