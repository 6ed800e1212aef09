#include "outcome_journal.h"

#include <algorithm>

#include "automatic_run.h"
#include "journal/events.h"

namespace pontlet {

void JournalOutcome(const RunJournal* run, const TransferOptions& o, const Outcome& outcome)
{
    if (!run || o.dryRun)
        return;
    for (const Failure& f : outcome.failures)
        run->journal.Write(journal::FileFailed(f.path.string(), f.reason));
    const CopyItem item = AutomaticItems(o).front();
    journal::CopyCounts counts;
    counts.copied = outcome.copied;
    counts.kept = outcome.kept.size();
    counts.skipped = outcome.skipped - std::min(outcome.skipped, counts.kept);  // kept files are skipped too
    counts.failed = outcome.failures.size();
    counts.bytes = outcome.bytesCopied;
    counts.cancelled = outcome.cancelled;
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - run->started;
    run->journal.Write(
        journal::TransferSummary(item.sourceFolder.string(), item.targetFolder.string(), counts, seconds.count()));
}

} // namespace pontlet
