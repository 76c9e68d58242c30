// The statistics window's pages after a run: listing and chart of each
// page, the type listing's sorts and pie, 100,000 extensions, the hourly
// axis, the drive space page, attribute shares, the overhang page, the
// Activity and Size x age tables, copying, the savings totals and their
// reset, and printing.
#include "StatsWindowFixture.h"

#include "results/Savings.h"
#include "stats/StatsTables.h"
#include "stats/ui/ActivityPage.h"
#include "stats/ui/AttributePage.h"
#include "stats/ui/ClassPage.h"
#include "stats/ui/CombinedPage.h"
#include "stats/ui/DeletedPage.h"
#include "stats/ui/OverhangPage.h"
#include "stats/ui/SizeAgePage.h"
#include "stats/ui/SpacePage.h"
#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsTable.h"
#include "stats/ui/TimePage.h"
#include "stats/ui/TypesPage.h"
#include "text/Formats.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPieSeries>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

QList<QBarSet*> barSets(QChartView* view) {
    const QList<QAbstractSeries*> series = view->chart()->series();
    auto* bars = series.isEmpty() ? nullptr : qobject_cast<QAbstractBarSeries*>(series.first());
    return bars ? bars->barSets() : QList<QBarSet*>{};
}

qint64 at(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC).toSecsSinceEpoch();
}

}  // namespace

class TestStatisticsPages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_f = std::make_unique<test::StatsWindowFixture>();
        setVolumeQuery([](const QByteArray& root) -> std::optional<VolumeSpace> {
            return test::volumeOf(qint64(100) << 30, qint64(40) << 30, qHash(root));
        });
    }
    void cleanup() { m_f.reset(); }

    void everyClassPageAsListingAndChart_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("bytesTitle");
        QTest::addColumn<QString>("countTitle");
        QTest::addColumn<QString>("bottomBar");
        QTest::newRow("Sizes") << u"pageSizes"_s << u"File Sizes in MB"_s << u"Number of Files"_s
                               << u"0 - 16K"_s;
        QTest::newRow("Access") << u"pageAccess"_s << u"Access Date (file sizes in MB)"_s
                                << u"Access Date (Number of files)"_s << u"Not recorded"_s;
        QTest::newRow("Created") << u"pageCreated"_s << u"Created Date (file sizes in MB)"_s
                                 << u"Created Date (Number of files)"_s << u"Not recorded"_s;
        QTest::newRow("Modified") << u"pageModified"_s << u"Modified Date (file sizes in MB)"_s
                                  << u"Modified Date (Number of files)"_s << u"Not recorded"_s;
    }
    void everyClassPageAsListingAndChart() {
        QFETCH(QString, page);
        QFETCH(QString, bytesTitle);
        QFETCH(QString, countTitle);
        QFETCH(QString, bottomBar);
        m_f->files.file("a.bin", 3 * 1048576);
        m_f->files.file("b.bin", 10);
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));
        auto* p = w.findChild<ClassPage*>(page);
        QVERIFY(p);
        w.OvcNotebook1->setCurrentWidget(p);

        // A chart by size at first, one bar set per class, the first class
        // at the bottom in the first colour.
        QVERIFY(p->bySize->isChecked() && p->chart->isVisible() && !p->grid->isVisible());
        QCOMPARE(p->chart->chart()->title(), bytesTitle);
        QList<QBarSet*> sets = barSets(p->chart);
        QCOMPARE(sets.size(), p->grid->model()->rowCount());
        QVERIFY(sets.first()->label().startsWith(chartText(bottomBar)));
        QCOMPARE(sets.first()->color(), QColor(Qt::red));
        double megabytes = 0;
        for (QBarSet* s : sets)
            megabytes += s->at(0);
        QCOMPARE(megabytes, 3.0);

        p->byCount->click();
        QCOMPARE(p->chart->chart()->title(), countTitle);
        double files = 0;
        for (QBarSet* s : barSets(p->chart))
            files += s->at(0);
        QCOMPARE(files, 2.0);

        p->listing->click();
        QVERIFY(p->grid->isVisible() && !p->chart->isVisible());
    }

    void theCombinedPage() {
        m_f->files.file("a.bin", 2 * 1048576);
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));
        CombinedPage* p = w.pageCombined;
        w.OvcNotebook1->setCurrentWidget(p);
        QVERIFY(p->chartCombine->isVisible());
        QCOMPARE(p->chartCombine->chart()->title(), u"Combination Access/Created/Modified Chart"_s);
        const QList<QBarSet*> sets = barSets(p->chartCombine);
        QCOMPARE(sets.size(), 3);
        QStringList names;
        for (QBarSet* s : sets)
            names.append(s->label());
        QCOMPARE(names, (QStringList{u"Modified"_s, u"Created"_s, u"Accessed"_s}));
        QCOMPARE(sets[2]->color(), QColor(Qt::red));
        QCOMPARE(sets[1]->color(), QColor(Qt::darkGreen));
        QCOMPARE(sets[0]->color(), QColor(Qt::yellow));
        QCOMPARE(sets[0]->at(1), 2.0);  // modified in the last seven days: 2 MB
        p->rgCombine0->click();
        QVERIFY(p->gridCombine->isVisible());
        QCOMPARE(p->gridCombine->titles(),
                 (QStringList{u"Combined dates"_s, u"Access Size"_s, u"Access # files"_s,
                              u"Create Size"_s, u"Create # files"_s, u"Modify Size"_s,
                              u"Modify # files"_s}));
        QCOMPARE(p->gridCombine->rowTexts()[8].value(5), u"2,097,152"_s);
    }

    void typeSortsAndTheTopTwelvePie() {
        // Twenty types; type i has i+1 files of (20 - i) * 1000 bytes each.
        for (int i = 0; i < 20; ++i) {
            for (int n = 0; n <= i; ++n)
                m_f->files.file(
                    QByteArray("f") + QByteArray::number(n) + ".t" + QByteArray::number(i),
                    (20 - i) * 1000);
        }
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));
        TypesPage* p = w.pageTypes;
        w.OvcNotebook1->setCurrentWidget(p);
        QVERIFY(p->rgTypes1->isChecked() && p->chartPie->isVisible());

        // By size: bytes (i+1) * (20-i) * 1000 peak at i = 9 and 10.
        const auto pieValues = [p] {
            QList<qint64> v;
            for (QPieSlice* s : p->chartPie->series()->slices())
                v.append(qint64(s->value()));
            return v;
        };
        QCOMPARE(p->chartPie->series()->count(), 12);
        QCOMPARE(pieValues().first(), 110000);
        QCOMPARE(p->chartPie->series()->slices().first()->color(), QColor(Qt::red));
        p->rgTypes2->click();
        QCOMPARE(pieValues().mid(0, 3), (QList<qint64>{20, 19, 18}));
        p->rgTypes3->click();
        QCOMPARE(pieValues().mid(0, 3), (QList<qint64>{20000, 19000, 18000}));

        p->rgTypes0->click();
        QVERIFY(p->gridTypes->isVisible());
        QVERIFY(p->sortAction(TypeSort::Average)->isChecked());
        p->sortAction(TypeSort::Extension)->trigger();
        QCOMPARE(p->model()->extensionKey(0), ".T0");
        QCOMPARE(p->model()->extensionKey(1), ".T1");
        QCOMPARE(p->model()->extensionKey(2), ".T10");
        p->sortAction(TypeSort::Count)->trigger();
        QCOMPARE(p->model()->extensionKey(0), ".T19");
        QVERIFY(p->sortAction(TypeSort::Count)->isChecked());
        // The sorts are offered in the listing's menu, above "Copy".
        const QList<QAction*> menu = p->gridTypes->contextMenu()->actions();
        QCOMPARE(menu.first()->text(), u"Sort by &Extension"_s);
        QCOMPARE(menu.last(), p->gridTypes->copyAction());
    }

    void hundredThousandExtensionsLookUpOnlyThePaintedRows() {
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        TypesPage* p = w.pageTypes;
        int described = 0;
        p->model()->setDescriber([&described](const QString& pattern) {
            ++described;
            return pattern;
        });
        QHash<QByteArray, TypeTotals> types;
        for (int i = 0; i < 100000; ++i)
            types.insert("." + QByteArray::number(i, 36).toUpper(), TypeTotals{1, i});
        p->rgTypes0->setChecked(true);
        w.OvcNotebook1->setCurrentWidget(p);
        w.pnlNotYet->hide();
        p->setTypes(types);
        QCOMPARE(p->model()->rowCount(), 100000);
        QTRY_VERIFY(described > 0);
        QVERIFY2(described < 200, qPrintable(QString::number(described)));
        // The pie needs twelve.
        p->rgTypes1->click();
        QCOMPARE(p->chartPie->series()->count(), 12);
        QVERIFY(described < 250);
    }

    void theTimeOfDayChart() {
        m_f->files.file("a", 1);
        m_f->files.setTimes("a", QDateTime::fromSecsSinceEpoch(at(2023, 5, 1, 13, 30), Qt::UTC));
        m_f->files.file("b", 1);
        m_f->files.setTimes("b", QDateTime::fromSecsSinceEpoch(at(2023, 5, 2, 13, 5), Qt::UTC));
        m_f->files.file("c", 1);
        m_f->files.setTimes("c", QDateTime::fromSecsSinceEpoch(at(2023, 5, 3, 23, 59), Qt::UTC));
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));
        TimePage* p = w.pageTime;
        // One tick and label per hour, not hundreds.
        QCOMPARE(p->hourAxis->count(), 24);
        QCOMPARE(p->hourAxis->min(), 0.0);
        QCOMPARE(p->hourAxis->max(), 23.0);
        QCOMPARE(p->hourAxis->categoriesLabels().first(),
                 TextLocale::current().locale.toString(QTime(0, 0), QLocale::ShortFormat));
        QCOMPARE(p->Series10->count(), 24);
        QCOMPARE(p->Series10->at(13).y(), 2.0);
        QCOMPARE(p->Series10->at(23).y(), 1.0);
        QCOMPARE(p->Series10->name(), u"Modified time"_s);
        QCOMPARE(p->Series11->name(), u"Created time"_s);
        QCOMPARE(p->Series10->color(), QColor(Qt::red));
        QCOMPARE(p->Series11->color(), QColor(Qt::green));
    }

    void theSpacePage() {
        // A 5,120 KB tmpfs, a 100 GB disk, a folder on that disk, and a root
        // that is not ready.
        test::TempTree& t = m_f->files;
        const QByteArray tmpfs = t.mkdir("tmpfs"), disk = t.mkdir("disk"),
                         folder = t.mkdir("disk/folder"), offline = t.mkdir("offline");
        setVolumeQuery([=](const QByteArray& root) -> std::optional<VolumeSpace> {
            if (root == tmpfs)
                return test::volumeOf(5120 * 1024, 1024 * 1024, 1);
            if (root == offline)
                return std::nullopt;
            return test::volumeOf(qint64(100) << 30, qint64(60) << 30, 2);
        });
        TfrmStatistics& w = m_f->open({tmpfs, disk, folder, offline});
        SpacePage* p = w.pageSpace;
        QSignalSpy refreshed(p, &SpacePage::refreshed);
        p->pckStatDrive->setAllTicked(true);
        QVERIFY(refreshed.wait(30000));
        while (p->isRefreshing())
            QVERIFY(refreshed.wait(30000));
        QCOMPARE(p->spaceDriveCount(), 3);
        QCOMPARE(p->lblTot->text(), u"MB"_s);
        // The disk and its folder count once.
        QCOMPARE(p->lblTotal->text(), numberText((qint64(100) << 10) + 5));
        QCOMPARE(p->lblFree->text(), numberText((qint64(60) << 10) + 1));
        QCOMPARE(p->lblPct->text(), u"MB "_s);
        const QList<QAbstractSeries*> series = p->chartSpaceBar->chart()->series();
        auto* stacked = qobject_cast<QHorizontalStackedBarSeries*>(series.value(0));
        QVERIFY(stacked);
        QCOMPARE(stacked->barSets().size(), 3);
        QCOMPARE(stacked->barSets()[0]->label(), u"Used space"_s);
        QCOMPARE(stacked->barSets()[0]->color(), QColor(Qt::blue));
        QCOMPARE(stacked->barSets()[2]->color(), QColor(Qt::magenta));
        // The tmpfs bar in MB like every other: 4 MB used, 1 MB free.
        QCOMPARE(stacked->barSets()[0]->at(0), 4.0);
        QCOMPARE(stacked->barSets()[2]->at(0), 1.0);
        auto* categories =
            qobject_cast<QBarCategoryAxis*>(p->chartSpaceBar->chart()->axes(Qt::Vertical).value(0));
        QVERIFY(categories);
        QCOMPARE(categories->categories().last(), u"Total"_s);
        QCOMPARE(categories->count(), 4);

        p->rgSpace1->click();
        QVERIFY(p->chartSpacePie->isVisible() && !p->chartSpaceBar->isVisible());
        QCOMPARE(p->chartSpacePie->series()->count(), 2);  // no reserved blocks here
        QCOMPARE(p->chartSpacePie->angle(), 60);
        p->chartSpacePie->toggleTurning();
        QTRY_VERIFY(p->chartSpacePie->angle() != 60);
        p->chartSpacePie->toggleTurning();
        p->chartSpacePie->scrollBar()->setValue(200);
        QCOMPARE(p->chartSpacePie->angle(), 200);

        // Nothing ticked: no figures and no chart.
        p->pckStatDrive->setAllTicked(false);
        QVERIFY(refreshed.wait(30000));
        QCOMPARE(p->spaceDriveCount(), 0);
        QVERIFY(!p->lblTotalC->isVisible());
    }

    void attributeSharesAreOfAllFiles() {
        m_f->files.file(".hidden", 100);
        m_f->files.file("b", 100);
        m_f->files.file("c", 100);
        m_f->files.file("d", 700);
        m_f->files.chmod("d", 0444);
        m_f->files.symlink("e", "d");
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));
        AttributePage* p = w.pageAttribute;
        const qint64 all = 1000 + 1;                 // the link's size is its target's name
        QCOMPARE(p->lblPctN[0]->text(), u"20 %"_s);  // hidden, 1 of 5 files
        QCOMPARE(p->lblPctSz[0]->text(), percentLabel(100.0 * 100 / double(all), 2));
        QCOMPARE(p->lblN[1]->text(), u"1"_s);  // read-only
        QCOMPARE(p->lblPctSz[1]->text(), percentLabel(700.0 * 100 / double(all), 2));
        QCOMPARE(p->lblN[2]->text(), u"1"_s);  // system: the link
        QCOMPARE(p->lblN[3]->text(), u"0"_s);  // archive: never
        QVERIFY(!p->lblN[3]->toolTip().isEmpty());
        const QList<QBarSet*> counts = barSets(p->Chart2);
        QCOMPARE(counts.size(), 1);
        QCOMPARE(counts[0]->count(), 4);
        QCOMPARE(counts[0]->at(3), 20.0);  // hidden is the top bar
        QCOMPARE(counts[0]->color(), QColor(Qt::red));
        QCOMPARE(barSets(p->Chart3)[0]->color(), QColor(Qt::blue));
    }

    void theOverhangPage() {
        m_f->files.file("a", 5000);
        m_f->files.file("b", 100);
        // A file system with 2 KiB clusters: none of the five; no arrow.
        setVolumeQuery([](const QByteArray&) -> std::optional<VolumeSpace> {
            return test::volumeOf(qint64(1) << 30, qint64(1) << 29, 1, 2048);
        });
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));
        OverhangPage* p = w.pageOverhang;
        QVERIFY(w.OvcNotebook1->isTabEnabled(TfrmStatistics::OverhangTab));
        QCOMPARE(p->arrowRow(), -1);
        QVERIFY(!p->imArrow->isVisibleTo(p));
        QCOMPARE(p->lblOver[0]->text(), numberText((4096 - 5000 % 4096) + (4096 - 100)));
        QVERIFY(p->lblLbl->text().startsWith(u"Actual space used "_s));
        const QList<QBarSet*> wasted = barSets(p->chartOverhang);
        QCOMPARE(wasted.size(), 1);
        QCOMPARE(wasted[0]->count(), 5);
        const double slack4k = 4096 - 5000 % 4096 + 4096 - 100;
        QCOMPARE(wasted[0]->at(4), std::round(slack4k * 100 / (slack4k + 5100) * 10) / 10);

        // Only empty files: nothing to waste, the page is not offered.
        QFile::resize(QFile::decodeName(m_f->files.path("a")), 0);
        QFile::resize(QFile::decodeName(m_f->files.path("b")), 0);
        QVERIFY(m_f->collect({m_f->files.root()}));
        QVERIFY(!w.OvcNotebook1->isTabEnabled(TfrmStatistics::OverhangTab));
    }

    void activityAndSizeByAge() {
        // Old and big: 20 MB modified six years ago; small and new beside it.
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        m_f->files.file("old.iso", 20 * 1048576);
        m_f->files.setTimes("old.iso", QDateTime::fromSecsSinceEpoch(now - 6 * 366 * 86400));
        m_f->files.file("new.txt", 10);
        m_f->files.file("monday.txt", 30);
        m_f->files.setTimes("monday.txt",
                            QDateTime::fromSecsSinceEpoch(at(2024, 6, 10, 9, 15), Qt::UTC));
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));

        QCOMPARE(w.pageSizeAge->largestCell(), qMakePair(11, 9));
        StatsTable* sizeAge = w.pageSizeAge->gridSizeAge;
        QCOMPARE(sizeAge->titles().value(10), u"Over 4 years"_s);
        QCOMPARE(sizeAge->rowTexts()[0].value(10), u"20,971,520 (1)"_s);
        const QModelIndex largest = sizeAge->model()->index(0, 10);
        QCOMPARE(sizeAge->model()->data(largest, Qt::BackgroundRole).value<QColor>(),
                 QColor(Qt::yellow));
        QVERIFY(
            sizeAge->model()->data(sizeAge->model()->index(1, 10), Qt::BackgroundRole).isNull());

        StatsTable* activity = w.pageActivity->gridActivity;
        QCOMPARE(activity->model()->rowCount(), 7);
        QCOMPARE(activity->model()->columnCount(), 25);
        QCOMPARE(activity->rowTexts()[0].value(10), u"1"_s);  // Monday, 09:00
        QVERIFY(activity->model()
                    ->data(activity->model()->index(0, 10), Qt::ToolTipRole)
                    .toString()
                    .contains(u"1 files, 30 bytes"_s));
    }

    void anyTableCopiesAsTabSeparatedText() {
        m_f->files.file("a.txt", 20000);
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));
        QGuiApplication::clipboard()->clear();
        w.pageSizes->listing->click();
        w.OvcNotebook1->setCurrentWidget(w.pageSizes);
        w.pageSizes->grid->copyAction()->trigger();
        const QStringList lines = QGuiApplication::clipboard()->text().split(u"\r\n"_s);
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[0], u"File size\tTotal file size\tNumber of files"_s);
        QCOMPARE(lines[11], u"16K - 32K\t20,000\t1"_s);
        for (StatsTable* table : w.findChildren<StatsTable*>()) {
            QVERIFY(table->contextMenu()->actions().contains(table->copyAction()));
            QVERIFY(table->tableText().startsWith(table->titles().join(u'\t')));
        }
    }

    void theSavingsTotalsAndTheirReset() {
        IniFile settings = m_f->settings();
        QVERIFY(settings.writeString(u"Vantrel"_s, u"Ndelete"_s, u"12"_s));
        QVERIFY(settings.writeString(u"Vantrel"_s, u"SizeDelete"_s, u"5000000000"_s));
        QVERIFY(settings.writeString(u"Vantrel"_s, u"DelDate"_s, u"45000"_s));
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        w.OvcNotebook1->setCurrentIndex(TfrmStatistics::DeletedTab);
        DeletedPage* p = w.pageDeleted;
        QCOMPARE(p->edNdelete->text(), u"12 files"_s);
        QCOMPARE(p->edSzDelete->text(), u"5,000,000,000 bytes"_s);
        QCOMPARE(p->edNWaste->text(), u"n/a"_s);
        QCOMPARE(p->lblSince1->text(), u"Since "_s + TextLocale::current().locale.toString(
                                                         QDate(1899, 12, 30).addDays(45000),
                                                         TextLocale::current().shortDateFormat));

        // No: nothing changes.
        m_f->dialogs->answers = {Answer::No};
        p->Button1->click();
        QCOMPARE(m_f->dialogs->questions, QStringList{u"Reset cumulative totals?"_s});
        QCOMPARE(readSavings(settings).deletedCount, 12);

        // The settings file cannot be written: the page says so and shows
        // what the file still holds.
        test::PermissionChecks checks;
        if (checks.enforced()) {
            m_f->home.chmod("", 0555);
            m_f->dialogs->answers = {Answer::Yes};
            p->Button1->click();
            m_f->home.chmod("", 0755);
            QCOMPARE(m_f->dialogs->messages.size(), 1);
            QCOMPARE(m_f->dialogs->messages[0].kind, BoxKind::Error);
            QVERIFY(m_f->dialogs->messages[0].text.startsWith(u"The totals could not be reset"_s));
            QCOMPARE(p->edNdelete->text(), u"12 files"_s);
        }

        m_f->dialogs->answers = {Answer::Yes};
        p->Button1->click();
        QCOMPARE(readSavings(settings), SavingsTotals{});
        QCOMPARE(p->edNdelete->text(), u"n/a"_s);
        QCOMPARE(p->edSzDelete->text(), u"n/a"_s);
        QVERIFY(p->lblSince1->text().isEmpty());
    }

    void printingTheTypeListingAndAPage() {
        m_f->files.file("a.txt", 100);
        TfrmStatistics& w = m_f->open({m_f->files.root()});
        QVERIFY(m_f->collect({m_f->files.root()}));
        const QString pdf = QDir::home().filePath(u"vantrel-report.pdf"_s);
        QFile::remove(pdf);
        w.OvcNotebook1->setCurrentWidget(w.pageTypes);
        w.pageTypes->rgTypes0->click();
        m_f->dialogs->printAnswers = {false};
        w.btPrint->click();
        QVERIFY(!QFile::exists(pdf));
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up here; the test would print on it");

        const auto printed = [&pdf] {
            QFile f(pdf);
            const bool ok = f.open(QIODevice::ReadOnly) && f.read(4) == "%PDF";
            f.close();
            QFile::remove(pdf);
            return ok;
        };
        // The listing as a report, every other page as its image.
        for (QWidget* page : QList<QWidget*>{w.pageTypes, w.pageSizes, w.pageSpace}) {
            w.OvcNotebook1->setCurrentWidget(page);
            m_f->dialogs->printAnswers = {true};
            w.btPrint->click();
            QVERIFY2(printed(), qPrintable(page->objectName()));
        }
        // The page's own colours come back after the print.
        QVERIFY(!w.pageSpace->autoFillBackground());
        QVERIFY(m_f->dialogs->messages.size() == 1);
    }

private:
    std::unique_ptr<test::StatsWindowFixture> m_f;
};

VANTREL_QTEST_MAIN(TestStatisticsPages)
#include "tst_statistics_pages.moc"
