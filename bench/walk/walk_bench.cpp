// The walk benchmark: walks a tree with the walk engine as the duplicates
// tool does (pattern "*.*", hidden, system and folder entries left out, a
// full record of every file handed on), on a worker thread while this thread
// polls the progress 30 times a second, as a tool window does. Prints the
// wall time, files per second and the peak resident memory.
//
//   walk_bench [--runs N] [--threads N] TREE
//
// --threads sets the walk's reading threads (1: the walking thread alone);
// without it the walk picks its default.
//
// With several runs the best time is printed.

#include "scan/Walker.h"

#include <QByteArray>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

namespace {

using vantrel::FileRecord;

// What the duplicates tool reads of each file: name, size, the three dates.
class Collector final : public vantrel::WalkVisitor {
public:
    void entry(const QByteArray& folder, const FileRecord& r) override {
        ++files;
        bytes += quint64(r.size);
        mix = mix * 31 + r.packedWriteTime() + r.packedAccessTime() + quint64(r.name.size()) +
              quint64(folder.size());
    }
    quint64 files = 0;
    quint64 bytes = 0;
    quint64 mix = 0;
};

long peakRssKiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 1;
    int threads = 0;
    QByteArray tree;
    bool usable = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--threads" && i + 1 < argc)
            threads = std::max(1, std::atoi(argv[++i]));
        else if (tree.isEmpty() && !a.empty() && a[0] != '-')
            tree = QByteArray(argv[i]);
        else
            usable = false;
    }
    if (!usable || tree.isEmpty()) {
        std::fprintf(stderr, "usage: walk_bench [--runs N] [--threads N] TREE\n");
        return 2;
    }
    while (tree.size() > 1 && tree.endsWith('/'))
        tree.chop(1);

    const long rssBefore = peakRssKiB();
    double best = 0;
    Collector last;
    vantrel::WalkReport report;
    for (int run = 0; run < runs; ++run) {
        vantrel::ScanControl control;
        vantrel::WalkOptions options;
        options.pattern = vantrel::Wildcard("*.*");
        options.includeMask = 0;
        options.threads = threads;
        Collector collector;
        std::atomic<bool> done{false};
        const auto start = std::chrono::steady_clock::now();
        std::thread worker([&] {
            vantrel::Walker walker(options, collector, control);
            walker.walk(tree);
            report = walker.report();
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
        last = collector;
        (void)polls;
    }
    if (!report.errors.isEmpty())
        std::fprintf(stderr, "walk_bench: %lld errors, first: %s\n",
                     static_cast<long long>(report.errors.size()),
                     qPrintable(report.errors.first().message()));
    std::printf(
        "walk: %llu files (%llu bytes) in %lld folders, %d threads, %.3f s (best of %d), "
        "%.0f files/s, peak RSS %.1f MiB (%.1f MiB before the walk)\n",
        static_cast<unsigned long long>(last.files), static_cast<unsigned long long>(last.bytes),
        static_cast<long long>(report.folders),
        vantrel::walkThreadCount({.pattern = vantrel::Wildcard(), .threads = threads}), best, runs, double(last.files) / best,
        double(peakRssKiB()) / 1024.0, double(rssBefore) / 1024.0);
    return report.errors.isEmpty() ? 0 : 1;
}
