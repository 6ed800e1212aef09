#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// What a copy reports back, and the exit code the tool derives from it.
namespace pontlet {

enum ExitCode : int {
    kExitDone = 0,       // everything copied or decided by a rule
    kExitNotCopied = 1,  // some files not copied, each named with its reason
    kExitUsage = 2,      // wrong usage, refused folders included
    kExitCancelled = 3,  // the user cancelled
};

struct Failure {
    std::filesystem::path path;  // on the source side
    std::string reason;
};

struct Outcome {
    std::size_t copied = 0;
    std::size_t skipped = 0;
    std::uint64_t bytesCopied = 0;  // of the files copied
    std::vector<Failure> failures;
    // Existing files that differ but were kept: no rule said to replace
    // them and there was nobody to ask.
    std::vector<std::filesystem::path> kept;
    bool cancelled = false;

    int ExitCode() const
    {
        if (cancelled)
            return kExitCancelled;
        return failures.empty() && kept.empty() ? kExitDone : kExitNotCopied;
    }
};

} // namespace pontlet
