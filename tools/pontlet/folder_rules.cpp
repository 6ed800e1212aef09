#include "folder_rules.h"

#include "config/text.h"
#include "platform/path_entries.h"

#include <vector>

namespace fs = std::filesystem;

namespace pontlet {

namespace {

std::vector<fs::path> Components(const fs::path& p)
{
    std::vector<fs::path> parts;
    for (const fs::path& part : p)
        if (!part.empty() && part != ".")
            parts.push_back(part);
    return parts;
}

} // namespace

fs::path Resolved(const fs::path& path)
{
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec)
        resolved = path.lexically_normal();
    if (resolved.has_relative_path() && resolved.filename().empty())
        resolved = resolved.parent_path();
    return resolved;
}

bool IsWithin(const fs::path& inner, const fs::path& outer)
{
    const std::vector<fs::path> in = Components(inner), out = Components(outer);
    if (in.size() < out.size())
        return false;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (in[i] != out[i])
            return false;
    return true;
}

std::string RefuseFolder(const fs::path& path, const std::string& role)
{
    if (path.empty())
        return "no " + role + " given";
    if (!path.is_absolute())
        return "the " + role + " is not an absolute path: " + path.string();
    if (Resolved(path) == path.root_path())
        return "the " + role + " is the root folder: " + path.string();
    return {};
}

std::string RefusePair(const fs::path& server, const fs::path& client)
{
    const fs::path s = Resolved(server), c = Resolved(client);
    if (IsWithin(s, c) && IsWithin(c, s))
        return "the server folder and the client folder are the same folder: " + s.string();
    if (IsWithin(c, s))
        return "the client folder " + c.string() + " lies inside the server folder " + s.string();
    if (IsWithin(s, c))
        return "the server folder " + s.string() + " lies inside the client folder " + c.string();
    return {};
}

std::optional<fs::path> ExpandClientPath(const std::string& received, const transfer::VariableLookup& lookup,
                                         const std::optional<fs::path>& home, std::string& error)
{
    std::string rest = received;
    std::string start;
    // Only the user's own home: "~name" is left as written (and refused as
    // not absolute).
    if (!rest.empty() && rest[0] == '~' && (rest.size() == 1 || rest[1] == '/')) {
        if (!home) {
            error = "the client folder starts with ~, but this user has no home folder";
            return std::nullopt;
        }
        start = home->string();
        rest.erase(0, 1);
    }
    std::u16string expanded;
    if (!transfer::ExpandPath(config::FromUtf8(rest), expanded, lookup)) {
        error = "the client folder is too long once expanded: " + received;
        return std::nullopt;
    }
    return fs::path(start + config::ToUtf8(expanded));
}

ConfinedCopy ConfineCopy(const std::vector<fs::path>& sources, const fs::path& target, const std::string& serverRoot,
                         const std::string& clientRoot)
{
    ConfinedCopy copy;
    const platform::RealPath into = platform::ResolveRealPath(target.string());
    const auto inside = [](const std::string& root, const std::string& path) {
        return !root.empty() && platform::IsSameOrInside(root, path);
    };
    std::string from;  // the root the sources must come from
    if (into.error == 0 && inside(clientRoot, into.path))
        from = serverRoot;
    else if (into.error == 0 && inside(serverRoot, into.path))
        from = clientRoot;
    for (const fs::path& source : sources) {
        // Lexically first, so that a trailing "." or ".." cannot name the
        // folder's parent after the folder was resolved.
        fs::path normal = source.lexically_normal();
        if (normal.has_relative_path() && normal.filename().empty())
            normal = normal.parent_path();
        const std::string name = normal.filename().string();
        const platform::RealPath folder = platform::ResolveRealPath(normal.parent_path().string());
        const std::string located = folder.path == "/" ? "/" + name : folder.path + "/" + name;
        if (from.empty() || !normal.is_absolute() || name.empty() || name == ".." || folder.error != 0 ||
            !inside(from, located))
            copy.refused.push_back(source);
        else
            copy.items.push_back({folder.path, name, into.path});
    }
    if (!copy.refused.empty())
        copy.items.clear();
    return copy;
}

} // namespace pontlet
