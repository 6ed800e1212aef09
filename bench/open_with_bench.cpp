// What one opening costs in the user's view before the program starts: the
// table read and parsed anew, the file's type from name and content, and
// the first matching line. Run against a table of 200 lines whose match is
// the last, and one whose match is the first.
#include "opening/file_opener.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path Folder()
{
    static const fs::path dir = [] {
        const fs::path d = fs::temp_directory_path() / ("quillon-open-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::ofstream(d / "report.pdf") << "%PDF-1.4\n";
        std::ofstream last(d / "last.conf");
        for (int i = 0; i < 199; ++i)
            last << "application/x-type-" << i << " /usr/bin/viewer-" << i << " --flag '%f'\n";
        last << "application/pdf /usr/bin/pdfviewer %f\n";
        std::ofstream(d / "first.conf") << "application/pdf /usr/bin/pdfviewer %f\n";
        return d;
    }();
    return dir;
}

void BM_DecideOpen(benchmark::State& state, const char* table)
{
    const QUrl file = QUrl::fromLocalFile(QString::fromStdString((Folder() / "report.pdf").string()));
    for (auto _ : state) {
        opening::OpenDecision decision = opening::DecideOpen(file, Folder() / table);
        if (decision.argv.empty())
            state.SkipWithError("no line matched");
        benchmark::DoNotOptimize(decision);
    }
}
BENCHMARK_CAPTURE(BM_DecideOpen, table_of_1_line, "first.conf")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DecideOpen, table_of_200_lines, "last.conf")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(Folder());
    return 0;
}
