#include "outcome_journal.h"

#include <algorithm>

#include "automatic_run.h"
#include "journal/events.h"

namespace pontlet {

void JournalOutcome(const RunJournal* run, const TransferOptions& o, const Outcome& outcome)
{
    if (!run || o.dryRun)
        return;
    const CopyItem item = AutomaticItems(o).front();
    JournalCopy(run, item.sourceFolder, item.targetFolder, run->started, outcome);
}

void JournalCopy(const RunJournal* run, const std::filesystem::path& source, const std::filesystem::path& target,
                 std::chrono::steady_clock::time_point began, const Outcome& outcome)
{
    if (!run)
        return;
    for (const Failure& f : outcome.failures)
        run->journal.Write(journal::FileFailed(f.path.string(), f.reason));
    journal::CopyCounts counts;
    counts.copied = outcome.copied;
    counts.kept = outcome.kept.size();
    counts.skipped = outcome.skipped - std::min(outcome.skipped, counts.kept);  // kept files are skipped too
    counts.failed = outcome.failures.size();
    counts.bytes = outcome.bytesCopied;
    counts.cancelled = outcome.cancelled;
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - began;
    run->journal.Write(journal::TransferSummary(source.string(), target.string(), counts, seconds.count()));
}

} // namespace pontlet
