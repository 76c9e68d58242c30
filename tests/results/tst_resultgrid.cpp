// The result grid as a window uses it: filled, marked, sorted and copied the
// way a user does it; mark all, the row hooks, column widths and the mark
// picture.
#include "results/SortDirections.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/ResultGridDelegate.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest/QtTest>

#include <numeric>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

// A tool's grid in miniature: the grid as a window, with its status line.
struct TestWindow {
    explicit TestWindow(const GridLayout& layout) : flags(layout), grid(layout) {
        grid.setStatusLabel(&status);
        grid.gridModel()->setSortDirections(&flags);
        grid.resize(800, 400);
    }
    void showExposed() {
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
    }
    // File-hog rows for real files of the given sizes, named f<size>.
    void fillHogs(test::TempTree& tree, const QList<qint64>& sizes) {
        for (qint64 size : sizes)
            addHog(tree.file("f" + QByteArray::number(size), size),
                   numberText(size) + "\t1/2/24\t9:00:00 AM\t1/3/24", "Binary");
    }
    // A file-hog row for `path` after the given size, date and time cells.
    void addHog(const QByteArray& path, const QString& cells, const QString& type = "T") {
        grid.addToGrid(cells + "\t" + displayText(path) + "\t" + type, path);
    }
    QStringList column(int c) const {
        QStringList out;
        for (const QStringList& row : grid.gridModel()->gridRows())
            out.append(row.value(c));
        return out;
    }
    QPoint titleCenter(int column) const {
        QHeaderView* header = grid.horizontalHeader();
        return {header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                header->height() / 2};
    }
    QPoint rowCenter(int row) const {
        return grid.visualRect(grid.model()->index(row - 1, 1)).center();
    }

    SortDirections flags;
    QLabel status;  // not shown
    ResultGrid grid;
};

}  // namespace

class TestResultGrid : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempTree> m_tree;

private Q_SLOTS:
    void init() { m_tree = std::make_unique<test::TempTree>(); }
    void cleanup() { m_tree.reset(); }

    void userMarksSortsAndCopies() {
        ScriptedDialogs dialogs;
        TestWindow w(fileHogsLayout());
        w.fillHogs(*m_tree, {100, 2000, 30});
        w.showExposed();
        QTest::mouseClick(w.grid.viewport(), Qt::LeftButton, {}, w.rowCenter(2));
        QTest::mouseDClick(w.grid.viewport(), Qt::LeftButton, {}, w.rowCenter(2));
        QVERIFY(w.grid.gridModel()->isMarked(2));
        QCOMPARE(w.status.text(), QStringLiteral("1 files 2,000 bytes"));
        QVERIFY(w.grid.deleteEnabled());
        // Delete acts like the Mark button: toggle, then one row down, but
        // not past the last row.
        w.grid.setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(&w.grid, Qt::Key_Delete);
        QCOMPARE(w.grid.currentGridRow(), 3);
        // Row 2 off, row 3 on and off again.
        QCOMPARE(w.status.text(), QStringLiteral("0 files 0 bytes"));
        QTest::keyClick(&w.grid, Qt::Key_Delete);
        QCOMPARE(w.status.text(), QStringLiteral("1 files 30 bytes"));

        // Title clicks sort by size; "Time" does not sort, nor does a press
        // released elsewhere; the mark goes with its row.
        QWidget* titles = w.grid.horizontalHeader()->viewport();
        QTest::mouseClick(titles, Qt::LeftButton, {}, w.titleCenter(0));
        QCOMPARE(w.column(0), QStringList({"2,000", "100", "30"}));
        QTest::mouseClick(titles, Qt::LeftButton, {}, w.titleCenter(0));
        QTest::mouseClick(titles, Qt::LeftButton, {}, w.titleCenter(2));
        QTest::mousePress(titles, Qt::LeftButton, {}, w.titleCenter(0));
        QTest::mouseRelease(titles, Qt::LeftButton, {}, w.titleCenter(0) + QPoint(1, 0));
        QCOMPARE(w.column(0), QStringList({"30", "100", "2,000"}));
        QVERIFY(w.grid.gridModel()->isMarked(1));
        w.grid.sortAction(3)->trigger();  // "&Name": f100, f2000, f30
        QCOMPARE(w.column(0), QStringList({"100", "2,000", "30"}));
        QCOMPARE(w.grid.checkedSortKey(), 3);
        w.grid.sortAction(0)->trigger();

        // The clipboard takes the lines in the order they were found (their sizes compared).
        w.grid.btClipClick();
        QCOMPARE(QGuiApplication::clipboard()->text().remove(QRegularExpression("\t[^\r]*")),
                 "100\r\n2,000\r\n30");
        QCOMPARE(w.column(0), QStringList({"2,000", "100", "30"}));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void markAllUnmarkAllAndClear() {
        TestWindow w(fileHogsLayout());
        QAbstractItemModelTester tester(w.grid.gridModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Marking vanished files enables Delete although nothing was counted.
        w.grid.gridModel()->beginBatch();
        for (int i = 0; i < 5; ++i)
            w.addHog(m_tree->path("gone" + QByteArray::number(i)), "1\t\t\t");
        w.grid.gridModel()->endBatch();
        w.grid.markAllAction()->trigger();
        QVERIFY(w.grid.deleteEnabled());
        QCOMPARE(w.grid.gridModel()->markedPathCount(), 5);
        QCOMPARE(w.status.text(), QStringLiteral("0 files 0 bytes"));
        w.grid.unmarkAllAction()->trigger();
        QVERIFY(!w.grid.deleteEnabled());
        w.grid.sortAction(4)->trigger();
        w.grid.DeleteAllFiles();
        w.grid.ClearGrid();
        QCOMPARE(w.grid.gridRowCount(), 2);
        QCOMPARE(w.grid.gridModel()->reportRows().size(), 2);  // titles and the empty row
        QCOMPARE(w.grid.checkedSortKey(), 0);
        w.grid.DeleteAllFiles();  // the empty row takes no mark
        QCOMPARE(w.grid.gridModel()->markedPathCount(), 0);
        QVERIFY(!w.grid.deleteEnabled());
        // Duplicates are never re-sorted.
        w.grid.setGridLayout(duplicatesLayout(0));
        QVERIFY(!w.grid.sortMenuAction()->isVisible());
    }

    void rowHooksCarryTheExactPath() {
        ScriptedDialogs dialogs;
        TestWindow w(fileHogsLayout());
        const QByteArray odd = m_tree->file("odd\xff name", 5);
        const QByteArray gone = m_tree->path("gone");
        for (const QByteArray& path : {odd, gone})
            w.addHog(path, "5\t\t\t");
        QList<QByteArray> opened;
        w.grid.setOpener([&](const QByteArray& p) {
            opened.append(p);
            return false;
        });
        QSignalSpy view(&w.grid, &ResultGrid::viewRequested);
        QSignalSpy details(&w.grid, &ResultGrid::detailsRequested);
        QSignalSpy browse(&w.grid, &ResultGrid::browseRequested);
        // A vanished file is neither run, viewed nor inspected; its folder
        // can still be browsed.
        for (int row : {1, 2}) {
            w.grid.setCurrentGridRow(row);
            for (QAction* a : {w.grid.runAction(), w.grid.viewAction(), w.grid.detailsAction()})
                a->trigger();
            w.grid.BrowseDirectory1Click();
        }
        QCOMPARE(opened, QList<QByteArray>{odd});
        QCOMPARE(dialogs.messageTexts(), QStringList{"Couldn't run " + displayText(odd)});
        QCOMPARE(QList<QVariantList>(view), QList<QVariantList>{{odd}});
        QCOMPARE(details.size(), 1);
        QCOMPARE(QList<QVariantList>(browse), QList<QVariantList>({{odd}, {gone}}));
    }

    void columnWidthsFollowTheLayout_data() {
        QTest::addColumn<bool>("hogs");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("duplicates") << false << QList<int>{93, 58, 64, 70, 70, 184, 96};
        QTest::newRow("file hogs") << true << QList<int>{64, 64, 64, 64, 296, 96};
    }
    void columnWidthsFollowTheLayout() {
        QFETCH(bool, hogs);
        QFETCH(QList<int>, widths);
        TestWindow w(hogs ? fileHogsLayout() : duplicatesLayout(0));
        // A font of at most 6 pixels a digit: an empty grid's columns that do
        // not stretch keep their base widths, the stretching ones share the
        // rest, and the columns end at the edge.
        QFont font = w.grid.font();
        font.setPixelSize(9);
        w.grid.setFont(font);
        w.grid.FormResize(900);
        int total = 0;
        for (int c = 0; c < widths.size(); ++c) {
            const int width = w.grid.columnWidth(c);
            total += width;
            if (w.grid.gridLayout().stretches(c))
                QVERIFY2(width > widths[c], qPrintable(QString::number(c)));
            else
                QCOMPARE(width, widths[c]);
        }
        QCOMPARE(total, 900);
        // A wider font widens the columns, so that the times fit.
        font.setPixelSize(16);
        w.grid.setFont(font);
        w.grid.FormResize(1200);
        QVERIFY(w.grid.fontMetrics().horizontalAdvance(QStringLiteral("10:00:00 PM")) + 4 <=
                w.grid.columnWidth(hogs ? 2 : 3));
        // The size title stands right-aligned over its right-aligned sizes.
        const QVariant align =
            w.grid.model()->headerData(hogs ? 0 : 1, Qt::Horizontal, Qt::TextAlignmentRole);
        QVERIFY(align.toInt() & Qt::AlignRight);
    }

    // A duplicates grid with a long folder and a long type: at a width that
    // cannot hold them, they are shortened in the middle and their tool tips
    // hold them whole; sizes, dates and times stay whole; a wider grid gives
    // the extra room to name, folder and type, not to the last column alone.
    void longTextsShortenedInTheMiddleAndExtraWidthShared() {
        TestWindow w(duplicatesLayout(0));
        const QString folder = QStringLiteral(
            "/home/ann/Pictures/Holidays 2023/Summer trip to "
            "the mountains with the whole family/Day 3");
        const QString type = QStringLiteral("Portable Network Graphics image, saved by a camera");
        const QString size = QStringLiteral("1,500,000,000");
        for (const QString& name : {u"IMG_0001.jpg"_s, u"IMG_0001.jpg"_s})
            w.grid.addToGrid(GridRow{{name, size, "8/1/23", "10:00:00 PM", "8/2/23", folder, type},
                                     "/x/" + name.toUtf8(),
                                     {}});
        w.grid.resize(900, 300);
        w.showExposed();
        QCoreApplication::processEvents();  // the fit after the rows came in
        auto* delegate = qobject_cast<ResultGridDelegate*>(w.grid.itemDelegate());
        QVERIFY(delegate);
        const auto index = [&](int column) { return w.grid.model()->index(0, column); };
        const auto shown = [&](int column) {
            return delegate->shownText(w.grid.fontMetrics(), w.grid.visualRect(index(column)),
                                       index(column));
        };
        const auto widths = [&] {
            QList<int> out;
            for (int c = 0; c < 7; ++c)
                out.append(w.grid.columnWidth(c));
            return out;
        };
        const auto sum = [](const QList<int>& l) { return std::accumulate(l.begin(), l.end(), 0); };

        QCOMPARE(sum(widths()), w.grid.viewport()->width());  // no sideways scrolling
        for (int c : {1, 2, 3, 4})
            QCOMPARE(shown(c), w.grid.gridModel()->cellText(1, c));
        const QString cut = shown(5);
        QVERIFY2(
            cut.contains(QChar(0x2026)) && cut.startsWith(u"/home/"_s) && cut.endsWith(u"Day 3"_s),
            qPrintable(cut));
        // The tool tip over the shortened folder is the whole folder; over a
        // text that fits, the grid's hint.
        const auto tipAt = [&](int column) {
            const QPoint at = w.grid.visualRect(index(column)).center();
            QHelpEvent help(QEvent::ToolTip, at, w.grid.viewport()->mapToGlobal(at));
            QToolTip::hideText();
            QApplication::sendEvent(w.grid.viewport(), &help);
            return QToolTip::text();
        };
        QCOMPARE(tipAt(5), folder);
        QCOMPARE(tipAt(1), w.grid.toolTip());

        // Wider: every text whole, the extra shared by the stretching columns.
        const QList<int> narrow = widths();
        w.grid.resize(2000, 300);
        QTRY_COMPARE(sum(widths()), w.grid.viewport()->width());
        const QList<int> wide = widths();
        for (int c : {0, 5, 6})
            QVERIFY2(wide[c] > narrow[c], qPrintable(QString::number(c)));
        for (int c : {1, 2, 3, 4})
            QCOMPARE(wide[c], narrow[c]);
        for (int c = 0; c < 7; ++c)
            QCOMPARE(shown(c), w.grid.gridModel()->cellText(1, c));
    }

    void drawsTheMarkPicture() {
        TestWindow w(fileHogsLayout());
        w.fillHogs(*m_tree, {100, 2000, 30});
        w.grid.FormResize(w.grid.width());
        w.showExposed();
        w.grid.deleteOneFile(2);
        w.grid.setCurrentGridRow(1);  // row 2 drawn unselected
        const QImage image = w.grid.viewport()->grab().toImage();
        const auto pixel = [&](int row, int dy) {
            const QRect cell = w.grid.visualRect(w.grid.model()->index(row - 1, 4));
            return image.pixelColor(cell.left() + 2 + 8, cell.top() + 2 + dy);
        };
        QVERIFY2(pixel(2, 8).red() > 150 && pixel(2, 8).green() < 80,
                 qPrintable(pixel(2, 8).name()));
        // Purple is transparent: between the arms of the cross the ground shows.
        QCOMPARE(pixel(2, 0), w.grid.palette().color(QPalette::Base));
        QVERIFY(!(pixel(3, 8).red() > 150 && pixel(3, 8).green() < 80));  // unmarked row
    }
};

VANTREL_QTEST_MAIN(TestResultGrid)
#include "tst_resultgrid.moc"
