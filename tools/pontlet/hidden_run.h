#pragma once
#include <QString>

#include <functional>
#include <iosfwd>
#include <string>

#include "transfer_options.h"
#include "tree_copy.h"

namespace pontlet {

class Prompts;
struct RunJournal;

// The title of an automatic transfer's windows, naming its direction.
QString AutomaticTitle(const TransferOptions& options);

// Opens the display at the first report (only then, so that a transfer that
// goes well needs none). Null where no display opens; `exitCode` is what the
// program ends with then.
using OpenPrompts = std::function<Prompts*(int exitCode)>;

// An automatic transfer without a progress window (-hide or --dry-run), its
// folders settled: `refusal` says why they may not be used, empty when they
// may. Hidden means no progress window, not no report: what a hidden
// transfer leaves not copied, a refusal included, is told once at its end,
// besides standard error. A dry run only writes. `wait` is what the copy
// waits for first (a late client drive). Returns the exit code.
int RunHidden(const TransferOptions& options, const std::string& refusal, std::ostream& out, std::ostream& err,
              const OpenPrompts& open, FolderWait wait = {}, const RunJournal* journal = nullptr);

} // namespace pontlet
