#pragma once
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "transfer_options.h"

// Copies one folder tree into another, one file per step so that a window
// can stay responsive and show progress. A file is written beside its target
// and renamed over it, so an interrupted copy never leaves half a file in
// place of a good one.
namespace pontlet {

enum class Answer { Yes, YesToAll, No, NoToAll, Cancel };
// Asked, in "ask" mode, whether an existing target may be replaced.
using Asker = std::function<Answer(const std::filesystem::path& source, const std::filesystem::path& target)>;

struct CopySummary {
    std::size_t copied = 0;
    std::size_t skipped = 0;
    std::size_t failed = 0;
    bool cancelled = false;
    std::vector<std::string> errors;
};

// Copies one file through a temporary name beside the target, keeping the
// source's time stamp. False with `error` set when it could not.
bool CopyFileSafely(const std::filesystem::path& source, const std::filesystem::path& target, std::string& error);

class TreeCopy {
public:
    TreeCopy(std::filesystem::path from, std::filesystem::path to, Overwrite policy);

    // Processes the next entry; false when there is nothing left.
    bool Step(const Asker& ask);
    void RunToEnd(const Asker& ask);

    const CopySummary& Summary() const { return m_summary; }
    const std::filesystem::path& Current() const { return m_current; }

private:
    bool Start();
    void CopyFile(const std::filesystem::path& source, const std::filesystem::path& target);
    bool MayReplace(const std::filesystem::path& source, const std::filesystem::path& target, const Asker& ask);
    void Fail(const std::filesystem::path& p, const std::string& what);

    std::filesystem::path m_from;
    std::filesystem::path m_to;
    Overwrite m_policy;
    std::optional<std::filesystem::recursive_directory_iterator> m_it;
    bool m_started = false;
    bool m_done = false;
    std::filesystem::path m_current;
    CopySummary m_summary;
};

} // namespace pontlet
