// How long the statistics window's "Types" page takes to show the type table
// of a run with many distinct extensions: from handing the page the table
// to the end of the first paint, as a listing and as the pie. Runs the
// window offscreen; descriptions are looked up as the program does.
//
//   stats_types_bench [EXTENSIONS]     (default 100,000)

#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsTable.h"
#include "stats/ui/TfrmStatistics.h"
#include "stats/ui/TypesPage.h"
#include "text/Formats.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QEvent>
#include <QFrame>
#include <QRadioButton>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>

namespace {

// Notes when a widget has been painted.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Hands the page the table and waits for `shown` to be painted; seconds.
double timeShowing(vantrel::TypesPage& page, const QHash<QByteArray, vantrel::TypeTotals>& types,
                   QWidget* shown) {
    PaintWatch watch;
    shown->installEventFilter(&watch);
    QElapsedTimer t;
    t.start();
    page.setTypes(types);
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    shown->removeEventFilter(&watch);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vantrel::TextLocale::initFromSystem();
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;

    // Distinct extensions of up to four characters, with sizes and counts
    // spread so that every sort has work to do.
    QHash<QByteArray, vantrel::TypeTotals> types;
    const QByteArray digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int i = 0; i < count; ++i) {
        QByteArray ext = ".";
        for (int n = i, d = 0; d < 4 && (d == 0 || n > 0); ++d, n /= 36)
            ext.append(digits[n % 36]);
        types.insert(ext, vantrel::TypeTotals{1 + i % 97, qint64(i % 1013) * 4096 + i});
    }

    vantrel::TfrmStatistics window;
    window.resize(1060, 720);
    window.show();
    vantrel::TypesPage& page = *window.pageTypes;
    window.OvcNotebook1->setCurrentWidget(&page);
    // No run has been made: the panel that says so would cover the page.
    window.pnlNotYet->hide();
    QApplication::processEvents();

    page.rgTypes0->setChecked(true);
    QApplication::processEvents();
    const double listing = timeShowing(page, types, page.gridTypes->viewport());
    const int described = page.model()->descriptionLookups();
    page.rgTypes1->setChecked(true);
    QApplication::processEvents();
    const double pie = timeShowing(page, types, page.chartPie->chartView()->viewport());
    std::printf(
        "types page: %d extensions shown in %.3f s as a listing (%d descriptions looked up), "
        "%.3f s as the pie\n",
        page.model()->rowCount(), listing, described, pie);
    return 0;
}
