// The folder-hogs benchmark: a survey of a tree as the window runs it
// ("&Main folders" or "&All Folders": every entry, hidden folders entered,
// hard links counted once), on a worker thread while this thread polls the
// progress 30 times a second, without the window. Prints the wall time, the
// drive's total (which equals `du -sxb TREE`), the peak resident memory and
// what the survey holds per folder: the growth of the peak over the peak
// before the survey, and the engine's own rows and names.
//
//   dirhog_bench [--all] [--runs N] TREE
//
// With several runs the best time is printed.

#include "dirhog/FolderHogGrid.h"
#include "dirhog/FolderSurvey.h"

#include <QByteArray>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <thread>

namespace {

long peakRssKiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 1;
    bool all = false;
    QByteArray tree;
    bool usable = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--all")
            all = true;
        else if (tree.isEmpty() && !a.empty() && a[0] != '-')
            tree = QByteArray(argv[i]);
        else
            usable = false;
    }
    if (!usable || tree.isEmpty()) {
        std::fprintf(stderr, "usage: dirhog_bench [--all] [--runs N] TREE\n");
        return 2;
    }

    vantrel::SurveyOptions options;
    options.mode = all ? vantrel::SurveyMode::AllFolders : vantrel::SurveyMode::MainFolders;
    double best = 0;
    long rssBefore = 0;
    long rssPeak = 0;
    std::unique_ptr<vantrel::FolderSurvey> survey;
    vantrel::WalkReport report;
    for (int run = 0; run < runs; ++run) {
        survey.reset();
        // Memory is measured over the first run, before anything was freed.
        if (run == 0)
            rssBefore = peakRssKiB();
        survey = std::make_unique<vantrel::FolderSurvey>(options);
        vantrel::ScanControl control;
        std::atomic<bool> done{false};
        const auto start = std::chrono::steady_clock::now();
        std::thread worker([&] {
            report = survey->run(tree, control);
            done.store(true, std::memory_order_release);
        });
        quint64 polls = 0;
        while (!done.load(std::memory_order_acquire)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(33));
            polls += control.progress.snapshot().generation;
        }
        worker.join();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best)
            best = seconds;
        if (run == 0)
            rssPeak = peakRssKiB();
        (void)polls;
    }

    // The rows' texts, as the window makes them for the grid.
    const auto start = std::chrono::steady_clock::now();
    qint64 textBytes = 0;
    vantrel::FolderHogRows rows(*survey);
    for (qsizetype row : survey->bySizeDescending())
        textBytes += rows.row(row).cells.value(5).size();
    const double rowSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const vantrel::SurveyedRoot root = survey->roots().value(0);
    const double folders = double(std::max<qint64>(report.folders, 1));
    std::printf(
        "folder hogs (%s): %lld rows of %lld folders, total %lld bytes in %lld files, %.3f s "
        "(best of %d), rows' texts %.3f s; peak RSS %.1f MiB (%.1f MiB before the survey), "
        "%.0f bytes a folder (engine: %.0f)\n",
        all ? "all folders" : "main folders", static_cast<long long>(survey->rowCount()),
        static_cast<long long>(report.folders), static_cast<long long>(root.total.bytes),
        static_cast<long long>(root.total.files), best, runs, rowSeconds, double(rssPeak) / 1024.0,
        double(rssBefore) / 1024.0, double(rssPeak - rssBefore) * 1024.0 / folders,
        double(survey->memoryUsed()) / folders);
    (void)textBytes;
    if (!report.errors.isEmpty())
        std::fprintf(stderr, "dirhog_bench: %lld errors, first: %s\n",
                     static_cast<long long>(report.errors.size()),
                     qPrintable(report.errors.first().message()));
    return 0;
}
