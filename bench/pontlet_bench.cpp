// The transfer tool against `cp -a` on the same trees in the same run:
// 10,000 small files (100 folders of 100, 100 B to 4 KB) and one 1 GB file.
// Each copy goes into a target folder that does not exist yet, as a first
// transfer does. The trees live under the temporary folder (TMPDIR), so
// the same program measures a disk or, with TMPDIR=/dev/shm, memory alone.
//
//   build/bin/pontlet_bench [--benchmark_filter=SmallFiles]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path& Dir()
{
    static const fs::path dir = fs::temp_directory_path() / ("quillon-pontlet-bench-" + std::to_string(::getpid()));
    return dir;
}

const fs::path& SmallFiles()
{
    static const fs::path tree = [] {
        const fs::path root = Dir() / "small";
        const std::string bytes(4096, 'q');
        for (int i = 0; i < 10000; ++i) {
            const fs::path folder = root / ("folder " + std::to_string(i / 100));
            fs::create_directories(folder);
            std::ofstream(folder / ("file " + std::to_string(i) + ".txt"), std::ios::binary)
                .write(bytes.data(), 100 + (i * 37) % 3997);
        }
        return root;
    }();
    return tree;
}

const fs::path& OneBigFile()
{
    static const fs::path tree = [] {
        const fs::path root = Dir() / "big";
        fs::create_directories(root);
        std::vector<char> block(1 << 20);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>(i * 131 + i / 7);
        std::ofstream out(root / "disk image.iso", std::ios::binary);
        for (int i = 0; i < 1024; ++i)
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        return root;
    }();
    return tree;
}

std::string Quote(const fs::path& p)
{
    return "'" + p.string() + "'";
}

std::string PontletCopy(const fs::path& from, const fs::path& to)
{
    return Quote(QUILLON_PONTLET) + " -ServerPath " + Quote(from.string() + "/") + " -ClientPath " +
        Quote(to.string() + "/") + " -Server2Client -overwrite -hide";
}

std::string CpCopy(const fs::path& from, const fs::path& to)
{
    return "cp -a " + Quote(from) + " " + Quote(to);
}

// Seconds one copy into a fresh target takes; the removal of the previous
// target and the flush of what it left are not counted.
double Timed(const std::string& command, const fs::path& to, benchmark::State& state)
{
    fs::remove_all(to);
    ::sync();
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        state.SkipWithError(("failed: " + command).c_str());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Both tools on the same tree, taking turns to go first so that neither
// always finds the other's leftovers being flushed. The time shown is
// pontlet's; the counters give both medians and their ratio.
void Compare(benchmark::State& state, const fs::path& from)
{
    const fs::path to = Dir() / "target";
    const std::string ours = PontletCopy(from, to), theirs = CpCopy(from, to);
    std::vector<double> pontlet, cp;
    for (auto _ : state) {
        const bool pontletFirst = pontlet.size() % 2 == 0;
        if (!pontletFirst)
            cp.push_back(Timed(theirs, to, state));
        pontlet.push_back(Timed(ours, to, state));
        if (pontletFirst)
            cp.push_back(Timed(theirs, to, state));
        state.SetIterationTime(pontlet.back());
    }
    fs::remove_all(to);
    state.counters["pontlet_s"] = Median(pontlet);
    state.counters["cp_a_s"] = Median(cp);
    state.counters["ratio"] = Median(pontlet) / Median(cp);
}

void BM_SmallFiles(benchmark::State& state) { Compare(state, SmallFiles()); }
void BM_OneBigFile(benchmark::State& state) { Compare(state, OneBigFile()); }

} // namespace

BENCHMARK(BM_SmallFiles)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(BM_OneBigFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(Dir());
    return 0;
}
