// The statistics benchmark: a collection over a tree as the statistics
// window runs it (every entry kind, hidden folders entered, every
// accumulator fed in one pass), on a worker thread while this thread polls
// the progress 30 times a second. Prints the wall time, files per second,
// the figures' checks and the peak resident memory, which depends on the
// number of extensions and of hard-linked files, not on the number of files.
//
//   stats_bench [--runs N] TREE
//
// With several runs the best time is printed.

#include "stats/StatsCollection.h"

#include <QByteArray>
#include <QDateTime>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
    QByteArray tree;
    bool usable = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (tree.isEmpty() && !a.empty() && a[0] != '-')
            tree = QByteArray(argv[i]);
        else
            usable = false;
    }
    if (!usable || tree.isEmpty()) {
        std::fprintf(stderr, "usage: stats_bench [--runs N] TREE\n");
        return 2;
    }
    while (tree.size() > 1 && tree.endsWith('/'))
        tree.chop(1);

    const long rssBefore = peakRssKiB();
    double best = 0;
    vantrel::StatsTotals totals;
    vantrel::WalkReport report;
    for (int run = 0; run < runs; ++run) {
        vantrel::ScanControl control;
        vantrel::StatsAccumulator accumulator;
        accumulator.start(vantrel::TypeSelection(), QDateTime::currentSecsSinceEpoch());
        std::atomic<bool> done{false};
        const auto start = std::chrono::steady_clock::now();
        std::thread worker([&] {
            report = vantrel::collectStatistics({vantrel::DriveEntry{tree, "folder"}}, {true},
                                                accumulator, control);
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
        totals = accumulator.totals();
        (void)polls;
    }
    std::printf(
        "stats: %lld files processed, %lld found (%lld bytes, %lld allocated), %lld types, "
        "%.3f s (best of %d), %.0f files/s, peak RSS %.1f MiB (%.1f MiB before the walk)\n",
        static_cast<long long>(totals.filesProcessed), static_cast<long long>(totals.filesFound),
        static_cast<long long>(totals.totalBytes()), static_cast<long long>(totals.allocatedBytes),
        static_cast<long long>(totals.types.size()), best, runs,
        double(totals.filesProcessed) / best, double(peakRssKiB()) / 1024.0,
        double(rssBefore) / 1024.0);
    if (!report.errors.isEmpty())
        std::fprintf(stderr, "stats_bench: %lld errors, first: %s\n",
                     static_cast<long long>(report.errors.size()),
                     qPrintable(report.errors.first().message()));
    return 0;
}
