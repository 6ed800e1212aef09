#include "tree_copy.h"

#include "folder_rules.h"
#include "platform/path_entries.h"
#include "platform/stop_requests.h"

#include <algorithm>

namespace fs = std::filesystem;
using platform::EntryType;
using platform::FileError;
using platform::FileErrorKind;

namespace pontlet {

// Everything copied comes from an open source folder into an open target
// folder (absent in a dry run whose target folder does not exist yet).
struct TreeCopy::Place {
    const platform::Folder& source;
    const platform::Folder* target;
    fs::path sourcePath;
    fs::path targetPath;
    std::string relative;  // empty at the top of an item
};

// What Prepare read of an item. Its folders are opened again to copy, so
// that a copy of many items never holds more than one item's open.
struct TreeCopy::Root {
    Node node;  // a folder holding what the item copies
    bool ready = false;
};

namespace {

// Attempts at a free temporary name before giving up; each name is random,
// so only a folder filled on purpose ever takes more than one.
constexpr int kTempAttempts = 64;

std::string Join(const std::string& relative, const std::string& name)
{
    return relative.empty() ? name : relative + "/" + name;
}

bool SameTime(platform::FileTime a, platform::FileTime b)
{
    // A file system that keeps whole seconds only has no nanoseconds to match.
    return a.seconds == b.seconds && (a.nanoseconds == b.nanoseconds || a.nanoseconds == 0 || b.nanoseconds == 0);
}

SideFacts Facts(const platform::EntryInfo& info)
{
    return {info.size, info.modified, info.type == EntryType::Link};
}

std::string RandomTempName()
{
    return ".pontlet-" + platform::RandomHex(8);
}

} // namespace

TreeCopy::TreeCopy(std::vector<CopyItem> items, CopySettings settings)
    : m_items(std::move(items)), m_settings(std::move(settings))
{
}

bool TreeCopy::Stopped() const
{
    return m_stop.load() || platform::StopRequested();
}

Progress TreeCopy::Snapshot() const
{
    Progress p;
    p.counting = m_counting.load();
    p.filesTotal = m_filesTotal.load();
    p.filesDone = m_filesDone.load();
    p.bytesTotal = m_bytesTotal.load();
    p.bytesDone = m_bytesDone.load();
    std::lock_guard<std::mutex> lock(m_currentLock);
    p.current = m_current;
    return p;
}

void TreeCopy::SetCurrent(const std::string& relative)
{
    std::lock_guard<std::mutex> lock(m_currentLock);
    m_current = relative;
}

std::string TreeCopy::NextTempName()
{
    return m_settings.tempNames ? m_settings.tempNames() : RandomTempName();
}

Outcome TreeCopy::Run()
{
    if (m_settings.awaitFolders) {
        const std::string why = m_settings.awaitFolders([this] { return Stopped(); });
        m_outcome.cancelled = Stopped();
        if (!why.empty() && !m_outcome.cancelled)
            for (const CopyItem& item : m_items)
                m_outcome.failures.push_back({item.name.empty() ? item.sourceFolder : item.sourceFolder / item.name, why});
        if (!why.empty() || m_outcome.cancelled)
            return std::move(m_outcome);
    }
    std::vector<Root> roots(m_items.size());
    for (std::size_t i = 0; i < m_items.size() && !Stopped(); ++i)
        Prepare(m_items[i], roots[i]);
    m_counting.store(false);
    for (std::size_t i = 0; i < m_items.size() && !Stopped(); ++i) {
        const CopyItem& item = m_items[i];
        if (!roots[i].ready)
            continue;
        platform::Folder source, target;
        FileError e = platform::Folder::Open(item.sourceFolder, source);
        if (!e) {
            e = platform::Folder::Open(item.targetFolder, target);
            if (m_settings.dryRun && e.kind == FileErrorKind::NotFound)
                e = {};  // a dry run into a folder not made yet: everything is new
        }
        const Place top{source, target.IsOpen() ? &target : nullptr, item.sourceFolder, item.targetFolder, {}};
        if (e) {
            for (const Node& child : roots[i].node.children)
                NotCopied(top, child, "cannot open " + item.targetFolder.string() + ": " + e.message);
            continue;
        }
        CopyChildren(top, roots[i].node);
    }
    SetCurrent({});
    m_outcome.cancelled = Stopped();
    return std::move(m_outcome);
}

void TreeCopy::Prepare(const CopyItem& item, Root& root)
{
    const fs::path source = item.name.empty() ? item.sourceFolder : item.sourceFolder / item.name;
    platform::Folder sourceFolder, targetFolder;
    if (auto e = platform::Folder::Open(item.sourceFolder, sourceFolder)) {
        m_outcome.failures.push_back({source, "cannot read the folder: " + e.message});
        return;
    }
    const fs::path target = item.name.empty() ? item.targetFolder : item.targetFolder / item.name;
    if (const fs::path s = Resolved(source), t = Resolved(target); IsWithin(t, s) && t != s) {
        m_outcome.failures.push_back({source, "cannot be copied into itself: " + target.string()});
        return;
    }
    FileError e = platform::Folder::Open(item.targetFolder, targetFolder);
    if (e.kind == FileErrorKind::NotFound && m_settings.createTarget && !m_settings.dryRun) {
        std::error_code ec;
        fs::create_directories(item.targetFolder, ec);
        e = platform::Folder::Open(item.targetFolder, targetFolder);
    }
    if (e && !(m_settings.dryRun && e.kind == FileErrorKind::NotFound)) {
        m_outcome.failures.push_back({source, "cannot open the target folder " + item.targetFolder.string() + ": " +
                                                  e.message});
        return;
    }

    auto scanWith = [&](bool followLinks) {
        root.node = Node();
        root.node.info.type = EntryType::Folder;
        TreeScan scan(followLinks, [this] { return Stopped(); }, m_outcome.failures);
        scan.SetBoundary(platform::ResolveRealPath(item.sourceFolder.string()).path);
        if (item.name.empty()) {
            scan.ScanContents(sourceFolder, item.sourceFolder, root.node);
        } else {
            Node entry;
            if (scan.ScanEntry(sourceFolder, item.name, source, entry))
                root.node.children.push_back(std::move(entry));
        }
        return scan.Links();
    };
    const std::size_t failuresBefore = m_outcome.failures.size();
    // Links are copied as links, unless the target cannot hold them: then
    // what they point to is copied, which needs the tree read again.
    auto holdsLinks = [&] {
        return m_settings.holdsLinks ? m_settings.holdsLinks(targetFolder) : targetFolder.HoldsLinks(NextTempName());
    };
    if (scanWith(false) > 0 && targetFolder.IsOpen() && !m_settings.dryRun && !holdsLinks()) {
        m_outcome.failures.resize(failuresBefore);
        scanWith(true);
    }
    const Totals totals = Count(root.node);
    m_filesTotal += totals.files;
    m_bytesTotal += totals.bytes;
    root.ready = true;
}

void TreeCopy::CopyChildren(const Place& from, const Node& folder)
{
    for (const Node& child : folder.children) {
        if (Stopped())
            return;
        if (child.info.type == EntryType::Folder)
            CopyFolder(from, child);
        else
            CopyLeaf(from, child);
    }
}

void TreeCopy::NotCopied(const Place& from, const Node& node, const std::string& reason)
{
    const Totals totals = Count(node);
    m_outcome.failures.push_back({from.sourcePath / node.name, reason});
    m_filesDone += totals.files;
    m_bytesDone += totals.bytes;
}

void TreeCopy::CopyFolder(const Place& from, const Node& node)
{
    const fs::path targetPath = from.targetPath / node.name;
    platform::Folder source;
    if (auto e = from.source.OpenChild(node.name, node.followed, source))
        return NotCopied(from, node, "cannot read the folder: " + e.message);

    platform::Folder target;
    bool created = false;
    if (from.target) {
        platform::EntryInfo there;
        if (auto e = from.target->Stat(node.name, false, there))
            return NotCopied(from, node, "cannot see " + targetPath.string() + ": " + e.message);
        if (there.type == EntryType::Missing && !m_settings.dryRun) {
            if (auto e = from.target->MakeFolder(node.name))
                return NotCopied(from, node, "cannot create " + targetPath.string() + ": " + e.message);
            created = true;
        } else if (there.type != EntryType::Missing && there.type != EntryType::Folder) {
            return NotCopied(from, node, "something that is not a folder is in the way: " + targetPath.string());
        }
        if (there.type == EntryType::Folder || created) {
            // Never through a link: one swapped in since is refused here.
            if (auto e = from.target->OpenChild(node.name, false, target))
                return NotCopied(from, node, "cannot open " + targetPath.string() + ": " + e.message);
        }
    }
    const Place inner{source, target.IsOpen() ? &target : nullptr, from.sourcePath / node.name, targetPath,
                      Join(from.relative, node.name)};
    CopyChildren(inner, node);
    // Last, as creating what is inside changes the folder's time.
    if (created)
        target.SetModeAndTimes(node.info.mode, node.info.accessed, node.info.modified);
}

std::optional<Action> TreeCopy::Decide(const Place& from, const Node& node, const platform::EntryInfo& there)
{
    if (there.type == EntryType::Missing)
        return Action::Copy;
    if (there.type == EntryType::Folder) {
        NotCopied(from, node, "a folder is in the way: " + (from.targetPath / node.name).string());
        return std::nullopt;
    }
    bool same = false;
    if (node.info.type == EntryType::Link && !node.followed) {
        std::string text;
        same = there.type == EntryType::Link && !from.target->ReadLink(node.name, text) && text == node.linkText;
    } else {
        same = there.type == EntryType::File && there.size == node.info.size &&
            SameTime(there.modified, node.info.modified);
    }
    switch (m_settings.policy) {
    case Overwrite::Always: return Action::Overwrite;
    case Overwrite::Skip: return Action::Skip;
    case Overwrite::IfDifferent: return same ? Action::Skip : Action::Overwrite;
    case Overwrite::Ask: break;
    }
    if (same)
        return Action::Skip;  // an identical file is never asked about
    if (m_replaceAll)
        return *m_replaceAll ? Action::Overwrite : Action::Skip;
    if (m_settings.dryRun ? m_settings.wouldAsk : static_cast<bool>(m_settings.ask))
        return Action::Ask;
    // Nobody to ask: the file is kept, and said to be.
    m_outcome.kept.push_back(from.sourcePath / node.name);
    return Action::Skip;
}

void TreeCopy::CopyLeaf(const Place& from, const Node& node)
{
    const std::string relative = Join(from.relative, node.name);
    SetCurrent(relative);
    const std::uint64_t bytesBefore = m_bytesDone.load();
    platform::EntryInfo there;
    if (from.target) {
        if (auto e = from.target->Stat(node.name, false, there))
            return NotCopied(from, node, "cannot see " + (from.targetPath / node.name).string() + ": " + e.message);
    }
    const std::optional<Action> action = Decide(from, node, there);
    if (!action)
        return;  // counted as not copied
    if (m_settings.dryRun) {
        platform::OpenFile probe;
        platform::EntryInfo info;
        FileError e;
        if (*action != Action::Skip && node.info.type == EntryType::File)
            e = probe.OpenForReading(from.source, node.name, node.followed, info);
        if (e) {
            NotCopied(from, node, "cannot read: " + e.message);
            return;
        }
        if (m_settings.plan)
            m_settings.plan(*action, relative);
        *action == Action::Skip ? ++m_outcome.skipped : ++m_outcome.copied;
    } else {
        bool replace = *action == Action::Copy || *action == Action::Overwrite;
        if (*action == Action::Ask) {
            const Conflict conflict{from.sourcePath / node.name, from.targetPath / node.name, Facts(node.info),
                                    Facts(there)};
            switch (m_settings.ask(conflict)) {
            case Answer::YesToAll: m_replaceAll = true; [[fallthrough]];
            case Answer::Yes: replace = true; break;
            case Answer::NoToAll: m_replaceAll = false; break;
            case Answer::No: break;
            case Answer::Cancel: Cancel(); return;
            }
        }
        if (!replace)
            ++m_outcome.skipped;
        else if (!Replace(from, node))
            return;  // counted as not copied, or cancelled
        else {
            ++m_outcome.copied;
            m_outcome.bytesCopied += node.info.type == EntryType::File ? node.info.size : 0;
        }
    }
    ++m_filesDone;
    m_bytesDone.store(bytesBefore + (node.info.type == EntryType::File ? node.info.size : 0));
}

bool TreeCopy::Replace(const Place& from, const Node& node)
{
    const bool asLink = node.info.type == EntryType::Link && !node.followed;
    FileError e = asLink ? WriteLink(from, node) : WriteFile(from, node);
    if (!e)
        return true;
    if (e.kind != FileErrorKind::Cancelled)
        NotCopied(from, node, e.message);
    return false;
}

FileError TreeCopy::WriteFile(const Place& from, const Node& node)
{
    platform::OpenFile in;
    platform::EntryInfo info;
    if (FileError e = in.OpenForReading(from.source, node.name, node.followed, info)) {
        e.message = "cannot read: " + e.message;
        return e;
    }
    const std::uint64_t before = m_bytesDone.load();
    platform::CopyStep failedAt = platform::CopyStep::Write;
    FileError e = platform::CopyFileInto(
        in, info, *from.target, node.name, true, [this] { return NextTempName(); },
        [&](std::uint64_t copied) {
            m_bytesDone.store(before + std::min(copied, info.size));
            return !Stopped();
        },
        &failedAt);
    if (e && e.kind != FileErrorKind::Cancelled) {
        e.message = failedAt == platform::CopyStep::Create
            ? "cannot write in " + from.targetPath.string() + ": " + e.message
            : "cannot write " + (from.targetPath / node.name).string() + ": " + e.message;
    }
    return e;
}

FileError TreeCopy::WriteLink(const Place& from, const Node& node)
{
    const platform::Folder& target = *from.target;
    std::string temp;
    FileError e;
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        temp = NextTempName();
        e = target.MakeLink(node.linkText, temp);
        if (e.kind != FileErrorKind::Exists)
            break;
    }
    if (!e) {
        target.SetLinkTimes(temp, node.info.accessed, node.info.modified);
        e = target.Rename(temp, node.name);
        if (e)
            target.Remove(temp);
    }
    if (e)
        e.message = "cannot make the link " + (from.targetPath / node.name).string() + ": " + e.message;
    return e;
}

} // namespace pontlet
