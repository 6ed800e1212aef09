#include "transfer_options.h"

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

ListedFolder SplitListedFolder(const std::string& value)
{
    auto cut = value.rfind(';');
    if (cut == std::string::npos)
        return {value, value};
    return {value.substr(0, cut), value.substr(cut + 1)};
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
            o.server = SplitListedFolder(v);
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
        } else {
            r.error = "unknown argument '" + args[i] + "'";
            return r;
        }
    }

    if (haveServerList) {
        if (haveServerPath || haveDirection) {
            r.error = "-SetServerFileList does not go with -ServerPath or a direction";
            return r;
        }
        o.mode = Mode::Manual;
        if (haveClientPath) {
            o.client = SplitListedFolder(clientPathValue);
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
