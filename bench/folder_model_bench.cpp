// Listing a folder of 100,000 empty files in a Details view: our folder model
// against a bare QFileSystemModel in a QListView, in the same run.
//   build/bin/folder_model_bench [--benchmark_filter=...]
// The folder is made once under the temporary folder and removed at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QThread>
#include <QTreeView>
#include <unistd.h>

#include "browser/folder_model.h"

namespace {

constexpr int kFiles = 100000;

const QString& BigFolder()
{
    static const QString folder = [] {
        auto dir = std::filesystem::temp_directory_path() / ("quillon-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        for (int i = 0; i < kFiles; ++i)
            std::ofstream(dir / ("file_" + std::to_string(i) + ".txt"));
        return QString::fromStdString(dir.string());
    }();
    return folder;
}

// Heap in use by every thread, in bytes.
double HeapBytes()
{
    ::malloc_trim(0);
    const struct mallinfo2 m = ::mallinfo2();
    return double(m.uordblks + m.hblkhd);
}

// The longest the GUI thread was busy in one go: how frozen the window felt.
double g_longestStall = 0;

template <typename Pred>
void Spin(Pred done)
{
    QElapsedTimer stall;
    while (!done()) {
        stall.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        g_longestStall = std::max(g_longestStall, stall.nsecsElapsed() / 1e9);
        QThread::usleep(200);
    }
}

void Details(QTreeView& view)
{
    view.setRootIsDecorated(false);
    view.setUniformRowHeights(true);
    view.resize(900, 700);
    view.show();
    QCoreApplication::processEvents();
}

void BM_FolderModelDetails(benchmark::State& state)
{
    const QString folder = BigFolder();
    double firstRows = 0, listed = 0, allRows = 0, resort = 0, heap = 0;
    g_longestStall = 0;
    for (auto _ : state) {
        const double before = HeapBytes();
        QTreeView view;
        browser::FolderModel model;
        view.setModel(&model);
        Details(view);
        QElapsedTimer timer;
        timer.start();
        model.setFolder(folder);
        Spin([&] { return model.rowCount() > 0; });
        view.viewport()->repaint();
        firstRows += timer.nsecsElapsed() / 1e9;
        bool sorted = false;
        auto c = QObject::connect(&model, &QAbstractItemModel::layoutChanged, [&] { sorted = true; });
        Spin([&] { return !model.isLoading(); });
        listed += timer.nsecsElapsed() / 1e9;
        Spin([&] { return sorted; });
        view.viewport()->repaint();
        allRows += timer.nsecsElapsed() / 1e9;
        QObject::disconnect(c);
        heap += HeapBytes() - before;
        sorted = false;
        QObject::connect(&model, &QAbstractItemModel::layoutChanged, [&] { sorted = true; });
        timer.restart();
        view.sortByColumn(browser::FolderModel::ModifiedColumn, Qt::DescendingOrder);
        Spin([&] { return sorted; });
        view.viewport()->repaint();
        resort += timer.nsecsElapsed() / 1e9;
        if (model.rowCount() != kFiles)
            state.SkipWithError("rows missing");
    }
    const double n = double(state.iterations());
    state.counters["first_rows_s"] = firstRows / n;
    state.counters["listed_s"] = listed / n;
    state.counters["all_rows_sorted_s"] = allRows / n;
    state.counters["resort_s"] = resort / n;
    state.counters["listing_MB"] = heap / n / (1024 * 1024);
    state.counters["longest_gui_stall_s"] = g_longestStall;
}
BENCHMARK(BM_FolderModelDetails)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_QFileSystemModelList(benchmark::State& state)
{
    const QString folder = BigFolder();
    double firstRows = 0, allRows = 0, heap = 0;
    g_longestStall = 0;
    for (auto _ : state) {
        const double before = HeapBytes();
        QListView view;
        QFileSystemModel model;
        view.setModel(&model);
        view.resize(900, 700);
        view.show();
        QCoreApplication::processEvents();
        bool loaded = false;
        QObject::connect(&model, &QFileSystemModel::directoryLoaded, [&] { loaded = true; });
        QElapsedTimer timer;
        timer.start();
        const QModelIndex root = model.setRootPath(folder);
        view.setRootIndex(root);
        Spin([&] { return model.rowCount(root) > 0; });
        view.viewport()->repaint();
        firstRows += timer.nsecsElapsed() / 1e9;
        Spin([&] { return loaded && model.rowCount(root) >= kFiles; });
        view.viewport()->repaint();
        allRows += timer.nsecsElapsed() / 1e9;
        heap += HeapBytes() - before;
    }
    const double n = double(state.iterations());
    state.counters["first_rows_s"] = firstRows / n;
    state.counters["all_rows_s"] = allRows / n;
    state.counters["listing_MB"] = heap / n / (1024 * 1024);
    state.counters["longest_gui_stall_s"] = g_longestStall;
}
BENCHMARK(BM_QFileSystemModelList)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    BigFolder();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(BigFolder().toStdString());
    return 0;
}
