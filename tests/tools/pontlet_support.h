#pragma once
#include "support/temp_files.h"
#include "tree_copy.h"

#include <filesystem>
#include <string>
#include <vector>

// Real folders for the transfer tool's tests.
namespace pontlettest {

namespace fs = std::filesystem;
using testfiles::Put;
using testfiles::Slurp;

// An empty folder of this test process.
inline fs::path Fresh(const std::string& name)
{
    auto d = testfiles::ScratchDir("pontlet") / name;
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

// Copies everything in `from` into `to`, as an automatic transfer does.
inline pontlet::Outcome CopyContents(const fs::path& from, const fs::path& to, pontlet::CopySettings settings)
{
    settings.createTarget = true;
    return pontlet::TreeCopy({{from, {}, to}}, std::move(settings)).Run();
}

inline pontlet::CopySettings Rule(pontlet::Overwrite policy, pontlet::Asker ask = {})
{
    pontlet::CopySettings s;
    s.policy = policy;
    s.ask = std::move(ask);
    return s;
}

// The names in a folder, sorted.
inline std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace pontlettest
