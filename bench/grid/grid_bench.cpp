// The result grid benchmark: fills ROWS (default 1,000,000) rows of the
// duplicates layout from candidate lines, sorts them by number (Size), by
// date (Modified) and by text (Filename), marks them all and unmarks them
// all. Prints each
// time and the peak resident memory per row (VmHWM less the figure before
// the fill). The files do not exist, so marking looks each one up and finds
// nothing, as for files that vanished after a scan.
//
//   grid_bench [--view] [--listed] [ROWS]
//
// --view shows the grid widget (on the offscreen platform unless another is
// chosen) and fills, sorts and marks through it, as a window would.
// --listed gives each row the state its file was listed with (size and
// packed write time), as the duplicates window does.

#include "results/GridLayout.h"
#include "results/ResultGridModel.h"
#include "results/ui/ResultGrid.h"
#include "text/Formats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <ctime>
#include <memory>

using namespace vantrel;

namespace {

qint64 statusKiB(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

QString randomWord(QRandomGenerator& random, int minLength, int maxLength) {
    static const char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    const int length = minLength + int(random.bounded(maxLength - minLength + 1));
    QString out;
    out.reserve(length);
    for (int i = 0; i < length; ++i)
        out.append(QLatin1Char(letters[random.bounded(int(sizeof(letters)) - 1)]));
    return out;
}

quint32 randomPacked(QRandomGenerator& random) {
    const quint32 year = 20 + random.bounded(25u);  // 2000 .. 2024
    return (year << 25) | ((1 + random.bounded(12u)) << 21) | ((1 + random.bounded(28u)) << 16) |
           (random.bounded(24u) << 11) | (random.bounded(60u) << 5) | random.bounded(30u);
}

struct Candidate {
    QString line;
    QByteArray path;
    QList<SortValue> values;
    ListedState listed;
};

// One candidate line of the duplicates window (criterion 0): name, size,
// date, time, access, folder, type.
Candidate makeCandidate(QRandomGenerator& random, int i) {
    static const char* const types[] = {"JPEG image",   "Plain text document", "ZIP archive",
                                        "PDF document", "Binary data",         "MP3 audio"};
    const QString folder = QStringLiteral("/vantrel-bench-missing/home/user/") +
                           randomWord(random, 4, 10) + QLatin1Char('/') + QString::number(i % 5000);
    const QString name = randomWord(random, 6, 18) + QStringLiteral(".dat");
    const qint64 size = qint64(random.bounded(50'000'000u));
    const quint32 written = randomPacked(random);
    const quint32 accessed = random.bounded(10u) == 0 ? 0 : randomPacked(random);
    Candidate c;
    c.line = name + QLatin1Char('\t') + numberText(size) + QLatin1Char('\t') +
             fileDateText(written) + QLatin1Char('\t') + fileTimeText(written) + QLatin1Char('\t') +
             fileDateText(accessed) + QLatin1Char('\t') + folder + QLatin1Char('\t') +
             QString::fromLatin1(types[random.bounded(6)]);
    c.path = (folder + QLatin1Char('/') + name).toUtf8();
    c.values = {{1, double(size)}, {2, dateSortValue(written)}, {4, dateSortValue(accessed)}};
    c.listed = ListedState::packedDate(size, written);
    return c;
}

// Wall time and the process's CPU time: on a machine shared with other work
// the CPU time shows what the grid itself costs.
class Stopwatch {
public:
    void start() {
        m_wall.start();
        m_cpu = cpuNow();
    }
    template <typename F>
    void addTo(F& figure) const {
        figure.wall += double(m_wall.nsecsElapsed()) / 1e9;
        figure.cpu += cpuNow() - m_cpu;
    }

private:
    static double cpuNow() {
        timespec ts{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
    }
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

struct Figure {
    double wall = 0;
    double cpu = 0;
};

}  // namespace

int main(int argc, char** argv) {
    bool withView = false;
    bool withListed = false;
    int rows = 1'000'000;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--view")
            withView = true;
        else if (arg == "--listed")
            withListed = true;
        else
            rows = arg.toInt();
    }
    if (rows < 1) {
        std::fprintf(stderr, "usage: grid_bench [--view] [--listed] [ROWS]\n");
        return 2;
    }
    if (withView && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (withView)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    TextLocale::set(QLocale(QLocale::English, QLocale::UnitedStates));

    const GridLayout layout = duplicatesLayout(0);
    std::unique_ptr<ResultGrid> grid;
    std::unique_ptr<ResultGridModel> ownModel;
    ResultGridModel* model = nullptr;
    if (withView) {
        grid = std::make_unique<ResultGrid>(layout);
        grid->resize(1000, 700);
        grid->FormResize(1000);
        grid->show();
        QCoreApplication::processEvents();
        model = grid->gridModel();
    } else {
        ownModel = std::make_unique<ResultGridModel>(layout);
        model = ownModel.get();
    }

    const qint64 baseKiB = statusKiB("VmHWM");
    QRandomGenerator random(20240601);
    Stopwatch watch;
    Figure fill;
    model->beginBatch();
    constexpr int kChunk = 10'000;
    std::vector<Candidate> chunk;
    chunk.reserve(kChunk);
    for (int done = 0; done < rows;) {
        chunk.clear();
        const int n = std::min(kChunk, rows - done);
        for (int i = 0; i < n; ++i)
            chunk.push_back(makeCandidate(random, done + i));
        watch.start();
        if (withListed) {
            for (const Candidate& c : chunk)
                model->addToGrid(c.line, c.path, c.values, c.listed);
        } else {
            for (const Candidate& c : chunk)
                model->addToGrid(c.line, c.path, c.values);
        }
        watch.addTo(fill);
        done += n;
    }
    chunk = {};
    watch.start();
    model->endBatch();
    if (withView)
        QCoreApplication::processEvents();
    watch.addTo(fill);
    const qint64 filledKiB = statusKiB("VmRSS");

    const auto timed = [&](auto&& work) {
        Figure f;
        watch.start();
        work();
        if (withView)
            QCoreApplication::processEvents();
        watch.addTo(f);
        return f;
    };
    const int last = model->rowCounter();
    const Figure byNumber = timed([&] { model->sortByNumber(1, last, true, 1); });
    const Figure byDate = timed([&] { model->sortByDate(1, last, false, 2); });
    const Figure byText = timed([&] { model->sortByText(1, last, false, 0); });
    const Figure markAll = timed([&] {
        if (withView)
            grid->Markall1Click();
        else
            model->markAll();
    });
    const qint64 markedCount = model->markedPathCount();
    const qint64 foundCount = model->markedCount();
    const Figure unmarkAll = timed([&] {
        if (withView)
            grid->Unmarkall1Click();
        else
            model->clearAllMarks();
    });

    const qint64 peakKiB = statusKiB("VmHWM");
    const double perRow = double(peakKiB - baseKiB) * 1024.0 / rows;
    std::printf("grid%s%s: %d rows of the duplicates layout (wall / CPU seconds)\n",
                withView ? " with its view" : "", withListed ? " with listed states" : "",
                model->rowCounter());
    const auto line = [](const char* what, const Figure& f) {
        std::printf("  %-15s %6.3f / %6.3f\n", what, f.wall, f.cpu);
    };
    line("fill", fill);
    line("sort by number", byNumber);
    line("sort by date", byDate);
    line("sort by text", byText);
    line("mark all", markAll);
    line("unmark all", unmarkAll);
    std::printf("  marked          %lld rows, %lld files found\n",
                static_cast<long long>(markedCount), static_cast<long long>(foundCount));
    std::printf("  memory          %.0f bytes a row at peak (%.0f after the fill)\n", perRow,
                double(filledKiB - baseKiB) * 1024.0 / rows);
    std::printf("  first rows      %s | %s\n", qPrintable(model->cellText(1, 0)),
                qPrintable(model->cellText(2, 0)));
    // The figures against their targets, in the form of bench/compare.sh.
    const auto target = [](const char* what, const Figure& f, double seconds) {
        std::printf("grid %s: ours %.2f s, target %.2f s, ratio %.2f\n", what, f.wall, seconds,
                    f.wall / seconds);
    };
    target("fill", fill, 0.5);
    target("sort by number", byNumber, 0.5);
    target("sort by date", byDate, 0.5);
    target("sort by text", byText, 0.5);
    target("mark all", markAll, 1.0);
    target("unmark all", unmarkAll, 1.0);
    return 0;
}
