// The duplicates benchmark: the walk and the duplicates search as the
// duplicates window runs them (criterion "Filename only", pattern "*.*", no
// size limit), on a worker thread while this thread polls the progress 30
// times a second, then the sorting and grouping. Prints the wall time, the
// number of candidates and rows and the peak resident memory.
//
//   dup_bench [--hogs] [--fill] [--capacity N] TREE
//   dup_bench [--hogs] [--fill] [--capacity N] --synthetic N
//
// --hogs        searches file hogs instead (every file a row, largest first).
// --fill        also puts the rows into a result grid model as the window
//               does (and, for hogs, sorts them by size), timed on its own.
// --capacity N  the candidate list's capacity (default the window's).
// --synthetic N feeds N made-up files (realistic names, folders, sizes and
//               dates; every tenth name repeats) straight into the search,
//               without a walk: for the memory a full candidate list takes.

#include "dup/DupSearch.h"
#include "results/GridLayout.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "scan/Walker.h"
#include "text/Formats.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

class Feeder final : public vantrel::WalkVisitor {
public:
    Feeder(vantrel::DupSearch& search, vantrel::ScanControl& control)
        : m_search(search), m_control(control) {}
    void entry(const QByteArray& folder, const vantrel::FileRecord& r) override {
        if (m_search.addFile(r, folder) == vantrel::DupSearch::Added::Full)
            m_control.scanAborted = true;
    }

private:
    vantrel::DupSearch& m_search;
    vantrel::ScanControl& m_control;
};

long peakRssKiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

long currentRssKiB() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : -1;
}

// splitmix64, so that every run makes the same files.
std::uint64_t next(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Files in folders of 50 at a depth of four or five below a home folder.
void feedSynthetic(vantrel::DupSearch& search, qint64 count) {
    static const char* const tops[] = {"Documents", "Pictures", "Music", "Projects", "Downloads"};
    static const char* const kinds[] = {"IMG_", "report ", "track ", "scan", "notes-", "main"};
    static const char* const exts[] = {".jpg", ".pdf", ".mp3", ".png", ".txt", ".cpp"};
    std::uint64_t state = 20240229;
    QByteArray folder;
    vantrel::FileRecord r;
    r.mode = 0100644;
    for (qint64 i = 0; i < count; ++i) {
        if (i % 50 == 0) {
            folder = "/home/someone/" + QByteArray(tops[next(state) % 5]) + "/Archive " +
                     QByteArray::number(qint64(next(state) % 40)) + "/Set " +
                     QByteArray::number(i / 50) + "/part " +
                     QByteArray::number(qint64(next(state) % 9));
        }
        const std::uint64_t pick = next(state);
        const qint64 number = (i % 10 == 0) ? qint64(pick % 1000) : i;
        r.name = QByteArray(kinds[pick % 6]) + QByteArray::number(number) + exts[(pick >> 8) % 6];
        r.attr = vantrel::attributesFor(r.mode, r.name.constData(), r.name.size());
        r.size = qint64(next(state) % 50'000'000);
        r.writeTime = vantrel::FileTime{qint64(600'000'000 + next(state) % 1'100'000'000), 0, true};
        r.accessTime =
            vantrel::FileTime{r.writeTime.sec + qint64(next(state) % 10'000'000), 0, true};
        if (search.addFile(r, folder) == vantrel::DupSearch::Added::Full)
            return;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool hogs = false;
    bool fill = false;
    qint64 synthetic = -1;
    qint64 capacity = -1;
    QByteArray tree;
    bool usage = false;
    for (int i = 1; i < argc && !usage; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--hogs") {
            hogs = true;
        } else if (arg == "--fill") {
            fill = true;
        } else if ((arg == "--synthetic" || arg == "--capacity") && i + 1 < argc) {
            bool ok = false;
            const qint64 n = QByteArray(argv[++i]).toLongLong(&ok);
            usage = !ok || n < 0;
            (arg == "--synthetic" ? synthetic : capacity) = n;
        } else if (!arg.startsWith("--") && tree.isEmpty()) {
            tree = arg;
        } else {
            usage = true;
        }
    }
    if (usage || tree.isEmpty() == (synthetic < 0)) {
        std::fprintf(stderr,
                     "usage: dup_bench [--hogs] [--fill] [--capacity N] TREE\n"
                     "       dup_bench [--hogs] [--fill] [--capacity N] --synthetic N\n");
        return 2;
    }
    vantrel::TextLocale::initFromSystem();
    while (tree.size() > 1 && tree.endsWith('/'))
        tree.chop(1);

    const long before = currentRssKiB();
    const auto start = std::chrono::steady_clock::now();
    vantrel::DupSearchOptions options;
    options.duplicateMode = !hogs;
    options.criterion = vantrel::DupCriterion::FilenameOnly;
    options.condition = vantrel::SizeCondition::LargerOrEqual;
    options.limit1 = 0;
    if (capacity >= 0)
        options.capacity = capacity;
    vantrel::DupSearch search(options);
    vantrel::ScanControl control;
    std::vector<vantrel::DupCandidate> rows;
    qsizetype candidates = 0;
    long walkedRss = 0;
    std::atomic<bool> done{false};
    std::chrono::steady_clock::time_point walked;
    std::thread worker([&] {
        if (synthetic >= 0) {
            feedSynthetic(search, synthetic);
        } else {
            vantrel::WalkOptions walk;
            walk.pattern = vantrel::Wildcard("*.*");
            walk.includeMask = 0;
            Feeder feeder(search, control);
            vantrel::Walker walker(walk, feeder, control);
            walker.walk(tree);
        }
        candidates = search.candidateCount();
        walkedRss = currentRssKiB();
        walked = std::chrono::steady_clock::now();
        rows = search.finish();
        done = true;
    });
    quint64 polls = 0;
    while (!done) {
        polls += control.progress.snapshot().generation & 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    worker.join();
    const auto searched = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(searched - start).count();
    const long searchPeak = peakRssKiB();
    std::printf("%s: %.3f s (sorting and grouping %.3f s), %lld candidates, %zu rows",
                hogs ? "hogs" : "dup", seconds,
                std::chrono::duration<double>(searched - walked).count(),
                static_cast<long long>(candidates), rows.size());
    if (candidates > 0) {
        std::printf(", %.0f bytes a candidate at the peak",
                    double(searchPeak - before) * 1024.0 / double(candidates));
        std::printf(" (%.0f after the walk)",
                    double(walkedRss - before) * 1024.0 / double(candidates));
    }

    if (fill) {
        const vantrel::GridLayout layout =
            hogs ? vantrel::fileHogsLayout() : vantrel::duplicatesLayout(0);
        vantrel::SortDirections directions(layout);
        vantrel::ResultGridModel model(layout);
        model.setSortDirections(&directions);
        vantrel::addDupRows(model, rows, !hogs);
        rows = {};
        if (hogs) {
            directions.set(0, true);
            model.sortByKey(0);
        }
        const double filled =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - searched).count();
        std::printf(", grid filled in %.3f s", filled);
    }
    std::printf(", peak RSS %.1f MiB\n", double(peakRssKiB()) / 1024.0);
    return polls == ~0ull ? 1 : 0;
}
