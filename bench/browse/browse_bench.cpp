// The folder browser benchmark: opens the browser (offscreen unless another
// platform is chosen) at a folder of many files and prints how long it took
// until the grid painted its first rows, until the whole folder was listed
// and sorted and painted, and the longest time the window's event loop was
// held up meanwhile (the gaps of a 5 ms timer): the window stays responsive
// when that stays short.
//
//   browse_bench [--make] [--files N] [--runs R] [--engine] [--first-screen] FOLDER
//
// --make creates FOLDER with N files (default 200,000) when it holds fewer,
// with a handful of extensions; --runs lists it R times (best run counts);
// --engine first times the listing alone, without a window; --first-screen
// stops at the first screen. The process ends once the listing is done, so
// that a whole run can be timed from outside (bench/compare.sh). Times are
// wall times, with the process's CPU time beside them: on a machine shared
// with other work, what the browser itself spent.

#include "browse/BrowseListing.h"
#include "browse/ui/TfrmBrowse.h"
#include "results/ui/ResultGrid.h"
#include "text/Formats.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace vantrel;

namespace {

qint64 countEntries(const QByteArray& folder) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return -1;
    qint64 n = 0;
    while (const dirent* d = ::readdir(dir)) {
        if (d->d_name[0] != '.')
            ++n;
    }
    ::closedir(dir);
    return n;
}

bool makeFolder(const QByteArray& folder, qint64 files) {
    ::mkdir(folder.constData(), 0755);
    const qint64 have = countEntries(folder);
    if (have < 0)
        return false;
    if (have >= files)
        return true;
    static const char* const extensions[] = {".txt", ".jpg", ".dat", ".pdf", ".c", ".log", ""};
    for (qint64 i = 0; i < files; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/file%07lld%s", static_cast<long long>(i),
                      extensions[i % 7]);
        const QByteArray path = folder + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

// The process's CPU time: on a machine shared with other work, what the
// browser itself spent.
double cpuNow() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Run {
    double firstScreen = -1;
    double firstScreenCpu = -1;
    double listed = -1;
    double listedCpu = -1;
    double longestStall = 0;
    qint64 rows = 0;
};

// Records the end of the first paint of the grid that shows rows.
class PaintWatch : public QObject {
public:
    PaintWatch(ResultGrid& grid, QElapsedTimer& clock, double cpuStart, Run& run)
        : m_grid(grid), m_clock(clock), m_cpuStart(cpuStart), m_run(run) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_run.firstScreen < 0 && m_grid.rowCounter() > 0 &&
            !m_pending) {
            // Taken once the paint has been done.
            m_pending = true;
            QTimer::singleShot(0, this, [this] {
                m_run.firstScreen = m_clock.nsecsElapsed() / 1e9;
                m_run.firstScreenCpu = cpuNow() - m_cpuStart;
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    ResultGrid& m_grid;
    QElapsedTimer& m_clock;
    double m_cpuStart;
    Run& m_run;
    bool m_pending = false;
};

bool g_firstScreenOnly = false;
bool g_engineToo = false;

Run listOnce(const QByteArray& folder) {
    Run run;
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = cpuNow();
    TfrmBrowse w(
        ToolRequest{nullptr, false, nullptr, BrowseRequest{folder, {}, QStringLiteral("*.*")}});
    PaintWatch watch(*w.grid, clock, cpuStart, run);
    w.grid->viewport()->installEventFilter(&watch);
    QElapsedTimer tick;
    tick.start();
    QTimer heartbeat;
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, &heartbeat, [&] {
        run.longestStall = std::max(run.longestStall, tick.nsecsElapsed() / 1e9);
        tick.restart();
    });
    // Stalls are counted once the window is up (its first showing builds
    // fonts and styles once).
    w.show();
    tick.restart();
    heartbeat.start();
    while ((w.isListing() && !g_firstScreenOnly) || run.firstScreen < 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (clock.elapsed() > 120000)
            break;
    }
    // The sorted list painted once more.
    w.grid->viewport()->repaint();
    run.listed = clock.nsecsElapsed() / 1e9;
    run.listedCpu = cpuNow() - cpuStart;
    run.rows = w.grid->rowCounter();
    heartbeat.stop();
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    bool make = false;
    qint64 files = 200000;
    int runs = 1;
    QByteArray folder;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--make")
            make = true;
        else if (arg == "--first-screen")
            g_firstScreenOnly = true;
        else if (arg == "--engine")
            g_engineToo = true;
        else if (arg == "--files" && i + 1 < argc)
            files = QByteArray(argv[++i]).toLongLong();
        else if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, QByteArray(argv[++i]).toInt());
        else
            folder = arg;
    }
    if (folder.isEmpty()) {
        std::fprintf(stderr, "usage: browse_bench [--make] [--files N] [--runs R] FOLDER\n");
        return 2;
    }
    if (make && !makeFolder(folder, files)) {
        std::fprintf(stderr, "browse_bench: cannot make %s\n", folder.constData());
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window keeps its placement: in Qt's test folders, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    TextLocale::set(QLocale(QLocale::English, QLocale::UnitedStates));

    // The listing alone, without a window: names, looks and row texts.
    if (g_engineToo) {
        QElapsedTimer clock;
        clock.start();
        FolderListingRequest request;
        request.folder = folder;
        FolderFileReader reader(request);
        reader.readNames();
        const double names = clock.nsecsElapsed() / 1e9;
        std::vector<GridRow> rows;
        reader.nextRows(reader.nameCount(), rows);
        std::printf("listing: %zu rows; names %.3f s, rows %.3f s\n", rows.size(), names,
                    clock.nsecsElapsed() / 1e9 - names);
    }

    Run best;
    for (int r = 0; r < runs; ++r) {
        const Run run = listOnce(folder);
        if (best.listed < 0 || run.listed < best.listed)
            best = run;
    }
    std::printf(
        "browse: %s rows; first screen %.3f s (CPU %.3f s), whole list %.3f s (CPU %.3f s), "
        "longest stall %.0f ms\n",
        qPrintable(numberText(best.rows)), best.firstScreen, best.firstScreenCpu, best.listed,
        best.listedCpu, best.longestStall * 1000);
    return best.rows > 0 ? 0 : 1;
}
