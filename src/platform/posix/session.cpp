#include "platform/session.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <string_view>
#include <unistd.h>

#include "platform/process.h"

namespace platform {

namespace {

// One argument of a command line as the command-line rules read it back.
std::string QuoteArgument(std::string_view arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string_view::npos)
        return std::string(arg);
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

// A session id goes into a command line: only the characters session
// managers use for ids, so that no text of the environment becomes an option.
bool IsPlainSessionId(std::string_view id)
{
    if (id.empty() || id.front() == '-')
        return false;
    for (char c : id) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
                        c == '-' || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

class PosixSessionServices final : public SessionServices {
public:
    bool StartDefaultShell() override { return StartProgram(kDefaultShellCommand); }

    bool ReplaceWithDefaultShell() override { return ReplaceProcess(kDefaultShellCommand); }

    bool OpenHomeFolder() override
    {
        const std::string home = HomeFolder();
        if (home.empty())
            return false;
        return StartProgram("xdg-open " + QuoteArgument(home));
    }

    bool LogoffSession() override
    {
        const char* id = std::getenv("XDG_SESSION_ID");
        if (!id || !IsPlainSessionId(id))
            return false;
        return StartProgram(std::string("loginctl terminate-session ") + id);
    }
};

} // namespace

std::unique_ptr<SessionServices> CreateSystemSessionServices() { return std::make_unique<PosixSessionServices>(); }

} // namespace platform
