#include "hidden_run.h"

#include <QObject>

#include "automatic_run.h"
#include "pontlet_prompts.h"
#include "progress_window.h"

namespace pontlet {

QString AutomaticTitle(const TransferOptions& o)
{
    return o.serverToClient ? QObject::tr("Pontlet - Sending Files To Client")
                            : QObject::tr("Pontlet - Sending Files To Server");
}

int RunHidden(const TransferOptions& o, const std::string& refusal, std::ostream& out, std::ostream& err,
              const OpenPrompts& open, FolderWait wait, const RunJournal* journal)
{
    if (!refusal.empty()) {
        // Standard error has had it already.
        if (!o.dryRun)
            if (Prompts* prompts = open(kExitUsage))
                prompts->Tell(nullptr, AutomaticTitle(o), QString::fromStdString(refusal), {});
        return kExitUsage;
    }
    const Outcome outcome = CopyWithoutWindow(o, out, err, {}, std::move(wait), journal);
    const int code = outcome.ExitCode();
    if (o.dryRun || code != kExitNotCopied)
        return code;
    if (Prompts* prompts = open(code))
        TellOutcome(*prompts, nullptr, AutomaticTitle(o), outcome);
    return code;
}

} // namespace pontlet
