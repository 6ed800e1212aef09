#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

// Scratch files for tests that work on real files; header-only so that the
// Qt-free tests can use it without the Qt test support library.
namespace testfiles {

// A folder of this test process under the system's temporary folder.
inline std::filesystem::path ScratchDir(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("quillon-test-" + std::to_string(::getpid())) / name;
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string Slurp(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void Put(const std::filesystem::path& p, const std::string& bytes)
{
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

} // namespace testfiles
