#pragma once
#include <chrono>

#include "copy_outcome.h"
#include "journal/journal.h"
#include "transfer_options.h"

// What a transfer, automatic or made in the manual window, tells the system
// journal: one summary, and a record for each file not copied; nothing for
// each file copied.
namespace pontlet {

struct RunJournal {
    journal::Journal journal;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

// Nothing without a journal, and nothing for a dry run.
void JournalOutcome(const RunJournal* run, const TransferOptions& options, const Outcome& outcome);
// One copy from `source` into `target` that began at `began`.
void JournalCopy(const RunJournal* run, const std::filesystem::path& source, const std::filesystem::path& target,
                 std::chrono::steady_clock::time_point began, const Outcome& outcome);

} // namespace pontlet
