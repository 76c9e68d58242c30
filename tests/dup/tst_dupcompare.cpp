#include "browse/FileDetails.h"
#include "browse/PeFixture.h"
#include "browse/ui/TfrmView.h"
#include "dup/ui/TfrmDup.h"
#include "dup/ui/TfrmDupCompare.h"
#include "platform/FileRecord.h"
#include "results/GridLayout.h"
#include "results/ResultGridModel.h"
#include "results/ui/ResultGrid.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"
#include "text/ui/ElidedLabel.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest/QtTest>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

// A grid row for a real file, its cells as the duplicates search makes them.
GridRow rowFor(const QByteArray& path) {
    FileRecord r;
    if (!statPath(path, r))
        qWarning("cannot stat %s", path.constData());
    const QString name = displayText(r.name);
    return GridRow{
        {name, numberText(r.size), fileDateText(r.time()), fileTimeText(r.time()),
         fileDateText(r.packedAccessTime()), displayText(path.left(path.lastIndexOf('/'))),
         fileTypeDescription(extensionOf(name))},
        path,
        {}};
}

// The duplicates window as the comparison sees it: a real result grid in a
// window of its own, marking through the grid.
class FakeSource : public DupCompareSource {
public:
    explicit FakeSource(int criterion) : mode(criterion), window(std::make_unique<QDialog>()) {
        grid = new ResultGrid(duplicatesLayout(criterion), window.get());
        (new QVBoxLayout(window.get()))->addWidget(grid);
    }
    ResultGrid& dupGrid() override { return *grid; }
    int matchMode() const override { return mode; }
    void MarkThisFile(int row) override {
        marked.append(row);
        grid->MarkThisFile(row);
    }
    QWidget* sourceWindow() override { return window.get(); }
    void addFile(const QByteArray& path) { grid->addToGrid(rowFor(path)); }

    int mode;
    std::unique_ptr<QDialog> window;
    ResultGrid* grid = nullptr;
    QList<int> marked;
};

bool highlighted(const QLabel* label) {
    return label->palette().color(QPalette::Window) == TfrmDupCompare::highlightColor();
}

}  // namespace

class TestDupCompare : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_tree = std::make_unique<test::TempTree>();
    }
    void cleanup() {
        m_tree.reset();
        m_dialogs.reset();
    }

    // Size only, a.txt 100, b.txt 100, c.txt 200: from the first pair there is
    // no matching pair ahead, so PgDn shows the last pair, its sizes highlighted.
    void sizeOnlyWalkThroughThePairs() {
        FakeSource source(3);
        threeFiles(source);
        TfrmDupCompare w;
        w.showFor(source);
        QCOMPARE(pairShown(w), u"1: a.txt | b.txt"_s);
        QVERIFY(!highlighted(w.lblSizeBytes1));

        QTest::keyClick(&w, Qt::Key_PageDown);
        QCOMPARE(pairShown(w), u"2: b.txt | c.txt"_s);
        QCOMPARE(w.lblSizebytes2->text(), u"200 bytes"_s);
        QVERIFY(highlighted(w.lblSizeBytes1) && highlighted(w.lblSizebytes2));
        QCOMPARE(source.grid->currentGridRow(), 2);  // the grid follows
        w.sbR1->click();                             // on the last pair: nothing happens
        QCOMPARE(pairShown(w), u"2: b.txt | c.txt"_s);

        QTest::keyClick(&w, Qt::Key_PageUp);
        QCOMPARE(pairShown(w), u"1: a.txt | b.txt"_s);
        QVERIFY(!highlighted(w.lblSizeBytes1));
    }

    // A folder longer than its label is shortened in the middle; the label
    // still holds it whole (differences are found on whole texts) and its
    // tool tip shows it. A folder that fits is shown as it is.
    void longFolderShortenedInTheMiddleWithItsToolTip() {
        FakeSource source(0);
        const QByteArray deep =
            "Backups/Old laptop (2019)/Documents and Settings/ann/My "
            "Pictures/Holidays 2023 copy/Summer trip to the mountains/Day 3";
        source.addFile(m_tree->file(deep + "/same.txt", 10));
        source.addFile(m_tree->file("b/same.txt", 10));
        TfrmDupCompare w;
        w.showFor(source);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(1100, w.height());  // its width on a 1280 x 1024 screen (the test's is smaller)
        auto* left = qobject_cast<ElidedLabel*>(w.lblFolder1);
        auto* right = qobject_cast<ElidedLabel*>(w.lblFolder2);
        QVERIFY(left && right);
        const QString full = displayText(m_tree->path(deep));
        QCOMPARE(left->text(), full);
        QVERIFY(left->isElided());
        // The short folder is shown whole whenever it fits: how long it is
        // depends on where the test's temporary folder lies.
        const bool rightFits = right->fontMetrics().horizontalAdvance(right->text()) <=
                               right->contentsRect().width();
        QCOMPARE(right->isElided(), !rightFits);
        const QString shown = left->shownText();
        QVERIFY2(shown.contains(QChar(0x2026)) && shown.endsWith(u"Day 3"_s) &&
                     full.startsWith(shown.left(shown.indexOf(QChar(0x2026)))),
                 qPrintable(shown));
        QVERIFY(highlighted(w.lblFolder1) && highlighted(w.lblFolder2));
        const QPoint at = left->rect().center();
        QHelpEvent help(QEvent::ToolTip, at, left->mapToGlobal(at));
        QApplication::sendEvent(left, &help);
        QCOMPARE(QToolTip::text(), full);
        // Wide enough, the whole folder shows.
        w.resize(6000, w.height());
        QTRY_VERIFY(!left->isElided());
        QCOMPARE(left->shownText(), full);
    }

    void crcComparison_data() {
        QTest::addColumn<QByteArray>("right");
        QTest::addColumn<QString>("left");  // its label text; empty after a failure
        QTest::addColumn<bool>("aqua");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("identical")
            << QByteArray("123456789") << u"CBF43926 file contents are identical"_s << false
            << QStringList();
        QTest::newRow("different") << QByteArray("123456780") << u"CBF43926 file contents differ"_s
                                   << true << QStringList();
        QTest::newRow("empty file") << QByteArray() << QString() << false
                                    << QStringList{"Could not create file mapping object"};
    }

    void crcComparison() {
        QFETCH(QByteArray, right);
        QFETCH(QString, left);
        QFETCH(bool, aqua);
        QFETCH(QStringList, messages);
        FakeSource source(3);
        source.addFile(m_tree->fileWith("one/f.bin", "123456789"));
        source.addFile(m_tree->fileWith("two/f.bin", right));
        TfrmDupCompare w;
        w.showFor(source);
        QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
        w.btCompute->click();
        // The result arrives through the event loop; until then the buttons
        // that would change the pair are off.
        QVERIFY(w.crcRunning());
        QVERIFY(!w.btCompute->isEnabled() && !w.btMark1->isEnabled() && !w.sbR1->isEnabled());
        QVERIFY(done.wait());
        QCOMPARE(m_dialogs->messageTexts(), messages);
        QCOMPARE(w.lblCRC1->text(), left);
        QVERIFY(w.lblCRC2->text().endsWith(left.mid(8)));
        QCOMPARE(highlighted(w.lblCRC1) && highlighted(w.lblCRC2), aqua);
        QVERIFY(!w.crcRunning() && w.btCompute->isEnabled());
    }

    // The window shows a copy of the grid; a mark goes to the row that now holds
    // the file shown, and to no row when the file is no longer listed.
    void markActsOnTheRowHoldingTheShownFile() {
        FakeSource source(3);
        threeFiles(source, 2);
        TfrmDupCompare w;
        w.showFor(source);
        QCOMPARE(pairShown(w), u"2: b.txt | c.txt"_s);
        w.btMark1->click();
        w.btMark2->click();
        QCOMPARE(source.marked, (QList<int>{2, 3}));
        QCOMPARE(source.grid->gridModel()->markedCount(), 2);

        // A new scan lists the files in another order while the window is open.
        source.grid->ClearGrid();
        source.marked.clear();
        source.addFile(m_tree->path("c.txt"));
        source.addFile(m_tree->path("a.txt"));
        w.btMark1->click();  // b.txt: no longer listed
        QVERIFY(source.marked.isEmpty());
        w.btMark2->click();  // c.txt, now row 1
        QCOMPARE(source.marked, QList<int>{1});
        QCOMPARE(source.grid->gridModel()->markedPaths(), QList<QByteArray>{m_tree->path("c.txt")});
    }

    // Stepping onto a pair whose right file has vanished keeps the file shown
    // before; Run and View act on what is shown.
    void vanishedFileKeepsThePreviousFacts() {
        FakeSource source(3);
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            source.addFile(m_tree->file(name, 100));
        TfrmDupCompare w;
        QByteArray launched;
        w.setLauncher([&launched](const QByteArray& p) {
            launched = p;
            return false;
        });
        w.showFor(source);
        QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
        w.btCompute->click();
        QVERIFY(done.wait());
        QVERIFY(!w.lblCRC2->text().isEmpty());

        QVERIFY(QFile::remove(QString::fromUtf8(m_tree->path("c.txt"))));
        w.sbR1Click();
        QCOMPARE(pairShown(w), u"2: b.txt | b.txt"_s);
        QCOMPARE(w.lblCRC2->text(), QString());
        QCOMPARE(w.shownPath(1), m_tree->path("b.txt"));

        w.btLaunch2->click();
        QCOMPARE(launched, m_tree->path("b.txt"));
        QCOMPARE(m_dialogs->messageTexts(),
                 QStringList{u"Couldn't run "_s + QString::fromUtf8(m_tree->path("b.txt"))});
        QByteArray viewed;
        m_dialogs->dialogHandlers.push_back([&viewed](QDialog& d) {
            viewed = qobject_cast<TfrmView*>(&d)->fileName();
            return int(QDialog::Rejected);
        });
        w.btView2->click();
        QCOMPARE(viewed, m_tree->path("b.txt"));
    }

    // A grid with no data row has no pair: the buttons are off and pressing
    // them anyway does nothing.
    void gridWithoutAPair() {
        FakeSource empty(0);
        TfrmDupCompare w;
        w.showFor(empty);
        for (QPushButton* b : {w.btMark1, w.btMark2, w.btView1, w.btCompute})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        w.btMark1Click();
        w.btComputeClick();
        w.btView1Click();
        QVERIFY(empty.marked.isEmpty() && !w.crcRunning());
        QVERIFY(m_dialogs->messages.isEmpty() && m_dialogs->dialogTitles.isEmpty());
    }

    // The real duplicates window: "P&airs" shows this window above it, marks
    // reach its grid, and its end sends this window home.
    void worksWithTheDuplicatesWindow() {
        QWidget launcher;
        TfrmDupCompare w(&launcher);
        auto dup = std::make_unique<TfrmDup>(true, &w, &launcher);
        dup->show();
        for (const char* name : {"a/same.txt", "b/same.txt"})
            dup->dupGrid().addToGrid(rowFor(m_tree->file(name, 10)));
        dup->dupGrid().setCurrentGridRow(1);
        dup->btCompareClick();
        QVERIFY(w.isVisible());
        QCOMPARE(w.parentWidget(), dup.get());
        QCOMPARE(w.lblFolder2->text(), QString::fromUtf8(m_tree->path("b")));
        w.btMark2->click();
        QVERIFY(dup->dupGrid().gridModel()->isMarked(2));
        QCOMPARE(dup->pnlSel->text(), u"1 files 10 bytes"_s);

        dup.reset();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.parentWidget(), &launcher);
        QCOMPARE(w.source(), nullptr);
    }

    void crcResultIsDroppedWhenTheWindowCloses() {
        FakeSource source(3);
        threeFiles(source);
        TfrmDupCompare w;
        w.showFor(source);
        QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
        w.btCompute->click();
        w.btClose->click();
        QVERIFY(!w.isVisible());
        QVERIFY(done.wait());
        QCOMPARE(w.lblCRC1->text(), QString());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    // Two programs whose file versions differ: only that line is drawn aqua, in
    // both lists.
    void differingVersionLinesAreHighlighted() {
        test::PeFixtureOptions other;
        other.strings[2].second = u"1.2.3.5"_s;  // FileVersion
        FakeSource source(3);
        source.addFile(m_tree->fileWith("a/tool.exe", test::samplePeImage()));
        source.addFile(m_tree->fileWith("b/tool.exe", test::buildPeImage(other)));
        TfrmDupCompare w;
        w.showFor(source);
        QCOMPARE(w.tlBox2->item(2)->text(), u"File version: 1.2.3.5"_s);
        for (int i = 0; i < 11; ++i)
            QCOMPARE(w.versionLineDiffers(i), i == 2);
        for (QListWidget* list : {w.tlBox1, w.tlBox2}) {
            const QImage image = list->viewport()->grab().toImage();
            const QRect differing = list->visualItemRect(list->item(2));
            const QRect same = list->visualItemRect(list->item(0));
            QCOMPARE(QColor(image.pixel(differing.right() - 2, differing.center().y())),
                     TfrmDupCompare::highlightColor());
            QCOMPARE(QColor(image.pixel(same.right() - 2, same.center().y())),
                     w.normalBackground());
        }
    }

    // The printed image has no aqua; the screen keeps it. Cancelled prints nothing.
    void printsWithoutHighlight() {
        FakeSource source(3);
        threeFiles(source, 2);
        TfrmDupCompare w;
        w.showFor(source);
        QVERIFY(highlighted(w.lblSizeBytes1));
        QImage image(w.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        w.renderForPrint(painter);
        painter.end();
        int aqua = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                aqua += image.pixel(x, y) == TfrmDupCompare::highlightColor().rgb();
        QCOMPARE(aqua, 0);
        QVERIFY(highlighted(w.lblSizeBytes1) && highlighted(w.lblSizebytes2));

        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed; the rest prints to a PDF file only");
        const QString pdf = QDir::home().filePath(u"vantrel-pairs.pdf"_s);
        QFile::remove(pdf);
        m_dialogs->printAnswers = {false};
        w.btPrint->click();
        QVERIFY(!QFile::exists(pdf));
        m_dialogs->printAnswers = {true};
        w.btPrint->click();
        QTRY_VERIFY(QFileInfo(pdf).size() > 0);
        QVERIFY(m_dialogs->messages.isEmpty() && highlighted(w.lblSizeBytes1));
        QFile::remove(pdf);
    }

    // The duplicates window runs modal; the comparison opened from it must still
    // take clicks (through the window system, where modality applies).
    void usableAboveAModalSource() {
        QWidget launcher;  // outlives the source window it will own
        launcher.show();
        FakeSource source(3);
        threeFiles(source);
        TfrmDupCompare w(&launcher);
        source.window->setParent(&launcher, Qt::Dialog);
        source.window->setWindowModality(Qt::ApplicationModal);
        source.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(source.window.get()));
        w.showFor(source);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto click = [](QWidget* window, QWidget* target) {
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              target->mapTo(window, target->rect().center()));
        };
        click(&w, w.btMark1);
        QCOMPARE(source.marked, QList<int>{1});
        click(&w, w.sbR1);
        QCOMPARE(pairShown(w), u"2: b.txt | c.txt"_s);
    }

    // "Size and modify date/time": 1 June 2001 and 1 June 2101 show the same
    // date text, but only files of the same time make a matching pair.
    void pairsMatchByTimeNotByDateText() {
        FakeSource source(4);
        const QDateTime y2001(QDate(2001, 6, 1), QTime(12, 0), Qt::UTC);
        const QDateTime y2101(QDate(2101, 6, 1), QTime(12, 0), Qt::UTC);
        for (const auto& [name, when] :
             {std::pair{"a.bin", y2001}, {"b.bin", y2101}, {"c.bin", y2001}, {"d.bin", y2001}}) {
            m_tree->file(name, 100);
            m_tree->setTimes(name, when);
            source.addFile(m_tree->path(name));
        }
        QCOMPARE(source.grid->gridModel()->cellText(2, 2),
                 source.grid->gridModel()->cellText(3, 2));
        source.grid->setCurrentGridRow(1);
        TfrmDupCompare w;
        w.showFor(source);
        QTest::keyClick(&w, Qt::Key_PageDown);
        QCOMPARE(pairShown(w), u"3: c.bin | d.bin"_s);
        QTest::keyClick(&w, Qt::Key_PageUp);
        QCOMPARE(pairShown(w), u"1: a.bin | b.bin"_s);
        QVERIFY(highlighted(w.lblModify1) && highlighted(w.lblModify2));
    }

    // A listed file replaced by a fifo (no writer: opening it to read would
    // wait for ever) is refused at once with a message that says why, and
    // the window closes and goes without waiting for anything.
    void crcOfAFifoIsRefusedAndClosingNeverWaits() {
        FakeSource source(3);
        const QByteArray kept = m_tree->fileWith("one/f.bin", "123456789");
        const QByteArray replaced = m_tree->fileWith("two/f.bin", "123456789");
        source.addFile(kept);
        source.addFile(replaced);
        QVERIFY(QFile::remove(QString::fromUtf8(replaced)));
        m_tree->fifo("two/f.bin");
        {
            TfrmDupCompare w;
            w.showFor(source);
            QCOMPARE(w.shownPath(1), replaced);
            QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
            w.btCompute->click();
            QVERIFY(done.wait());
            QCOMPARE(m_dialogs->messageTexts(),
                     QStringList{u"Could not open file "_s + QString::fromUtf8(replaced) +
                                 u" (not a regular file)"_s});
            QCOMPARE(w.lblCRC1->text(), QString());

            // Closing while a checksum runs lets go of it at once.
            w.btCompute->click();
            QVERIFY(w.crcRunning());
            w.btClose->click();
            QVERIFY(!w.isVisible() && !w.crcRunning());
            w.showFor(source);
            QVERIFY(w.btCompute->isEnabled());
        }
        QCOMPARE(m_dialogs->messages.size(), 1);
    }

private:
    // The pair shown, as "<left row>: <left name> | <right name>".
    static QString pairShown(const TfrmDupCompare& w) {
        return u"%1: %2 | %3"_s.arg(w.leftRow()).arg(w.GroupBox1->title(), w.GroupBox2->title());
    }

    // a.txt 100, b.txt 100, c.txt 200, the given row current.
    void threeFiles(FakeSource& source, int current = 1) {
        for (const auto& [name, size] : {std::pair{"a.txt", 100}, {"b.txt", 100}, {"c.txt", 200}})
            source.addFile(m_tree->file(name, size, name[0]));
        source.grid->setCurrentGridRow(current);
    }

    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<test::TempTree> m_tree;
};

VANTREL_QTEST_MAIN(TestDupCompare)
#include "tst_dupcompare.moc"
