// Load and save of a large configuration: 20,000 entries with 10 locations
// each, 69 MB. Throughput is reported as bytes per second; `held_MB` is the
// heap the records keep once read (the file's buffer is freed by then) and
// `file_MB` the file's size, so that the two compare.
#include "config/config_file.h"
#include "large_config.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <malloc.h>
#include <memory>
#include <unistd.h>

namespace {

const CTSUserData& Large()
{
    static const CTSUserData data = bench::MakeLarge(20000, 10, 47);
    return data;
}

std::filesystem::path BenchFile()
{
    static const auto path = std::filesystem::temp_directory_path()
        / ("quillon-bench-" + std::to_string(::getpid()) + ".QLNData");
    return path;
}

void BM_Save(benchmark::State& state)
{
    const auto& data = Large();
    for (auto _ : state) {
        auto r = config::SaveConfigurationFile(BenchFile(), data);
        if (!r)
            state.SkipWithError(r.message.c_str());
    }
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(BenchFile()));
}

double HeapMegabytes()
{
    const struct mallinfo2 m = ::mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / 1e6;
}

// Reads the file as the full read, the session's profile-only read, or the
// walk `quillonctl check` makes, which builds nothing.
void Load(benchmark::State& state, const CTSUserData::EntryRank& rank)
{
    config::SaveConfigurationFile(BenchFile(), Large());
    double held = 0;
    for (auto _ : state) {
        auto data = std::make_unique<CTSUserData>();
        const double before = HeapMegabytes();
        auto r = config::LoadConfigurationFile(BenchFile(), *data, rank);
        if (!r)
            state.SkipWithError(r.message.c_str());
        // Freeing what was read is not part of reading it.
        state.PauseTiming();
        held = HeapMegabytes() - before;
        data.reset();
        state.ResumeTiming();
    }
    const auto size = std::filesystem::file_size(BenchFile());
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["held_MB"] = held;
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}

void BM_Load(benchmark::State& state)
{
    Load(state, {});
}

void BM_LoadProfileOnly(benchmark::State& state)
{
    // An account near the end, with no group entry: the worst case.
    Load(state, [](const std::u16string& name) -> std::size_t { return name == u"QUILLONSRV\\userf19999"; });
}

void BM_CheckWalk(benchmark::State& state)
{
    Load(state, [](const std::u16string&) -> std::size_t { return 0; });
}

void BM_SerializeToMemory(benchmark::State& state)
{
    const auto& data = Large();
    std::size_t bytes = 0;
    for (auto _ : state) {
        config::StringSink sink;
        config::WriteConfiguration(sink, data);
        bytes = sink.Bytes().size();
        benchmark::DoNotOptimize(sink);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

} // namespace

BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadProfileOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckWalk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SerializeToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(BenchFile());
}
