// Load and save of a large configuration: 20,000 entries with 10 locations
// each, about 50 MB. Throughput is reported as bytes per second.
#include "config/config_file.h"
#include "large_config.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

const CTSUserData& Large()
{
    static const CTSUserData data = bench::MakeLarge(20000, 10);
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

void BM_Load(benchmark::State& state)
{
    config::SaveConfigurationFile(BenchFile(), Large());
    for (auto _ : state) {
        auto data = std::make_unique<CTSUserData>();
        auto r = config::LoadConfigurationFile(BenchFile(), *data);
        if (!r)
            state.SkipWithError(r.message.c_str());
        // Freeing what was read is not part of reading it.
        state.PauseTiming();
        data.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(BenchFile()));
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
BENCHMARK(BM_SerializeToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(BenchFile());
}
