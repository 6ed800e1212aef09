#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "transfer/expand_path.h"
#include "tree_copy.h"

// Which folders the tool copies between, and how it reads the client folder
// it is given.
namespace pontlet {

// The folder a path names once links are followed as far as it exists,
// without a trailing separator.
std::filesystem::path Resolved(const std::filesystem::path& path);

// Whether `inner` is `outer` or lies inside it, by whole path components.
bool IsWithin(const std::filesystem::path& inner, const std::filesystem::path& outer);

// Why `path` cannot be one side of a transfer (empty when it can): it must
// be absolute and must not be the root folder, even through a link. `role`
// names the side in the message ("server folder").
std::string RefuseFolder(const std::filesystem::path& path, const std::string& role);

// Why two folders cannot be copied between (empty when they can): the same
// folder, or either lies inside the other, after following links.
std::string RefusePair(const std::filesystem::path& server, const std::filesystem::path& client);

// The client folder as received, with a leading "~" (alone or before a
// '/') replaced by `home` and %NAME% references expanded as the program
// expands server folders. None, with `error` set, when it cannot be.
std::optional<std::filesystem::path> ExpandClientPath(const std::string& received, const transfer::VariableLookup& lookup,
                                                      const std::optional<std::filesystem::path>& home,
                                                      std::string& error);

// What the manual window may copy. Roots are real paths (empty for a folder
// that does not exist); the target folder must lie, links followed, inside
// one root and every source inside the other. A source is taken where it
// lies: the folder holding it resolved, its own name not followed, so a link
// is copied as a link and never for what it leads to.
struct ConfinedCopy {
    std::vector<CopyItem> items;                 // by real folders
    std::vector<std::filesystem::path> refused;  // as given; any of them: no items
};
ConfinedCopy ConfineCopy(const std::vector<std::filesystem::path>& sources, const std::filesystem::path& target,
                         const std::string& serverRoot, const std::string& clientRoot);

} // namespace pontlet
