// The transfer tool: copies between a location's server folder and the
// user's client folder, either by itself (automatic) or by hand (manual).
#include "manual_window.h"
#include "transfer_options.h"
#include "transfer_window.h"

#include <QApplication>

#include <cstdio>

namespace {

int Usage(const std::string& error)
{
    std::fprintf(stderr,
                 "pontlet: %s\n"
                 "usage: pontlet -ServerPath \"DIR\" -ClientPath \"DIR\" -Server2Client|-Client2Server\n"
                 "               [-overwrite|-overwriteIfDiff|-skip] [-hide]\n"
                 "       pontlet -SetServerFileList \"NAME;DIR\" [-ClientPath \"LABEL;DIR\"]\n",
                 error.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace pontlet;
    ParseResult parsed = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok)
        return Usage(parsed.error);
    const TransferOptions& o = parsed.options;

    if (o.mode == Mode::Automatic && o.hide) {
        // Nobody to ask in a hidden transfer: existing files are kept.
        TreeCopy copy(o.serverToClient ? o.serverPath : o.clientPath,
                      o.serverToClient ? o.clientPath : o.serverPath, o.overwrite);
        copy.RunToEnd(nullptr);
        for (const auto& e : copy.Summary().errors)
            std::fprintf(stderr, "pontlet: %s\n", e.c_str());
        return copy.Summary().failed ? 1 : 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Pontlet");
    if (o.mode == Mode::Automatic) {
        TransferWindow window(o);
        window.show();
        window.exec();
        return window.Summary().failed ? 1 : 0;
    }
    ManualWindow window(o);
    window.show();
    return app.exec();
}
