#include "tree_scan.h"

#include <algorithm>

#include "platform/path_entries.h"

namespace fs = std::filesystem;

namespace pontlet {

namespace {

const char* SpecialKind(platform::EntryType type)
{
    switch (type) {
    case platform::EntryType::Fifo: return "a FIFO";
    case platform::EntryType::Socket: return "a socket";
    case platform::EntryType::Device: return "a device";
    default: return "neither a file, a folder nor a link";
    }
}

void AddUp(const Node& node, Totals& totals)
{
    if (node.info.type == platform::EntryType::Folder) {
        for (const Node& child : node.children)
            AddUp(child, totals);
        return;
    }
    ++totals.files;
    if (node.info.type == platform::EntryType::File)
        totals.bytes += node.info.size;
}

} // namespace

Totals Count(const Node& node)
{
    Totals totals;
    AddUp(node, totals);
    return totals;
}

TreeScan::TreeScan(bool followLinks, std::function<bool()> stopped, std::vector<Failure>& failures)
    : m_followLinks(followLinks), m_stopped(std::move(stopped)), m_failures(failures)
{
}

void TreeScan::Fail(const fs::path& path, std::string reason)
{
    m_failures.push_back({path, std::move(reason)});
}

bool TreeScan::ScanContents(const platform::Folder& folder, const fs::path& path, Node& root)
{
    root.info.type = platform::EntryType::Folder;
    platform::EntryInfo self;
    if (!folder.Info(self))
        m_ancestors.push_back({self.device, self.inode});
    const bool listed = ScanFolder(folder, path, root);
    m_ancestors.clear();
    return listed;
}

bool TreeScan::ScanFolder(const platform::Folder& folder, const fs::path& path, Node& node)
{
    std::vector<std::string> names;
    if (auto e = folder.List(names)) {
        Fail(path, "cannot read the folder: " + e.message);
        return false;
    }
    // Byte order, so that a dry run and the copy go the same way every time.
    std::sort(names.begin(), names.end());
    node.children.reserve(names.size());
    for (const std::string& name : names) {
        if (m_stopped())
            break;
        Node child;
        if (ScanEntry(folder, name, path / name, child))
            node.children.push_back(std::move(child));
    }
    return true;
}

bool TreeScan::ScanEntry(const platform::Folder& parent, const std::string& name, const fs::path& path, Node& out)
{
    out.name = name;
    if (auto e = parent.Stat(name, false, out.info)) {
        Fail(path, "cannot read: " + e.message);
        return false;
    }
    using platform::EntryType;
    if (out.info.type == EntryType::Missing) {
        Fail(path, "removed while being read");
        return false;
    }
    if (out.info.type == EntryType::Link) {
        if (!m_followLinks) {
            if (auto e = parent.ReadLink(name, out.linkText)) {
                Fail(path, "cannot read the link: " + e.message);
                return false;
            }
            ++m_totals.files;
            ++m_links;
            return true;
        }
        // The target cannot hold links: what the link points to is copied.
        if (auto e = parent.Stat(name, true, out.info)) {
            Fail(path, "the link leads nowhere: " + e.message);
            return false;
        }
        if (out.info.type == EntryType::Missing) {
            Fail(path, "the link leads nowhere and the target cannot hold links");
            return false;
        }
        if (!m_boundary.empty()) {
            const platform::RealPath real = platform::ResolveRealPath(path.string());
            if (real.error != 0 || !platform::IsSameOrInside(m_boundary, real.path)) {
                Fail(path, "the link leads outside the folder and the target cannot hold links");
                return false;
            }
        }
        out.followed = true;
    }
    switch (out.info.type) {
    case EntryType::File:
        ++m_totals.files;
        m_totals.bytes += out.info.size;
        return true;
    case EntryType::Folder: {
        const Identity id{out.info.device, out.info.inode};
        if (std::find(m_ancestors.begin(), m_ancestors.end(), id) != m_ancestors.end()) {
            Fail(path, "a loop: leads back to a folder that contains it");
            return false;
        }
        platform::Folder folder;
        if (auto e = parent.OpenChild(name, out.followed, folder)) {
            Fail(path, "cannot read the folder: " + e.message);
            return false;
        }
        // A folder that cannot be listed is not copied at all: made empty
        // on the other side it would look complete.
        m_ancestors.push_back(id);
        const bool listed = ScanFolder(folder, path, out);
        m_ancestors.pop_back();
        return listed;
    }
    default:
        Fail(path, std::string("skipped: ") + SpecialKind(out.info.type));
        return false;
    }
}

} // namespace pontlet
