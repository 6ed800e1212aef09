#include "transfer_options.h"

#include "transfer/command_lines.h"

#include <algorithm>
#include <cctype>

namespace pontlet {

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

ListedFolder SplitServerList(const std::string& value)
{
    // The folder is absolute, so a name may hold ';' as long as no '/'
    // follows one.
    auto cut = value.find(";/");
    if (cut == std::string::npos)
        cut = value.find(';');
    if (cut == std::string::npos)
        return {value, value};
    return {value.substr(0, cut), value.substr(cut + 1)};
}

ListedFolder SplitClientList(const std::string& value)
{
    static const std::string kOpen = "Default Directory (";
    static const std::string kClose = ");";
    const std::size_t fixed = kOpen.size() + kClose.size();
    if (value.size() >= fixed && value.compare(0, kOpen.size(), kOpen) == 0 && (value.size() - fixed) % 2 == 0) {
        const std::size_t n = (value.size() - fixed) / 2;
        const std::string folder = value.substr(kOpen.size(), n);
        if (value.compare(kOpen.size() + n, kClose.size(), kClose) == 0 && value.substr(fixed + n) == folder)
            return {value.substr(0, kOpen.size() + n + 1), folder};
    }
    return SplitServerList(value);
}

std::string HelpText()
{
    return "usage: pontlet -ServerPath \"DIR/\" -ClientPath \"DIR/\" -Server2Client|-Client2Server\n"
           "               [-overwrite|-overwriteIfDiff|-skip] [-hide] [--dry-run]\n"
           "       pontlet -SetServerFileList \"NAME;DIR\" [-ClientPath \"Default Directory (DIR);DIR\"]\n"
           "\n"
           "  -ServerPath DIR          the server folder (absolute, not /)\n"
           "  -ClientPath DIR          the client folder; %NAME% and a leading ~ are expanded\n"
           "  -Server2Client           copy the server folder into the client folder\n"
           "  -Client2Server           copy the client folder into the server folder\n"
           "  -overwrite               replace existing files\n"
           "  -overwriteIfDiff         replace existing files whose size or time differs\n"
           "  -skip                    keep existing files\n"
           "  -hide                    no window; without a rule existing files are kept\n"
           "  --dry-run                print copy, overwrite, skip or ask for each file; change nothing\n"
           "  -SetServerFileList N;DIR open server folder DIR, named N (up to the first ;/), beside the client folder\n"
           "  --help                   print this text\n"
           "  --version                print the version\n"
           "\n"
           "exit codes: 0 everything copied or decided by a rule, 1 some files not copied (named on\n"
           "standard error), 2 wrong usage, 3 cancelled\n";
}

ParseResult ParseArguments(const std::vector<std::string>& args)
{
    ParseResult r;
    TransferOptions& o = r.options;
    bool haveServerPath = false, haveClientPath = false, haveDirection = false, haveServerList = false;
    std::string clientPathValue;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string sw = Lower(args[i]);
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (sw == "-serverpath") {
            if (!value(v)) {
                r.error = "-ServerPath needs a folder";
                return r;
            }
            o.serverPath = v;
            haveServerPath = true;
        } else if (sw == "-clientpath") {
            if (!value(clientPathValue)) {
                r.error = "-ClientPath needs a folder";
                return r;
            }
            haveClientPath = true;
        } else if (sw == "-setserverfilelist") {
            if (!value(v)) {
                r.error = "-SetServerFileList needs \"name;folder\"";
                return r;
            }
            o.server = SplitServerList(v);
            haveServerList = true;
        } else if (sw == "-server2client" || sw == "-client2server") {
            if (haveDirection) {
                r.error = "only one of -Server2Client and -Client2Server may be given";
                return r;
            }
            o.serverToClient = sw == "-server2client";
            haveDirection = true;
        } else if (sw == "-overwrite") {
            o.overwrite = Overwrite::Always;
        } else if (sw == "-overwriteifdiff") {
            o.overwrite = Overwrite::IfDifferent;
        } else if (sw == "-skip") {
            o.overwrite = Overwrite::Skip;
        } else if (sw == "-hide") {
            o.hide = true;
        } else if (sw == "--dry-run") {
            o.dryRun = true;
        } else if (sw == "--help") {
            o.showHelp = true;
        } else if (sw == "--version") {
            o.showVersion = true;
        } else {
            r.error = "unknown argument '" + args[i] + "'";
            return r;
        }
    }

    if (o.showHelp || o.showVersion) {
        r.ok = true;
        return r;
    }
    // Quotes in a folder would have split the command line that started us
    // elsewhere than meant.
    for (const std::string& folder : {o.serverPath.string(), clientPathValue, o.server.path.string()}) {
        if (folder.find(static_cast<char>(transfer::kForbiddenFolderCharacter)) != std::string::npos) {
            r.error = "a folder path cannot contain the character \"";
            return r;
        }
    }
    if (haveServerList) {
        if (haveServerPath || haveDirection || o.dryRun) {
            r.error = "-SetServerFileList does not go with -ServerPath, a direction or --dry-run";
            return r;
        }
        o.mode = Mode::Manual;
        if (haveClientPath) {
            o.client = SplitClientList(clientPathValue);
            o.hasClient = true;
        }
        r.ok = true;
        return r;
    }
    if (!haveServerPath || !haveClientPath || !haveDirection) {
        r.error = "an automatic transfer needs -ServerPath, -ClientPath and -Server2Client or -Client2Server";
        return r;
    }
    o.mode = Mode::Automatic;
    o.clientPath = clientPathValue;
    r.ok = true;
    return r;
}

} // namespace pontlet
