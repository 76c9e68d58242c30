// The statistics window's runs on real fixture trees: one root through to
// every page's figures (expected figures from the fixture's own sizes and
// from find), several roots with one not ready, a hung mount that must not
// freeze the window, a root that vanishes, every run clearing every page,
// the type choice, and Abort, Esc and Close during a run.
#include "StatsWindowFixture.h"

#include "scan/TypeLists.h"
#include "stats/StatsTables.h"
#include "stats/ui/AttributePage.h"
#include "stats/ui/ClassPage.h"
#include "stats/ui/OverhangPage.h"
#include "stats/ui/StatsTable.h"
#include "stats/ui/TypesPage.h"
#include "text/Formats.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>

#include <atomic>
#include <future>

#include <unistd.h>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

// The cell texts of a listing, row by row.
QList<QStringList> cells(const StatsTable* table) {
    return table->rowTexts();
}

// Bytes the files of a tree take on disk, each hard-linked file once, as
// find reports them.
qint64 allocatedByFind(const QByteArray& root) {
    QProcess p;
    p.start(u"find"_s,
            {QFile::decodeName(root), u"!"_s, u"-type"_s, u"d"_s, u"-printf"_s, u"%i %b\\n"_s});
    p.waitForFinished(60000);
    QSet<QByteArray> inodes;
    qint64 total = 0;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 2 || inodes.contains(f[0]))
            continue;
        inodes.insert(f[0]);
        total += f[1].toLongLong() * 512;
    }
    return total;
}

}  // namespace

class TestStatistics : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_f = std::make_unique<test::StatsWindowFixture>();
        // Every root on a file system of its own with 4 KiB clusters.
        setVolumeQuery([](const QByteArray& root) -> std::optional<VolumeSpace> {
            return test::volumeOf(qint64(100) << 30, qint64(40) << 30, qHash(root));
        });
    }
    void cleanup() { m_f.reset(); }

    void oneRootThroughToEveryPage() {
        test::TempTree& t = m_f->files;
        // Sizes: 100, 16384 (the top of "0 - 16K"), 16385, 2,000,000, 10, 20.
        t.file("a/one.txt", 100);
        t.file("a/two.txt", 16384);
        t.file("b/three.doc", 16385);
        t.file(".hidden/four.doc", 2000000);
        QCOMPARE(::link(t.path("b/three.doc").constData(), t.path("b/again.doc").constData()), 0);
        t.file("README", 10);
        t.file(".profile", 20);
        const QList<qint64> sizes = {100, 16384, 16385, 2000000, 10, 20};
        qint64 bytes = 0;
        for (qint64 s : sizes)
            bytes += s;

        TfrmStatistics& w = m_f->open({t.root()});
        QCOMPARE(w.windowTitle(), u"File Statistics Not Yet Collected"_s);
        w.OvcNotebook1->setCurrentIndex(TfrmStatistics::TypesTab);
        QVERIFY(w.pnlNotYet->isVisible());
        QCOMPARE(w.lblNotYet->text(), u"Statistics haven't been collected yet!"_s);

        QVERIFY(m_f->collect({t.root()}));
        const QString drive = QFile::decodeName(t.root()) + u"  [folder]"_s;
        QCOMPARE(m_f->dialogs->messageTexts(),
                 QStringList{u"Disk Drive "_s + drive +
                             u" will be scanned.  The analysis may take some time.  You may quit "
                             u"at any time by clicking Abort or pressing ESC."_s});
        QCOMPARE(w.windowTitle(),
                 u"Statistics completed for drives "_s + QFile::decodeName(t.root()) + u" "_s);
        // Seven names, six files: the hard link counts once.
        QCOMPARE(w.StatusBar1->text(), u"Finished - 7 files processed 6 files found"_s);
        QVERIFY(!w.pnlNotYet->isVisible());
        QCOMPARE(w.totals().totalBytes(), bytes);

        // Sizes, largest class first.
        const QList<QStringList> sizeRows = cells(w.pageSizes->grid);
        QCOMPARE(sizeRows.size(), 12);
        QCOMPARE(sizeRows[0], (QStringList{u"Over 16MB"_s, u"0"_s, u"0"_s}));
        QCOMPARE(sizeRows[4], (QStringList{u"1MB - 2MB"_s, u"2,000,000"_s, u"1"_s}));
        QCOMPARE(sizeRows[10], (QStringList{u"16K - 32K"_s, u"16,385"_s, u"1"_s}));
        QCOMPARE(sizeRows[11], (QStringList{u"0 - 16K"_s, u"16,514"_s, u"4"_s}));
        // Everything was written just now.
        const QList<QStringList> modified = cells(w.pageModified->grid);
        QCOMPARE(modified[8], (QStringList{u"<= 7 days"_s, numberText(bytes), u"6"_s}));
        QCOMPARE(w.pageModified->grid->titles().value(0), u"Modified Date"_s);

        // Types, in extension order: no extension (README), .DOC, .TXT;
        // ".PROFILE" is longer than five characters.
        w.pageTypes->sortAction(TypeSort::Extension)->trigger();
        QCOMPARE(
            cells(w.pageTypes->gridTypes),
            (QList<QStringList>{
                {u""_s, u"No extension"_s, u"10"_s, u"1"_s, u"10"_s},
                {u".DOC"_s, fileTypeDescription(u".DOC"_s), u"2,016,385"_s, u"2"_s, u"1,008,192"_s},
                {u".TXT"_s, fileTypeDescription(u".TXT"_s), u"16,484"_s, u"2"_s, u"8,242"_s}}));

        // Attributes: one hidden file of six, 20 bytes.
        QCOMPARE(w.pageAttribute->lblN[0]->text(), u"1"_s);
        QCOMPARE(w.pageAttribute->lblPctN[0]->text(), u"16.67 %"_s);
        QCOMPARE(w.pageAttribute->lblSz[0]->text(), u"20"_s);

        // Overhang: one root, so the page is offered; the arrow at 4K.
        QVERIFY(w.OvcNotebook1->isTabEnabled(TfrmStatistics::OverhangTab));
        OverhangPage* o = w.pageOverhang;
        for (int i = 0; i < 5; ++i) {
            const qint64 cluster = qint64(4096) << i;
            qint64 slack = 0;
            for (qint64 s : sizes)
                slack += (cluster - s % cluster) % cluster;
            QCOMPARE(o->lblOver[i]->text(), numberText(slack));
        }
        QCOMPARE(o->arrowRow(), 0);
        QCOMPARE(o->lblNumFiles->text(), u"Number of files scanned: 6"_s);
        QCOMPARE(o->lblSize->text(), u"1 MB"_s);  // 2,032,899 bytes, truncated
        QCOMPARE(o->lblLbl->text(),
                 u"Actual space used "_s + kilobyteOrMegabyteText(allocatedByFind(t.root())));
    }

    void severalRootsOneNotReady() {
        test::TempTree& t = m_f->files;
        t.file("one/a.txt", 1000);
        t.file("two/b.txt", 2000);
        t.file("gone/c.txt", 4000);
        const QByteArray offline = t.path("gone");
        setVolumeQuery([offline](const QByteArray& root) -> std::optional<VolumeSpace> {
            if (root == offline)
                return std::nullopt;
            return test::volumeOf(qint64(1) << 30, qint64(1) << 29, qHash(root));
        });
        TfrmStatistics& w = m_f->open({t.path("one"), offline, t.path("two")});
        QVERIFY(m_f->collect({t.path("one"), offline, t.path("two")}));
        QCOMPARE(m_f->dialogs->messageTexts(),
                 QStringList{u"Since you selected more than one drive to analyze, the Cluster "
                             u"Overhang tab will be disabled.  You may quit the analysis at any "
                             u"time by clicking CANCEL or by pressing ESC."_s});
        const QString one = QFile::decodeName(t.path("one"));
        const QString two = QFile::decodeName(t.path("two"));
        QCOMPARE(w.windowTitle(), u"Statistics completed for drives "_s + one + u" "_s + two +
                                      u" - not ready: "_s + QFile::decodeName(offline) + u" "_s);
        QCOMPARE(w.walkedRoots().size(), 2);
        QCOMPARE(w.skippedRoots().size(), 1);
        QCOMPARE(w.totals().totalBytes(), 3000);
        QVERIFY(!w.OvcNotebook1->isTabEnabled(TfrmStatistics::OverhangTab));
        QCOMPARE(w.typesPrintTitle(), u"File types for drive(s) "_s + one + u" "_s + two + u" "_s);
    }

    void aHungMountDoesNotFreezeTheWindow() {
        test::TempTree& t = m_f->files;
        t.file("mine/a.txt", 1000);
        t.file("nfs/b.txt", 2000);
        const QByteArray hung = t.path("nfs");
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        setVolumeQuery([hung, released](const QByteArray& root) -> std::optional<VolumeSpace> {
            if (root == hung)
                released.wait();
            return test::volumeOf(qint64(1) << 30, qint64(1) << 29, qHash(root));
        });
        TfrmStatistics& w = m_f->open({t.path("mine"), hung});
        QVERIFY(m_f->collect({t.path("mine")}));
        QCOMPARE(w.totals().totalBytes(), 1000);

        // The only root chosen does not answer: the window stays usable
        // while it waits, then says it cannot go on and keeps the figures.
        m_f->answerWizard({{hung}});
        QSignalSpy ended(&w, &TfrmStatistics::runEnded);
        w.btOK->click();
        QVERIFY(w.isCollecting());
        w.OvcNotebook1->setCurrentIndex(TfrmStatistics::SizesTab);
        QCOMPARE(w.OvcNotebook1->currentIndex(), int(TfrmStatistics::SizesTab));
        QVERIFY(ended.wait(60000));
        QCOMPARE(m_f->dialogs->messageTexts().last(),
                 u"Could not compute the total size of the disk drives selected.  Cannot "
                 u"proceed with statistics."_s);
        QCOMPARE(w.totals().totalBytes(), 1000);
        QVERIFY(!w.isCollecting());

        // Chosen beside a root that answers, it is skipped and named.
        QVERIFY(m_f->collect({t.path("mine"), hung}));
        QCOMPARE(w.skippedRoots().value(0).root, hung);
        QVERIFY(w.windowTitle().endsWith(u" - not ready: "_s + QFile::decodeName(hung) + u" "_s));
        release.set_value();
    }

    void aRootThatVanishesBeforeItsWalk() {
        test::TempTree& t = m_f->files;
        t.file("stays/a.txt", 1000);
        t.file("goes/b.txt", 2000);
        const QByteArray goes = t.path("goes");
        // The root is there when its file system is asked, gone when its
        // walk begins.
        setVolumeQuery([goes](const QByteArray& root) -> std::optional<VolumeSpace> {
            if (root == goes)
                QDir(QFile::decodeName(goes)).removeRecursively();
            return test::volumeOf(qint64(1) << 30, qint64(1) << 29, 1);
        });
        TfrmStatistics& w = m_f->open({goes, t.path("stays")});
        QVERIFY(m_f->collect({goes, t.path("stays")}));
        QVERIFY(m_f->dialogs->messageTexts().contains(u"Can't open drive "_s +
                                                      QFile::decodeName(goes) + u"  [folder]"_s));
        QCOMPARE(w.walkedRoots().size(), 1);
        QCOMPARE(w.skippedRoots().value(0).root, goes);
        QCOMPARE(w.totals().totalBytes(), 1000);
        // One root walked: the overhang page is offered.
        QVERIFY(w.OvcNotebook1->isTabEnabled(TfrmStatistics::OverhangTab));
    }

    void everyRunClearsEveryPage() {
        test::TempTree& t = m_f->files;
        t.file("first/a.doc", 70000);
        t.file("first/.hidden.doc", 5);
        t.file("second/b.txt", 300);
        TfrmStatistics& w = m_f->open({t.path("first"), t.path("second")});
        QVERIFY(m_f->collect({t.path("first")}));
        QCOMPARE(w.totals().types.keys(), QList<QByteArray>{".DOC"});
        QCOMPARE(w.pageAttribute->lblN[0]->text(), u"1"_s);
        QVERIFY(m_f->collect({t.path("second")}));
        QCOMPARE(w.totals().types.keys(), QList<QByteArray>{".TXT"});
        QCOMPARE(w.pageTypes->model()->rowCount(), 1);
        QCOMPARE(cells(w.pageSizes->grid)[8], (QStringList{u"64K - 128K"_s, u"0"_s, u"0"_s}));
        QCOMPARE(cells(w.pageSizes->grid)[11], (QStringList{u"0 - 16K"_s, u"300"_s, u"1"_s}));
        QCOMPARE(w.pageAttribute->lblN[0]->text(), u"0"_s);
    }

    void theTypeChoice() {
        test::TempTree& t = m_f->files;
        t.file("X.DOC", 10);
        t.file("y.doc", 20);
        t.file("README", 30);
        t.file("z.txt", 40);
        IniFile settings = m_f->settings();
        QVERIFY(
            WriteStatFilesToDisk({typeLine(u"*.doc"_s), typeLine(u"*.xyz"_s), typeLine(u"*."_s)},
                                 settings, kIncludeSection));
        QVERIFY(WriteStatFilesToDisk({typeLine(u"*.doc"_s)}, settings, kExcludeSection));
        TfrmStatistics& w = m_f->open({t.root()});

        QVERIFY(m_f->collect(
            {{t.root()}, TypeSelection::Mode::Include, {u"*.doc"_s, u"*.xyz"_s, u"*."_s}}));
        QCOMPARE(w.totals().filesFound, 3);
        QCOMPARE(w.totals().filesProcessed, 4);
        w.pageTypes->rgTypes0->setChecked(true);
        w.pageTypes->sortAction(TypeSort::Extension)->trigger();
        QCOMPARE(cells(w.pageTypes->gridTypes),
                 (QList<QStringList>{
                     {u""_s, u"No extension"_s, u"30"_s, u"1"_s, u"30"_s},
                     {u".DOC"_s, fileTypeDescription(u".DOC"_s), u"30"_s, u"2"_s, u"15"_s},
                     {u".XYZ"_s, fileTypeDescription(u".XYZ"_s), u"0"_s, u"0"_s, u"0"_s}}));
        QCOMPARE(w.StatusBar1->text(), u"Finished - 4 files processed 3 files found"_s);

        QVERIFY(m_f->collect({{t.root()}, TypeSelection::Mode::Exclude, {u"*.doc"_s}}));
        QCOMPARE(w.totals().filesFound, 2);
        QCOMPARE(w.totals().totalBytes(), 70);
    }

    void abortEscAndCloseStopTheRun_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Abort") << u"abort"_s;
        QTest::newRow("Esc") << u"esc"_s;
        QTest::newRow("Close") << u"close"_s;
        QTest::newRow("close box") << u"closebox"_s;
    }
    void abortEscAndCloseStopTheRun() {
        QFETCH(QString, how);
        test::TempTree& t = m_f->files;
        for (int i = 0; i < 20; ++i)
            t.file("d" + QByteArray::number(i) + "/f.txt", 10);
        TfrmStatistics& w = m_f->open({t.root()});
        w.OvcNotebook1->setCurrentIndex(TfrmStatistics::TypesTab);
        // Stopped as soon as the walk begins, while the run certainly goes on.
        QMetaObject::Connection stop = connect(&w.scanFrame(), &ScanFrame::started, &w, [&w, how] {
            QVERIFY(w.btAbort->isVisible() && w.btCancel->isEnabled() && !w.btOK->isEnabled());
            if (how == u"abort"_s)
                w.btAbort->click();
            else if (how == u"esc"_s)
                QTest::keyClick(&w, Qt::Key_Escape);
            else if (how == u"close"_s)
                w.btCancel->click();
            else
                QVERIFY(!w.close());
        });
        QVERIFY(m_f->collect({t.root()}));
        disconnect(stop);
        QVERIFY(w.isVisible());
        QVERIFY(w.scanFrame().lastOutcome().aborted());
        QCOMPARE(w.windowTitle(), u"File Statistics for drive(s) incomplete ... aborted."_s);
        QVERIFY(w.StatusBar1->text().endsWith(u" INCOMPLETE ... ABORTED"_s));
        // No box for the abort itself; only the wizard's information.
        QCOMPARE(m_f->dialogs->messages.size(), 1);
        QVERIFY(w.btOK->isEnabled() && !w.btAbort->isVisible());
        // Close acts again once the run is over.
        w.btCancel->click();
        QVERIFY(!w.isVisible());
    }

private:
    std::unique_ptr<test::StatsWindowFixture> m_f;
};

VANTREL_QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
