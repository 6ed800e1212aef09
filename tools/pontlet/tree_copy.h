#pragma once
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "copy_outcome.h"
#include "transfer_options.h"
#include "tree_scan.h"

// Copies folder trees by the overwrite rules. The whole source is read
// first, so the files and bytes to do are known before copying starts. Each
// file is written under an unpredictable temporary name created exclusively
// beside its target and renamed over it only once complete, so neither an
// interruption nor a full disk leaves half a file under a real name, and a
// link planted at any name is never written through. Run() belongs on a
// worker thread; Cancel() and Snapshot() may be called from any other.
namespace pontlet {

enum class Answer { Yes, YesToAll, No, NoToAll, Cancel };
// What a dry run says for one file.
enum class Action { Copy, Overwrite, Skip, Ask };

struct SideFacts {
    std::uint64_t size = 0;
    platform::FileTime modified;
    bool link = false;
};

// An existing target that differs from its source, for the question.
struct Conflict {
    std::filesystem::path source;
    std::filesystem::path target;
    SideFacts sourceFacts;
    SideFacts targetFacts;
};
using Asker = std::function<Answer(const Conflict&)>;
// Waits until the folders can be used, `stopped` saying when to give up;
// empty then, else why nothing can be copied.
using FolderWait = std::function<std::string(const std::function<bool()>& stopped)>;

// One thing to copy: the entry `name` of `sourceFolder` into `targetFolder`,
// or, with an empty name, everything inside `sourceFolder`.
struct CopyItem {
    std::filesystem::path sourceFolder;
    std::string name;
    std::filesystem::path targetFolder;
};

struct CopySettings {
    Overwrite policy = Overwrite::Ask;
    // Asked about each differing file under Ask; without one such files are
    // kept (and reported as kept).
    Asker ask;
    // Makes no change; `plan` hears what each file would get.
    bool dryRun = false;
    // For a dry run under Ask: whether a real run would have somebody to ask.
    bool wouldAsk = false;
    std::function<void(Action, const std::string& relative)> plan;
    // A missing target folder of a whole-folder item is created.
    bool createTarget = false;
    // Temporary names; unpredictable ones unless a test says otherwise.
    std::function<std::string()> tempNames;
    // Whether a target folder can hold links; by default a link is tried.
    std::function<bool(const platform::Folder&)> holdsLinks;
    // Waited on before anything is read or made; a reason fails every item.
    FolderWait awaitFolders;
};

struct Progress {
    bool counting = true;
    std::uint64_t filesTotal = 0;
    std::uint64_t filesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::string current;  // relative path of the file at hand
};

class TreeCopy {
public:
    TreeCopy(std::vector<CopyItem> items, CopySettings settings);

    Outcome Run();
    void Cancel() { m_stop.store(true); }
    Progress Snapshot() const;

private:
    struct Root;
    struct Place;

    void Prepare(const CopyItem& item, Root& root);
    void CopyChildren(const Place& from, const Node& folder);
    void CopyEntry(const Place& from, const Node& node);
    void CopyFolder(const Place& from, const Node& node);
    void CopyLeaf(const Place& from, const Node& node);
    std::optional<Action> Decide(const Place& from, const Node& node, const platform::EntryInfo& target);
    bool Replace(const Place& from, const Node& node);
    platform::FileError WriteFile(const Place& from, const Node& node);
    platform::FileError WriteLink(const Place& from, const Node& node);
    std::string NextTempName();
    bool Stopped() const;
    void NotCopied(const Place& from, const Node& node, const std::string& reason);
    void Done(const Node& node);
    void SetCurrent(const std::string& relative);

    std::vector<CopyItem> m_items;
    CopySettings m_settings;
    std::optional<bool> m_replaceAll;  // from "Yes to All" or "No to All"
    Outcome m_outcome;
    std::atomic<bool> m_stop{false};

    std::atomic<bool> m_counting{true};
    std::atomic<std::uint64_t> m_filesTotal{0};
    std::atomic<std::uint64_t> m_filesDone{0};
    std::atomic<std::uint64_t> m_bytesTotal{0};
    std::atomic<std::uint64_t> m_bytesDone{0};
    mutable std::mutex m_currentLock;
    std::string m_current;
};

} // namespace pontlet
