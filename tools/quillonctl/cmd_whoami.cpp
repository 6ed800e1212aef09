#include "cmd_whoami.h"

#include "accounts/administrator.h"
#include "accounts/net_management.h"
#include "accounts/profile.h"
#include "config/config_file.h"
#include "config/text.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace quillonctl {

int WhoamiWith(platform::AccountServices& services, const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.size() > 1) {
        err << "usage: quillonctl whoami [FILE]\n";
        return kExitUsage;
    }
    accounts::NetManagement net({}, services);
    std::u16string account;
    net.GetCurrentAccountName(account);
    accounts::NetManagement::NetItemList groups;
    net.GetUserGroups(groups);
    // The test's diagnostic line would spoil the JSON on standard output.
    const bool administrator = accounts::IsAdministrator(services, err);

    // Without a readable configuration the user would get a new entry, as the
    // program gives them; that is an answer, not a failure. Read as a
    // session start reads it: only the profile is built.
    CTSUserData data;
    const std::string file = FileArgument(args);
    if (config::StoreResult r =
            config::LoadConfigurationFile(file, data, accounts::ProfileCandidates(account, groups));
        !r)
        err << "quillonctl: " << r.message << "; no configuration read\n";
    const accounts::Profile profile = accounts::ResolveProfile(data, account, groups);

    nlohmann::ordered_json j;
    j["account"] = config::ToUtf8(account);
    j["groups"] = nlohmann::ordered_json::array();
    for (const auto& g : groups)
        j["groups"].push_back(config::ToUtf8(g.name));
    j["administrator"] = administrator;
    j["profile"] = {{"name", config::ToUtf8(profile.entry->m_strName)},
                    {"matchedBy", accounts::ProfileMatchName(profile.matchedBy)}};
    out << j.dump(2) << '\n';
    return kExitOk;
}

int Whoami(const Args& args, std::ostream& out, std::ostream& err)
{
    auto services = platform::CreateSystemAccountServices();
    return WhoamiWith(*services, args, out, err);
}

} // namespace quillonctl
