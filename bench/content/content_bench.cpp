// The contents benchmark: the walk as the duplicates window runs it (hidden
// entries and dot-folders left out, every size from 1 byte), every file
// handed to the contents search, then the search itself. Prints the wall
// time, the files, the groups, the bytes read beside the candidates' bytes,
// the bytes the search keeps a file and the peak resident memory.
//
//   content_bench [--sets FILE] TREE
//   content_bench --normalize FILE
//
// --sets FILE    also writes the duplicate sets found to FILE, normalized.
// --normalize    reads sets as duplicate finders print them (paths one a
//                line, sets separated by a blank line) and prints them
//                normalized: each set's paths sorted, one set a line (paths
//                joined by a tab), the sets sorted. Two normalized outputs
//                are equal when the sets are.

#include "dup/ContentSearch.h"
#include "scan/Walker.h"
#include "text/Formats.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

class Feeder final : public vantrel::WalkVisitor {
public:
    explicit Feeder(vantrel::ContentSearch& search) : m_search(search) {}
    void entry(const QByteArray& folder, const vantrel::FileRecord& r) override {
        if (r.size >= 1)
            m_search.addFile(r, folder);
    }

private:
    vantrel::ContentSearch& m_search;
};

long peakRssKiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

using Sets = std::vector<std::vector<QByteArray>>;

QByteArray normalized(Sets sets) {
    for (auto& set : sets)
        std::sort(set.begin(), set.end());
    std::sort(sets.begin(), sets.end());
    QByteArray out;
    for (const auto& set : sets) {
        for (std::size_t i = 0; i < set.size(); ++i) {
            if (i > 0)
                out += '\t';
            out += set[i];
        }
        out += '\n';
    }
    return out;
}

int normalize(const char* file) {
    QFile f(QFile::decodeName(file));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "content_bench: cannot read %s\n", file);
        return 1;
    }
    Sets sets;
    std::vector<QByteArray> set;
    for (QByteArray line : f.readAll().split('\n')) {
        if (line.isEmpty()) {
            if (!set.empty())
                sets.push_back(std::move(set));
            set.clear();
            continue;
        }
        set.push_back(line);
    }
    if (!set.empty())
        sets.push_back(std::move(set));
    const QByteArray out = normalized(std::move(sets));
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* setsFile = nullptr;
    const char* tree = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--normalize") == 0 && i + 1 < argc)
            return normalize(argv[i + 1]);
        if (std::strcmp(argv[i], "--sets") == 0 && i + 1 < argc)
            setsFile = argv[++i];
        else
            tree = argv[i];
    }
    if (!tree) {
        std::fprintf(stderr, "usage: content_bench [--sets FILE] TREE | --normalize FILE\n");
        return 2;
    }

    const auto start = std::chrono::steady_clock::now();
    vantrel::ContentSearch search;
    Feeder feeder(search);
    vantrel::ScanControl control;
    vantrel::WalkOptions walk;
    walk.pattern = vantrel::Wildcard(QByteArrayLiteral("*.*"));
    walk.includeMask = 0;
    vantrel::Walker walker(walk, feeder, control);
    walker.walk(QByteArray(tree));
    const qint64 kept = search.memoryBytes();
    const auto walked = std::chrono::steady_clock::now();
    const vantrel::ContentSearch::Result r = search.finish();
    const auto end = std::chrono::steady_clock::now();

    qint64 duplicates = 0;
    Sets sets;
    for (const auto& g : r.groups) {
        duplicates += qint64(g.members.size());
        sets.emplace_back();
        for (const auto& m : g.members)
            sets.back().push_back(search.path(m.file));
    }
    if (setsFile) {
        QFile f(QFile::decodeName(setsFile));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(normalized(sets)) < 0) {
            std::fprintf(stderr, "content_bench: cannot write %s\n", setsFile);
            return 1;
        }
    }
    using ms = std::chrono::duration<double, std::milli>;
    const qint64 files = search.fileCount();
    std::printf(
        "contents: %.0f ms (walk %.0f ms, reading %.0f ms), %s files, %s groups of %s files, "
        "read %s of %s candidate bytes, %lld bytes kept a file, peak %ld KiB\n",
        ms(end - start).count(), ms(walked - start).count(), ms(end - walked).count(),
        qPrintable(vantrel::numberText(files)), qPrintable(vantrel::numberText(qint64(r.groups.size()))),
        qPrintable(vantrel::numberText(duplicates)), qPrintable(vantrel::numberText(r.bytesRead)),
        qPrintable(vantrel::numberText(r.candidateBytes)),
        static_cast<long long>(files > 0 ? kept / files : 0), peakRssKiB());
    return 0;
}
