#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "copy_outcome.h"
#include "platform/tree_files.h"

// The source tree, read whole before anything is copied, so that the number
// of files and bytes is known up front. Only what can be copied becomes a
// node; what cannot (an unreadable folder, a FIFO, a link loop) is named as a
// failure here.
namespace pontlet {

struct Node {
    std::string name;
    platform::EntryInfo info;  // File, Folder or Link
    std::string linkText;      // for a link copied as a link
    bool followed = false;     // a link taken for what it points to
    std::vector<Node> children;
};

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

// Files and bytes of a node and everything under it.
Totals Count(const Node& node);

class TreeScan {
public:
    // With `followLinks` a link is taken for what it points to (for targets
    // that cannot hold links); a link to a folder that contains it is a loop
    // and is not followed.
    TreeScan(bool followLinks, std::function<bool()> stopped, std::vector<Failure>& failures);

    // A followed link must lead to a place inside this real path; one that
    // leads elsewhere is named as not copied, so that a link cannot carry the
    // rest of the server across. Empty: no bound.
    void SetBoundary(std::string realPath) { m_boundary = std::move(realPath); }

    // Everything inside `folder` (shown as `path`) into `root.children`;
    // false when the folder cannot be listed.
    bool ScanContents(const platform::Folder& folder, const std::filesystem::path& path, Node& root);
    // The one entry `name` of `parent` (shown as `path`); false when it
    // cannot be copied (a failure says why).
    bool ScanEntry(const platform::Folder& parent, const std::string& name, const std::filesystem::path& path,
                   Node& out);

    const Totals& Found() const { return m_totals; }
    // Links seen and kept as links.
    std::uint64_t Links() const { return m_links; }

private:
    struct Identity {
        std::uint64_t device;
        std::uint64_t inode;
        bool operator==(const Identity&) const = default;
    };

    bool ScanFolder(const platform::Folder& folder, const std::filesystem::path& path, Node& node);
    void Fail(const std::filesystem::path& path, std::string reason);

    bool m_followLinks;
    std::string m_boundary;
    std::function<bool()> m_stopped;
    std::vector<Failure>& m_failures;
    std::vector<Identity> m_ancestors;  // the folders being read, outermost first
    Totals m_totals;
    std::uint64_t m_links = 0;
};

} // namespace pontlet
