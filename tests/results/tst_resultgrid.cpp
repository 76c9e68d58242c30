// The result grid as a window uses it: marks by double click, the Delete key
// and the menu, sorting by title click and menu, printing, the clipboard,
// the row hooks, column widths and the top panel.
#include "results/SortDirections.h"
#include "results/ui/ResultGrid.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest/QtTest>

#include <memory>

#include <unistd.h>

using namespace vantrel;

namespace {

// A tool window in miniature: a top panel, the grid, a status line.
class TestWindow : public QWidget {
public:
    explicit TestWindow(const GridLayout& layout) {
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
        top = new QWidget(this);
        top->setFixedSize(560, 60);
        auto* title = new QLabel(QStringLiteral("Top panel"), top);
        title->move(8, 8);
        box->addWidget(top);
        grid = new ResultGrid(layout, this);
        box->addWidget(grid, 1);
        status = new QLabel(this);
        box->addWidget(status);
        grid->setTopPanel(top);
        grid->setStatusLabel(status);
        flags = SortDirections(layout);
        grid->gridModel()->setSortDirections(&flags);
        resize(800, 400);
    }

    QWidget* top = nullptr;
    ResultGrid* grid = nullptr;
    QLabel* status = nullptr;
    SortDirections flags;
};

}  // namespace

class TestResultGrid : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempTree> m_tree;

    // File-hog rows for real files of the given sizes, named f<size>.
    void fillHogs(ResultGrid& grid, const QList<qint64>& sizes) {
        for (qint64 size : sizes) {
            const QByteArray path = m_tree->file("f" + QByteArray::number(size), size);
            grid.addToGrid(numberText(size) + "\t1/2/24\t9:00:00 AM\t1/3/24\t" + displayText(path) +
                               "\tBinary",
                           path);
        }
    }
    static QPoint titleCenter(ResultGrid& grid, int column) {
        QHeaderView* header = grid.horizontalHeader();
        return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                      header->height() / 2);
    }
    static QPoint rowCenter(ResultGrid& grid, int row) {
        return grid.visualRect(grid.model()->index(row - 1, 1)).center();
    }
    static QStringList sizes(ResultGrid& grid) {
        QStringList out;
        for (int row = 1; row <= grid.rowCounter(); ++row)
            out.append(grid.gridModel()->cellText(row, 0));
        return out;
    }
    static QStringList menuTexts(QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) {
            if (!a->isVisible())
                continue;
            out.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return out;
    }

private Q_SLOTS:
    void init() { m_tree = std::make_unique<test::TempTree>(); }
    void cleanup() { m_tree.reset(); }

    void modelPassesTheModelTester() {
        GridLayout layout = fileHogsLayout();
        ResultGridModel model(layout);
        SortDirections flags(layout);
        model.setSortDirections(&flags);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.addToGrid(QStringLiteral("5\t\t\t\t/a\tT"), "/a");
        model.beginBatch();
        for (int i = 0; i < 40; ++i)
            model.addToGrid(QStringLiteral("%1\t\t\t\t/b%1\tT").arg(i),
                            "/b" + QByteArray::number(i));
        model.endBatch();
        QCOMPARE(model.rowCount(), 41);
        model.sortByKey(0);
        model.sortByKey(3);
        model.deleteOneFile(3);
        model.markAll();
        model.clearAllMarks();
        model.setCellText(2, 0, QStringLiteral("DELETED"));
        model.ClearGrid();
        QCOMPARE(model.rowCount(), 1);
        model.setGridLayout(duplicatesLayout(3));
        QCOMPARE(model.columnCount(), 7);
        model.addToGrid(QStringLiteral("1\tx\t\t\t\t/\tT"), "/x");
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Filename"));
        QCOMPARE(
            model.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
            int(Qt::AlignRight));
        QCOMPARE(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
                 int(Qt::AlignRight));
    }

    void doubleClickAndDeleteKeyMark() {
        ScriptedDialogs dialogs;
        TestWindow window(fileHogsLayout());
        fillHogs(*window.grid, {100, 2000, 30});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy enabled(window.grid, &ResultGrid::deleteEnabledChanged);

        QTest::mouseClick(window.grid->viewport(), Qt::LeftButton, {}, rowCenter(*window.grid, 2));
        QCOMPARE(window.grid->currentGridRow(), 2);
        QTest::mouseDClick(window.grid->viewport(), Qt::LeftButton, {}, rowCenter(*window.grid, 2));
        QVERIFY(window.grid->gridModel()->isMarked(2));
        QCOMPARE(window.status->text(), QStringLiteral("1 files 2,000 bytes"));
        QVERIFY(window.grid->deleteEnabled());
        QCOMPARE(enabled.size(), 1);

        // Delete acts like the Mark button: toggle, then one row down.
        window.grid->setFocus();
        QTest::keyClick(window.grid, Qt::Key_Delete);
        QVERIFY(!window.grid->gridModel()->isMarked(2));
        QCOMPARE(window.grid->currentGridRow(), 3);
        QVERIFY(!window.grid->deleteEnabled());
        QTest::keyClick(window.grid, Qt::Key_Delete);
        QVERIFY(window.grid->gridModel()->isMarked(3));
        QCOMPARE(window.grid->currentGridRow(), 3);  // the last row stays current
        QCOMPARE(window.status->text(), QStringLiteral("1 files 30 bytes"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void titleDoubleClickFollowsTheLayout_data() {
        QTest::addColumn<bool>("ignored");
        QTest::newRow("acts") << false;
        QTest::newRow("ignored") << true;
    }
    void titleDoubleClickFollowsTheLayout() {
        QFETCH(bool, ignored);
        GridLayout layout = fileHogsLayout();
        layout.sortingOffered = false;
        layout.ignoreTitleDoubleClick = ignored;
        TestWindow window(layout);
        fillHogs(*window.grid, {1, 2});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseDClick(window.grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                           titleCenter(*window.grid, 1));
        QCOMPARE(window.grid->gridModel()->isMarked(1), !ignored);
    }

    void titleClickSorts() {
        TestWindow window(fileHogsLayout());
        fillHogs(*window.grid, {100, 2000, 30});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy sorted(window.grid, &ResultGrid::sorted);
        QWidget* titles = window.grid->horizontalHeader()->viewport();

        QTest::mouseClick(titles, Qt::LeftButton, {}, titleCenter(*window.grid, 0));
        QCOMPARE(sizes(*window.grid), QStringList({"2,000", "100", "30"}));
        QTest::mouseClick(titles, Qt::LeftButton, {}, titleCenter(*window.grid, 0));
        QCOMPARE(sizes(*window.grid), QStringList({"30", "100", "2,000"}));
        QCOMPARE(window.grid->checkedSortKey(), 0);

        // "Time" does not sort; nor does a press released elsewhere.
        QTest::mouseClick(titles, Qt::LeftButton, {}, titleCenter(*window.grid, 2));
        const QPoint p = titleCenter(*window.grid, 0);
        QTest::mousePress(titles, Qt::LeftButton, {}, p);
        QTest::mouseRelease(titles, Qt::LeftButton, {}, p + QPoint(1, 0));
        QCOMPARE(sizes(*window.grid), QStringList({"30", "100", "2,000"}));
        QCOMPARE(sorted.size(), 2);
    }

    void menuSortsAndChecksOneEntry() {
        TestWindow window(fileHogsLayout());
        fillHogs(*window.grid, {100, 2000, 30});
        window.grid->gridModel()->deleteOneFile(1);  // f100 marked
        QCOMPARE(window.grid->checkedSortKey(), 0);
        window.grid->sortAction(3)->trigger();  // "&Name": f100, f2000, f30
        QCOMPARE(sizes(*window.grid), QStringList({"100", "2,000", "30"}));
        window.grid->sortAction(0)->trigger();
        QCOMPARE(sizes(*window.grid), QStringList({"2,000", "100", "30"}));
        QVERIFY(window.grid->gridModel()->isMarked(2));  // the mark went with f100
        for (int k = 0; k < 5; ++k)
            QCOMPARE(window.grid->sortAction(k)->isChecked(), k == 0);
        QCOMPARE(window.grid->checkedSortKey(), 0);
    }

    void duplicateModeOffersNoSorting() {
        TestWindow window(duplicatesLayout(0));
        window.grid->addToGrid(QStringLiteral("b\t1\t\t\t\t/f\tT"), "/f/b");
        window.grid->addToGrid(QStringLiteral("a\t1\t\t\t\t/f\tT"), "/f/a");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.grid->sortMenuAction()->isVisible());
        QTest::mouseClick(window.grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          titleCenter(*window.grid, 0));
        QCOMPARE(window.grid->gridModel()->cellText(1, 0), QStringLiteral("b"));
    }

    void manyRowsScrollToTheCurrentRow() {
        TestWindow window(duplicatesLayout(0));
        window.resize(900, 400);
        window.grid->gridModel()->beginBatch();
        for (int i = 0; i < 5000; ++i) {
            const QByteArray name = i == 2500 ? QByteArray("bad\xff\xfename.txt")
                                              : "file" + QByteArray::number(i % 1700) + ".txt";
            const QByteArray folder = "/data/folder" + QByteArray::number(i % 7);
            window.grid->addToGrid(displayText(name) + "\t" + numberText(1000 + i) +
                                       "\t1/2/24\t10:00:00 AM\t1/3/24\t" + displayText(folder) +
                                       "\tPlain text document",
                                   folder + '/' + name);
        }
        window.grid->gridModel()->endBatch();
        window.grid->FormResize(window.width());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int row : {2498, 2500, 2501})
            window.grid->MarkThisFile(row);
        window.grid->setCurrentGridRow(2499);
        window.grid->DeleteAllFiles();  // marks 2499, moves to 2500
        QCOMPARE(window.grid->currentGridRow(), 2500);
        const QRect current = window.grid->visualRect(window.grid->model()->index(2499, 0));
        QVERIFY(window.grid->viewport()->rect().contains(current));
        QCOMPARE(window.grid->gridModel()->markedPathCount(), 4);
        QCOMPARE(window.grid->gridModel()->markedPaths()[2],  // row 2501
                 QByteArray("/data/folder1/bad\xff\xfename.txt"));
        if (qEnvironmentVariableIsSet("VANTREL_GRID_PNG"))
            window.grab().save(qEnvironmentVariable("VANTREL_GRID_PNG") + ".dup.png");
    }

    void popupMenuEntries() {
        TestWindow window(fileHogsLayout());
        QMenu* menu = window.grid->popupMenu();
        QCOMPARE(menuTexts(menu),
                 QStringList({"Details", "Sort", "Mark", "Resize", "-", "Run", "View"}));
        QCOMPARE(menuTexts(window.grid->sortMenuAction()->menu()),
                 QStringList({"&Size", "&Date", "&Access Date", "&Name", "&Type"}));
        QVERIFY(window.grid->sortAction(0)->isChecked());
        QCOMPARE(menuTexts(qobject_cast<QMenu*>(window.grid->markAllAction()->parent())),
                 QStringList({"Mark all", "Unmark all"}));
        QCOMPARE(menuTexts(qobject_cast<QMenu*>(window.grid->shrinkAction()->parent())),
                 QStringList({"Shrink top panel", "Restore top panel"}));
        QVERIFY(window.grid->shrinkAction()->isEnabled());
        QVERIFY(!window.grid->growAction()->isEnabled());
        if (qEnvironmentVariableIsSet("VANTREL_GRID_PNG")) {
            menu->popup(QPoint(0, 0));
            QMenu* sort = window.grid->sortMenuAction()->menu();
            sort->popup(QPoint(200, 0));
            QCoreApplication::processEvents();
            menu->grab().save(qEnvironmentVariable("VANTREL_GRID_PNG") + ".menu.png");
            sort->grab().save(qEnvironmentVariable("VANTREL_GRID_PNG") + ".sort.png");
            sort->hide();
            menu->hide();
        }
        QCOMPARE(window.grid->toolTip(),
                 QStringLiteral("Double click to mark for deletion, right click for options"));
        QCOMPARE(window.grid->verticalHeader()->defaultSectionSize(), 18);
        QCOMPARE(window.grid->selectionBehavior(), QAbstractItemView::SelectRows);
    }

    void markAllAndUnmarkAll() {
        TestWindow window(fileHogsLayout());
        for (int i = 0; i < 5; ++i) {
            const QByteArray path = m_tree->path("gone" + QByteArray::number(i));
            window.grid->addToGrid(QStringLiteral("1\t\t\t\t") + displayText(path) + "\tT", path);
        }
        window.grid->Markall1Click();
        QVERIFY(window.grid->deleteEnabled());  // even though nothing was found to count
        QCOMPARE(window.grid->gridModel()->markedPathCount(), 5);
        QCOMPARE(window.status->text(), QStringLiteral("0 files 0 bytes"));
        window.grid->Unmarkall1Click();
        QVERIFY(!window.grid->deleteEnabled());
        QCOMPARE(window.grid->gridModel()->markedPathCount(), 0);
        QCOMPARE(window.status->text(), QStringLiteral("0 files 0 bytes"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void clearGridEmptiesRowsMarksAndChecks() {
        TestWindow window(fileHogsLayout());
        fillHogs(*window.grid, {1, 2});
        window.grid->DeleteAllFiles();
        window.grid->sortAction(4)->trigger();
        window.grid->ClearGrid();
        QCOMPARE(window.grid->rowCounter(), 0);
        QCOMPARE(window.grid->gridRowCount(), 2);
        QCOMPARE(window.grid->model()->rowCount(), 1);
        QCOMPARE(window.grid->gridModel()->markedPathCount(), 0);
        QCOMPARE(window.grid->checkedSortKey(), 0);
        QVERIFY(!window.grid->deleteEnabled());
        // The empty row takes no mark.
        window.grid->DeleteAllFiles();
        QCOMPARE(window.grid->gridModel()->markedPathCount(), 0);
    }

    void printsThroughThePrintDialog() {
        ScriptedDialogs dialogs;
        TestWindow window(fileHogsLayout());
        fillHogs(*window.grid, {100, 2000});
        const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-report.pdf"));
        QFile::remove(pdf);
        dialogs.printAnswers = {false};
        QVERIFY(!window.grid->btPrintClick(QStringLiteral("File Hogs")));
        QVERIFY(!QFile::exists(pdf));
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up here; the test would print on it");
        dialogs.printAnswers = {true};
        QVERIFY(window.grid->btPrintClick(QStringLiteral("File Hogs")));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF"));
        file.remove();
        QVERIFY(dialogs.messages.isEmpty());
    }

    void copiesToTheClipboard() {
        TestWindow window(duplicatesLayout(0));
        window.grid->addToGrid(QStringLiteral("b\t1\t\t\t\t/f\tT"), "/f/b");
        window.grid->addToGrid(QStringLiteral("a\t2\t\t\t\t/g\tT"), "/g/a");
        window.grid->btClipClick();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("b\t1\t\t\t\t/f\tT\r\na\t2\t\t\t\t/g\tT"));
    }

    void rowHooksCarryTheExactPath() {
        ScriptedDialogs dialogs;
        TestWindow window(fileHogsLayout());
        fillHogs(*window.grid, {10});
        const QByteArray odd = m_tree->file("odd\xff name", 5);
        window.grid->addToGrid(QStringLiteral("5\t\t\t\t") + displayText(odd) + "\tT", odd);
        const QByteArray gone = m_tree->path("gone");
        window.grid->addToGrid(QStringLiteral("5\t\t\t\t") + displayText(gone) + "\tT", gone);
        QList<QByteArray> opened;
        bool openResult = false;
        window.grid->setOpener([&](const QByteArray& p) {
            opened.append(p);
            return openResult;
        });
        QSignalSpy view(window.grid, &ResultGrid::viewRequested);
        QSignalSpy details(window.grid, &ResultGrid::detailsRequested);
        QSignalSpy browse(window.grid, &ResultGrid::browseRequested);

        window.grid->setCurrentGridRow(2);
        window.grid->runAction()->trigger();
        QCOMPARE(opened, QList<QByteArray>{odd});
        QCOMPARE(dialogs.messageTexts(), QStringList{"Couldn't run " + displayText(odd)});
        openResult = true;
        window.grid->Run1Click();
        QCOMPARE(dialogs.messages.size(), 1);
        window.grid->viewAction()->trigger();
        window.grid->detailsAction()->trigger();
        window.grid->BrowseDirectory1Click();
        QCOMPARE(view.size(), 1);
        QCOMPARE(view[0][0].toByteArray(), odd);
        QCOMPARE(details[0][0].toByteArray(), odd);
        QCOMPARE(browse[0][0].toByteArray(), odd);

        // A vanished file is neither run, viewed nor inspected; browsing its
        // folder still works.
        window.grid->setCurrentGridRow(3);
        window.grid->Run1Click();
        window.grid->View1Click();
        window.grid->Details1Click();
        window.grid->BrowseDirectory1Click();
        QCOMPARE(opened.size(), 2);
        QCOMPARE(view.size(), 1);
        QCOMPARE(details.size(), 1);
        QCOMPARE(browse.size(), 2);
        QCOMPARE(browse[1][0].toByteArray(), gone);
    }

    void columnWidthsFollowTheLayout_data() {
        QTest::addColumn<int>("criterion");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("duplicates") << 0 << QList<int>{93, 58, 64, 70, 70, 184, 900 - 564};
        QTest::newRow("file hogs") << -1 << QList<int>{64, 64, 64, 64, 296, 900 - 577};
    }
    void columnWidthsFollowTheLayout() {
        QFETCH(int, criterion);
        QFETCH(QList<int>, widths);
        TestWindow window(criterion < 0 ? fileHogsLayout() : duplicatesLayout(criterion));
        QCOMPARE(window.grid->dpiScale(), 1.0);

        // A font of at most 6 pixels a digit: the base widths as they are.
        QFont narrow = window.grid->font();
        narrow.setPixelSize(9);
        window.grid->setFont(narrow);
        QVERIFY(window.grid->fontMetrics().horizontalAdvance(QLatin1Char('0')) <= 6);
        QCOMPARE(window.grid->widthScale(), 1.0);
        window.grid->FormResize(900);
        for (int c = 0; c < widths.size(); ++c)
            QCOMPARE(window.grid->columnWidth(c), widths[c]);

        // A wider font widens every column alike; together they still fill
        // the client width less the offset.
        QFont wide = narrow;
        wide.setPixelSize(16);
        window.grid->setFont(wide);
        const double scale = window.grid->widthScale();
        QVERIFY(scale > 1.2);
        window.grid->FormResize(1200);
        int total = 0;
        for (int c = 0; c < widths.size() - 1; ++c) {
            QCOMPARE(window.grid->columnWidth(c), qRound(widths[c] * scale));
            total += window.grid->columnWidth(c);
        }
        total += window.grid->columnWidth(int(widths.size()) - 1);
        QVERIFY(qAbs(total - (1200 - qRound(25 * scale))) <= 3);
        QVERIFY(window.grid->fontMetrics().horizontalAdvance(QStringLiteral("10:00:00 PM")) + 4 <=
                window.grid->columnWidth(criterion < 0 ? 2 : 3));

        window.grid->FormResize(100);  // the last column keeps a usable width
        QVERIFY(window.grid->columnWidth(int(widths.size()) - 1) > 0);
    }

    void shrinksAndRestoresTheTopPanel() {
        TestWindow window(fileHogsLayout());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.grid->rememberTopPanelHeight();
        window.grid->shrinkAction()->trigger();
        QTRY_COMPARE(window.top->height(), 0);
        QVERIFY(!window.grid->shrinkAction()->isEnabled());
        QVERIFY(window.grid->growAction()->isEnabled());
        window.grid->growAction()->trigger();
        QTRY_COMPARE(window.top->height(), 60);
        QVERIFY(window.grid->shrinkAction()->isEnabled());
        QVERIFY(!window.grid->growAction()->isEnabled());
    }

    void minimumSizeFromTheTopPanel() {
        TestWindow window(fileHogsLayout());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.grid->minimumWindowSize(&window), QSize(563, 120));
        window.grid->applyMinimumSize(&window);
        QCOMPARE(window.minimumSize(), QSize(563, 120));
    }

    void drawsTheMarkPicture() {
        TestWindow window(fileHogsLayout());
        fillHogs(*window.grid, {100, 2000, 30});
        window.grid->FormResize(window.width());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.grid->deleteOneFile(2);
        window.grid->setCurrentGridRow(1);  // row 2 drawn unselected
        const QRect cell = window.grid->visualRect(window.grid->model()->index(1, 4));
        const QImage image = window.grid->viewport()->grab().toImage();
        const QColor centre = image.pixelColor(cell.left() + 2 + 8, cell.top() + 2 + 8);
        QVERIFY2(centre.red() > 150 && centre.green() < 80, qPrintable(centre.name()));
        // Purple is transparent: between the arms of the cross the cell's ground shows.
        const QColor corner = image.pixelColor(cell.left() + 2 + 8, cell.top() + 2);
        QCOMPARE(corner, window.grid->palette().color(QPalette::Base));
        // An unmarked row's name cell has no picture there.
        const QRect plain = window.grid->visualRect(window.grid->model()->index(2, 4));
        const QColor text = image.pixelColor(plain.left() + 2 + 8, plain.top() + 2 + 8);
        QVERIFY2(!(text.red() > 150 && text.green() < 80), qPrintable(text.name()));

        if (qEnvironmentVariableIsSet("VANTREL_GRID_PNG"))
            window.grab().save(qEnvironmentVariable("VANTREL_GRID_PNG"));
    }
};

VANTREL_QTEST_MAIN(TestResultGrid)
#include "tst_resultgrid.moc"
