// The files-by-date benchmark: "Last modified", "In between" over one year,
// every file ("*.*"), as the window runs it: the walk and the range test on a
// worker thread, rows handed over in batches and put into a result grid
// model on this thread, which also polls the progress 30 times a second.
// Prints the wall time, the files found and walked and the peak resident
// memory.
//
//   mods_bench [--runs N] [--year YYYY] TREE
//
// The year is 2020 unless given; days count in local time (TZ), as the
// window's do. With several runs the best time is printed.

#include "mods/DateRange.h"
#include "mods/ModsSearch.h"
#include "results/ResultGridModel.h"
#include "scan/Walker.h"
#include "text/Formats.h"

#include <QCoreApplication>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kBatch = 5000;  // the window's batch size

// Hands the rows over in batches, as the window's feeder posts them.
class Feeder final : public vantrel::WalkVisitor {
public:
    explicit Feeder(vantrel::ModsSearch& search) : m_search(search) {}
    void entry(const QByteArray& folder, const vantrel::FileRecord& r) override {
        ++walked;
        m_search.addFile(r, folder);
        if (std::size_t(m_search.pendingRows()) >= kBatch)
            send();
    }
    void send() {
        std::vector<vantrel::GridRow> rows = m_search.takeRows();
        if (rows.empty())
            return;
        const std::lock_guard<std::mutex> lock(mutex);
        batches.push_back(std::move(rows));
    }
    std::vector<std::vector<vantrel::GridRow>> take() {
        const std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::vector<vantrel::GridRow>> out;
        out.swap(batches);
        return out;
    }
    qint64 walked = 0;

private:
    vantrel::ModsSearch& m_search;
    std::mutex mutex;
    std::vector<std::vector<vantrel::GridRow>> batches;
};

void fill(vantrel::ResultGridModel& model, std::vector<std::vector<vantrel::GridRow>> batches) {
    for (const auto& batch : batches) {
        model.beginBatch();
        for (const vantrel::GridRow& row : batch)
            model.addToGrid(row);
        model.endBatch();
    }
}

long peakRssKiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Read once, before two threads format texts (as the program does).
    vantrel::TextLocale::initFromSystem();
    int runs = 1;
    int year = 2020;
    QByteArray tree;
    bool usable = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--year" && i + 1 < argc)
            year = std::atoi(argv[++i]);
        else if (tree.isEmpty() && !a.empty() && a[0] != '-')
            tree = QByteArray(argv[i]);
        else
            usable = false;
    }
    if (!usable || tree.isEmpty() || year < 1601 || year > 9999) {
        std::fprintf(stderr, "usage: mods_bench [--runs N] [--year YYYY] TREE\n");
        return 2;
    }
    while (tree.size() > 1 && tree.endsWith('/'))
        tree.chop(1);

    double best = 0;
    qint64 found = 0;
    qint64 walked = 0;
    vantrel::WalkReport report;
    for (int run = 0; run < runs; ++run) {
        vantrel::ModsSearchOptions options;
        options.field = vantrel::DateField::LastModified;
        options.range = vantrel::DateRange(vantrel::DateRangeMode::InBetween, QDate(year, 1, 1),
                                           QDate(year, 12, 31));
        vantrel::ModsSearch search(options);
        vantrel::ResultGridModel model(vantrel::filesByDateLayout());
        vantrel::ScanControl control;
        vantrel::WalkOptions walk;  // "*.*"; no hidden entries, no system entries
        walk.includeMask = 0;
        Feeder feeder(search);
        std::atomic<bool> done{false};
        const auto start = std::chrono::steady_clock::now();
        std::thread worker([&] {
            report =
                vantrel::ScanAllDrives({{tree, QStringLiteral("folder")}}, walk, feeder, control);
            feeder.send();
            done.store(true, std::memory_order_release);
        });
        quint64 polls = 0;
        while (!done.load(std::memory_order_acquire)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(33));
            polls += control.progress.snapshot().generation;
            fill(model, feeder.take());
        }
        worker.join();
        fill(model, feeder.take());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best)
            best = seconds;
        found = model.rowCounter();
        walked = feeder.walked;
        (void)polls;
    }
    std::printf(
        "dates: %lld of %lld files modified in %d, %.3f s (best of %d), peak RSS %.1f MiB\n",
        static_cast<long long>(found), static_cast<long long>(walked), year, best, runs,
        double(peakRssKiB()) / 1024.0);
    return report.errors.isEmpty() ? 0 : 1;
}
