// The duplicates benchmark: the walk and the duplicates search as the
// duplicates window runs them (criterion "Filename only", pattern "*.*", no
// size limit), on a worker thread while this thread polls the progress 30
// times a second, then the sorting and grouping. Prints the wall time, the
// number of rows and the peak resident memory.
//
//   dup_bench TREE

#include "dup/DupSearch.h"
#include "scan/Walker.h"
#include "text/Formats.h"

#include <QCoreApplication>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dup_bench TREE\n");
        return 2;
    }
    vantrel::TextLocale::initFromSystem();
    QByteArray tree(argv[1]);
    while (tree.size() > 1 && tree.endsWith('/'))
        tree.chop(1);

    const auto start = std::chrono::steady_clock::now();
    vantrel::DupSearchOptions options;
    options.duplicateMode = true;
    options.criterion = vantrel::DupCriterion::FilenameOnly;
    options.condition = vantrel::SizeCondition::LargerOrEqual;
    options.limit1 = 0;
    vantrel::DupSearch search(options);
    vantrel::ScanControl control;
    std::vector<vantrel::DupCandidate> rows;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        vantrel::WalkOptions walk;
        walk.pattern = vantrel::Wildcard("*.*");
        walk.includeMask = 0;
        Feeder feeder(search, control);
        vantrel::Walker walker(walk, feeder, control);
        walker.walk(tree);
        rows = search.finish();
        done = true;
    });
    quint64 polls = 0;
    while (!done) {
        polls += control.progress.snapshot().generation & 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    worker.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("dup: %.3f s, %zu rows, peak RSS %.1f MiB\n", seconds, rows.size(),
                double(peakRssKiB()) / 1024.0);
    return polls == ~0ull ? 1 : 0;
}
