// The quick-clean benchmark: the search with the six default patterns
// ("*.tmp", "*.temp", "*.fts", "*.bak", "*.old", "*.$$$") as the quick-clean
// window runs it: the walk (hidden folders not entered, names tested before
// any look at a file) and a grid row per file found on a worker thread while
// this thread polls the progress 30 times a second, then the rows put into a
// result grid model and sorted by size. Prints the wall time and the number
// of files found.
//
//   clean_bench [--runs N] [--list] TREE
//
// With several runs the best time is printed. --list prints the paths found
// (exact bytes, one a line) instead, to compare with another tool's list.

#include "clean/CleanSearch.h"
#include "clean/TempFileList.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "scan/TypeLists.h"
#include "scan/Walker.h"
#include "text/Formats.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

class Rows final : public vantrel::WalkVisitor {
public:
    explicit Rows(vantrel::CleanSearch& search) : m_search(search) {}
    void entry(const QByteArray& folder, const vantrel::FileRecord& r) override {
        rows.push_back(m_search.rowFor(folder, r));
    }
    std::vector<vantrel::GridRow> rows;

private:
    vantrel::CleanSearch& m_search;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int runs = 1;
    bool list = false;
    QByteArray tree;
    bool usage = false;
    for (int i = 1; i < argc && !usage; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, QByteArray(argv[++i]).toInt());
        } else if (arg == "--list") {
            list = true;
        } else if (!arg.startsWith("--") && tree.isEmpty()) {
            tree = arg;
        } else {
            usage = true;
        }
    }
    if (usage || tree.isEmpty()) {
        std::fprintf(stderr, "usage: clean_bench [--runs N] [--list] TREE\n");
        return 2;
    }
    vantrel::TextLocale::initFromSystem();
    while (tree.size() > 1 && tree.endsWith('/'))
        tree.chop(1);

    QStringList lines;
    for (const QString& pattern : vantrel::tempFileButtonDefaults())
        lines.append(vantrel::typeLine(pattern));

    double best = 0;
    int found = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        vantrel::CleanSearch search(lines);
        vantrel::ScanControl control;
        Rows rows(search);
        std::atomic<bool> done{false};
        std::thread worker([&] {
            vantrel::Walker walker(search.walkOptions(), rows, control);
            walker.walk(tree);
            done = true;
        });
        quint64 polls = 0;
        while (!done) {
            polls += control.progress.snapshot().generation & 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(33));
        }
        worker.join();

        const vantrel::GridLayout layout = vantrel::cleanLayout();
        vantrel::SortDirections directions(layout);
        vantrel::ResultGridModel model(layout);
        model.setSortDirections(&directions);
        model.beginBatch();
        for (const vantrel::GridRow& row : rows.rows)
            model.addToGrid(row);
        model.endBatch();
        model.sortByKey(0);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best)
            best = seconds;
        found = model.rowCounter();
        if (list && run == runs - 1) {
            for (int row = 1; row <= model.rowCounter(); ++row) {
                const QByteArray path = model.pathAt(row);
                std::fwrite(path.constData(), 1, std::size_t(path.size()), stdout);
                std::fputc('\n', stdout);
            }
            return 0;
        }
    }
    std::printf("clean: %.3f s, %d tempfiles found (six default patterns)\n", best, found);
    return 0;
}
