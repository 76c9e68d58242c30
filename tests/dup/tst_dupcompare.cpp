#include "browse/FileDetails.h"
#include "browse/PeFixture.h"
#include "browse/ui/TfrmView.h"
#include "dup/Crc32.h"
#include "dup/PairMatch.h"
#include "dup/ui/TfrmDup.h"
#include "dup/ui/TfrmDupCompare.h"
#include "platform/FileRecord.h"
#include "results/GridLayout.h"
#include "results/ResultGridModel.h"
#include "results/ui/ResultGrid.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest/QtTest>

#include <memory>

using namespace vantrel;

namespace {

// The duplicates window as the comparison sees it: a real result grid in a
// window of its own, marking through the grid.
class FakeSource : public DupCompareSource {
public:
    explicit FakeSource(int criterion) : mode(criterion) {
        window = std::make_unique<QDialog>();
        window->setWindowTitle(QStringLiteral("duplicates"));
        grid = new ResultGrid(duplicatesLayout(criterion), window.get());
        auto* box = new QVBoxLayout(window.get());
        box->addWidget(grid);
    }

    ResultGrid& dupGrid() override { return *grid; }
    int matchMode() const override { return mode; }
    void MarkThisFile(int row) override {
        marked.append(row);
        grid->MarkThisFile(row);
    }
    QWidget* sourceWindow() override { return window.get(); }

    // A grid row for a real file, its cells as the duplicates search makes them.
    void addFile(const QByteArray& path) {
        FileRecord r;
        QVERIFY2(statPath(path, r), path.constData());
        const QByteArray folder = path.left(path.lastIndexOf('/'));
        const QString name = displayText(r.name);
        grid->addToGrid(GridRow{{name, numberText(r.size), fileDateText(r.time()),
                                 fileTimeText(r.time()), fileDateText(r.packedAccessTime()),
                                 displayText(folder), fileTypeDescription(extensionOf(name))},
                                path,
                                {}});
    }

    int mode;
    std::unique_ptr<QDialog> window;
    ResultGrid* grid = nullptr;
    QList<int> marked;
};

// Keyboard shortcuts reach only the active window.
bool activate(QWidget& w) {
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

bool highlighted(const QLabel* label) {
    return label->palette().color(QPalette::Window) == TfrmDupCompare::highlightColor();
}

void screenshot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

const QDateTime kModified(QDate(2023, 3, 4), QTime(10, 20, 30));
const QDateTime kAccessed(QDate(2024, 1, 2), QTime(8, 0, 0));

// Content whose CRC-32 is below 0x10000000.
QByteArray smallCrcContent() {
    for (int i = 0;; ++i) {
        const QByteArray bytes = QByteArray::number(i);
        if (~UpdateCRC(0xFFFFFFFFu, bytes.constData(), std::size_t(bytes.size())) < 0x10000000u)
            return bytes;
    }
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

    void formHasItsControls();
    void sizeOnlyWalkThroughThePairs();
    void nextPairUsesTheCriterion();
    void crcComparison_data();
    void crcComparison();
    void crcBelowTopNibbleHasLeadingBlanks();
    void crcOfAnEmptyFileShowsTheMappingMessage();
    void buttonsAreInertWhileTheCrcRuns();
    void crcResultIsDroppedWhenTheWindowCloses();
    void filesWithoutVersionResourcesShrinkTheWindow();
    void differingVersionLinesAreHighlighted();
    void vanishedFileKeepsThePreviousFacts();
    void markingGoesThroughTheSource();
    void markingFollowsTheFileWhenTheGridChanged();
    void viewOpensTheViewer();
    void runFailureShowsTheMessage();
    void printsWithoutHighlight();
    void openingOnTheLastRowShowsTheLastPair();
    void gridWithoutDataRows();
    void gridWithOneDataRow();
    void takesANewCopyWhenShownAgain();
    void usableAboveAModalSource();
    void sourceClosingSendsTheWindowHome();
    void escapeHides();
    void keptOnTheScreen();
    void worksWithTheDuplicatesWindow();

private:
    // a.txt 100, b.txt 100, c.txt 200, all with the same times.
    void threeFiles(FakeSource& source) {
        for (const auto& [name, size] : {std::pair{"a.txt", 100}, {"b.txt", 100}, {"c.txt", 200}}) {
            const QByteArray path = m_tree->file(name, size, name[0]);
            m_tree->setTimes(name, kModified, kAccessed);
            source.addFile(path);
        }
    }

    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<test::TempTree> m_tree;
};

void TestDupCompare::formHasItsControls() {
    TfrmDupCompare w;
    struct Expected {
        QPushButton* button;
        const char* text;
        const char* hint;
    };
    const QString mark = QStringLiteral("Mark file for deletion (double click on grid also works)");
    const Expected buttons[] = {
        {w.btMark1, "&Mark", nullptr},
        {w.btMark2, "M&ark", nullptr},
        {w.btLaunch1, "&Run", "Run/launch associated application"},
        {w.btLaunch2, "R&un", "Run/launch associated application"},
        {w.btView1, "&View", "View file"},
        {w.btView2, "Vie&w", "View file"},
        {w.btPrint, "&Print", "Print file details"},
        {w.btClose, "Close", ""},
        {w.btCompute, "&Compute CRC values",
         "If CRC values are different the the contents of each file is different"},
    };
    for (const Expected& e : buttons) {
        QVERIFY(e.button);
        QCOMPARE(e.button->text(), QString::fromUtf8(e.text));
        QCOMPARE(e.button->toolTip(), e.hint ? QString::fromUtf8(e.hint) : mark);
    }
    QCOMPARE(w.sbL1->toolTip(), QStringLiteral("Display previous match (PgUp)"));
    QCOMPARE(w.sbR1->toolTip(), QStringLiteral("Display next match (PgDn)"));
    for (const char* name :
         {"GroupBox1",  "GroupBox2",      "Image1",         "Image2",        "lblFolder1",
          "lblFolder2", "lblType1",       "lblTYpe2",       "lblSizeBytes1", "lblSizebytes2",
          "lblCreate1", "lblCreate2",     "lblModify1",     "lblModify2",    "lblAccess1",
          "lblAccess2", "lblAttributes1", "lblAttributes2", "lblCRC1",       "lblCRC2",
          "tlBox1",     "tlBox2",         "Panel1",         "sbL1",          "sbR1"})
        QVERIFY2(w.findChild<QWidget*>(QLatin1String(name)), name);
    for (const char* caption : {"Folder:", "Type:", "Size:", "Creation date:", "Modify date:",
                                "Access date:", "Attributes:", "CRC Value:"}) {
        int found = 0;
        for (QLabel* l : w.findChildren<QLabel*>())
            found += l->text() == QLatin1String(caption);
        QVERIFY2(found == 2, caption);  // one per side
    }
    QVERIFY(!w.isModal());
}

// Size only, a.txt 100, b.txt 100, c.txt 200.
void TestDupCompare::sizeOnlyWalkThroughThePairs() {
    FakeSource source(3);
    threeFiles(source);
    source.grid->setCurrentGridRow(1);
    TfrmDupCompare w;
    w.showFor(source);
    QVERIFY(w.isVisible());
    QCOMPARE(w.gridRowCount(), 4);
    QCOMPARE(w.leftRow(), 1);
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("a.txt"));
    QCOMPARE(w.GroupBox2->title(), QStringLiteral("b.txt"));
    QCOMPARE(w.lblSizeBytes1->text(), QStringLiteral("100 bytes"));
    QCOMPARE(w.lblSizebytes2->text(), QStringLiteral("100 bytes"));
    QVERIFY(!highlighted(w.lblSizeBytes1));
    QVERIFY(!highlighted(w.lblSizebytes2));
    QCOMPARE(w.lblFolder1->text(), QString::fromUtf8(m_tree->root()));
    QVERIFY(!highlighted(w.lblFolder1));
    QCOMPARE(w.lblModify1->text(), detailsDateText(packUnixTime(kModified.toSecsSinceEpoch()),
                                                   QDateTime::currentDateTime(), true));
    QVERIFY(
        w.lblModify1->text().contains(fileTimeText(packUnixTime(kModified.toSecsSinceEpoch()))));
    QVERIFY(
        !w.lblAccess1->text().contains(fileTimeText(packUnixTime(kAccessed.toSecsSinceEpoch()))));
    QCOMPARE(w.lblType1->text(), fileTypeDescription(QStringLiteral(".txt")));
    QCOMPARE(w.lblCRC1->text(), QString());
    QCOMPARE(w.focusWidget(), w.btCompute);

    // PgDn: no matching pair ahead, so the last pair.
    QTest::keyClick(&w, Qt::Key_PageDown);
    QCOMPARE(w.leftRow(), 2);
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("b.txt"));
    QCOMPARE(w.GroupBox2->title(), QStringLiteral("c.txt"));
    QCOMPARE(w.lblSizebytes2->text(), QStringLiteral("200 bytes"));
    QVERIFY(highlighted(w.lblSizeBytes1));
    QVERIFY(highlighted(w.lblSizebytes2));
    QCOMPARE(source.grid->currentGridRow(), 2);  // the grid follows

    // Names are never highlighted.
    for (QGroupBox* box : {w.GroupBox1, w.GroupBox2})
        QVERIFY(box->palette().color(QPalette::Window) != TfrmDupCompare::highlightColor());

    // On the last pair PgDn does nothing.
    QTest::keyClick(&w, Qt::Key_PageDown);
    QCOMPARE(w.leftRow(), 2);
    w.sbR1->click();
    QCOMPARE(w.leftRow(), 2);

    // PgUp goes back to the first pair; there it does nothing.
    QTest::keyClick(&w, Qt::Key_PageUp);
    QCOMPARE(w.leftRow(), 1);
    QVERIFY(!highlighted(w.lblSizeBytes1));
    QCOMPARE(source.grid->currentGridRow(), 1);
    w.sbL1->click();
    QCOMPARE(w.leftRow(), 1);
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("a.txt"));

    // The arrow buttons do what the keys do.
    w.sbR1->click();
    QCOMPARE(w.leftRow(), 2);
    screenshot(w, QStringLiteral("dupcompare-size-only"));
}

void TestDupCompare::nextPairUsesTheCriterion() {
    // Filename only: x, X, y, z, Z, w. From pair 1 the next pair whose names
    // agree is pair 4 (z, Z), not the last pair.
    FakeSource source(0);
    for (const char* folder : {"1", "2", "3", "4", "5", "6"})
        m_tree->mkdir(folder);
    const char* files[] = {"1/x.txt", "2/X.TXT", "3/y.txt", "4/z.txt", "5/Z.txt", "6/w.txt"};
    for (const char* f : files)
        source.addFile(m_tree->file(f, 10));
    TfrmDupCompare w;
    w.showFor(source);
    QCOMPARE(w.gridRowCount(), 7);
    QVERIFY(w.qPairMatches(1));
    QVERIFY(!w.qPairMatches(2));
    QCOMPARE(w.GetNextDupRow(), 4);
    w.sbR1Click();
    QCOMPARE(w.leftRow(), 4);
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("z.txt"));
    QCOMPARE(w.GroupBox2->title(), QStringLiteral("Z.txt"));
    QCOMPARE(w.GetPrevDupRow(), 1);
    w.sbR1Click();
    QCOMPARE(w.leftRow(), 5);  // nothing ahead: the last pair
}

void TestDupCompare::crcComparison_data() {
    QTest::addColumn<QByteArray>("right");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("aqua");
    QTest::newRow("identical") << QByteArray("123456789")
                               << QStringLiteral(" file contents are identical") << false;
    QTest::newRow("different") << QByteArray("123456780") << QStringLiteral(" file contents differ")
                               << true;
}

void TestDupCompare::crcComparison() {
    QFETCH(QByteArray, right);
    QFETCH(QString, suffix);
    QFETCH(bool, aqua);
    FakeSource source(3);
    m_tree->mkdir("one");
    m_tree->mkdir("two");
    source.addFile(m_tree->fileWith("one/f.bin", "123456789"));
    source.addFile(m_tree->fileWith("two/f.bin", right));
    TfrmDupCompare w;
    w.showFor(source);
    QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
    QVERIFY(activate(w));
    QTest::keyClick(w.btCompute, Qt::Key_C, Qt::AltModifier);
    QVERIFY(done.count() == 1 || done.wait());
    QVERIFY(m_dialogs->messages.isEmpty());
    QCOMPARE(w.lblCRC1->text(), QStringLiteral("CBF43926") + suffix);
    QVERIFY(w.lblCRC2->text().endsWith(suffix));
    QCOMPARE(
        w.lblCRC2->text(),
        crcText(~UpdateCRC(0xFFFFFFFFu, right.constData(), std::size_t(right.size()))) + suffix);
    QCOMPARE(highlighted(w.lblCRC1), aqua);
    QCOMPARE(highlighted(w.lblCRC2), aqua);
    if (aqua)
        screenshot(w, QStringLiteral("dupcompare-crc"));
    QVERIFY(!w.crcRunning());
    QVERIFY(w.btCompute->isEnabled());
    // Moving on clears the values.
    w.GetRightValues(2);
    QCOMPARE(w.lblCRC2->text(), QString());
}

void TestDupCompare::crcBelowTopNibbleHasLeadingBlanks() {
    const QByteArray content = smallCrcContent();
    const quint32 crc = ~UpdateCRC(0xFFFFFFFFu, content.constData(), std::size_t(content.size()));
    FakeSource source(3);
    m_tree->mkdir("one");
    m_tree->mkdir("two");
    source.addFile(m_tree->fileWith("one/f", content));
    source.addFile(m_tree->fileWith("two/f", content));
    TfrmDupCompare w;
    w.showFor(source);
    QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
    w.btCompute->click();
    QVERIFY(done.count() == 1 || done.wait());
    const QString hex = QString::number(crc, 16).toUpper();
    QVERIFY(hex.size() < 8);
    QCOMPARE(w.lblCRC1->text(), QString(8 - hex.size(), QLatin1Char(' ')) + hex +
                                    QStringLiteral(" file contents are identical"));
}

void TestDupCompare::crcOfAnEmptyFileShowsTheMappingMessage() {
    FakeSource source(3);
    m_tree->mkdir("one");
    m_tree->mkdir("two");
    source.addFile(m_tree->fileWith("one/f", "data"));
    const QByteArray right = m_tree->fileWith("two/f", "data");
    source.addFile(right);
    TfrmDupCompare w;
    w.showFor(source);
    QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
    w.btCompute->click();
    QVERIFY(done.count() == 1 || done.wait());
    const QString before1 = w.lblCRC1->text();
    const QString before2 = w.lblCRC2->text();
    QVERIFY(before1.endsWith(QStringLiteral(" file contents are identical")));

    // The right file is emptied: the message, and the values stay.
    QVERIFY(QFile::resize(QString::fromUtf8(right), 0));
    w.btCompute->click();
    QVERIFY(done.count() == 2 || done.wait());
    QCOMPARE(m_dialogs->messageTexts(),
             QStringList{QStringLiteral("Could not create file mapping object")});
    QCOMPARE(m_dialogs->messages.first().kind, BoxKind::Error);
    QCOMPARE(w.lblCRC1->text(), before1);
    QCOMPARE(w.lblCRC2->text(), before2);
    QVERIFY(w.btCompute->isEnabled());
}

void TestDupCompare::buttonsAreInertWhileTheCrcRuns() {
    FakeSource source(3);
    threeFiles(source);
    TfrmDupCompare w;
    w.showFor(source);
    QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
    w.btCompute->click();
    // The result arrives through the event loop, so until the loop runs
    // again the computation counts as running.
    QVERIFY(w.crcRunning());
    QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
    for (QWidget* b :
         std::initializer_list<QWidget*>{w.btMark1, w.btMark2, w.btLaunch1, w.btLaunch2, w.btView1,
                                         w.btView2, w.btCompute, w.btPrint, w.sbL1, w.sbR1})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(w.btClose->isEnabled());
    QTest::keyClick(&w, Qt::Key_PageDown);
    w.sbR1Click();
    w.btMark1Click();
    QCOMPARE(w.leftRow(), 1);
    QVERIFY(source.marked.isEmpty());

    QVERIFY(done.wait());
    QVERIFY(!w.crcRunning());
    QVERIFY(w.cursor().shape() != Qt::WaitCursor);
    QVERIFY(w.btCompute->isEnabled() && w.sbR1->isEnabled() && w.btMark1->isEnabled());
    QVERIFY(w.lblCRC1->text().endsWith(QStringLiteral(" file contents differ")));
}

void TestDupCompare::crcResultIsDroppedWhenTheWindowCloses() {
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

void TestDupCompare::filesWithoutVersionResourcesShrinkTheWindow() {
    FakeSource plain(3);
    m_tree->mkdir("p1");
    m_tree->mkdir("p2");
    plain.addFile(m_tree->fileWith("p1/tool.exe", "MZ, but not a program"));
    plain.addFile(m_tree->fileWith("p2/tool.exe", "MZ, but not a program"));
    TfrmDupCompare withoutLists;
    withoutLists.showFor(plain);
    for (QListWidget* list : {withoutLists.tlBox1, withoutLists.tlBox2}) {
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Extended profile absent"));
        QVERIFY(list->isHidden());
    }
    // Panel1 closes up under the sides; the window ends 3 pixels below it.
    QCOMPARE(withoutLists.height() - withoutLists.Panel1->geometry().bottom() - 1, 3);
    QVERIFY(withoutLists.Panel1->geometry().top() - withoutLists.GroupBox1->geometry().bottom() <=
            4);
    screenshot(withoutLists, QStringLiteral("dupcompare-plain"));

    FakeSource programs(3);
    m_tree->mkdir("e1");
    m_tree->mkdir("e2");
    programs.addFile(m_tree->fileWith("e1/sample.exe", test::samplePeImage()));
    programs.addFile(m_tree->fileWith("e2/sample.exe", test::samplePeImage()));
    TfrmDupCompare withLists;
    withLists.showFor(programs);
    QVERIFY(withLists.tlBox1->isVisible());
    QCOMPARE(withLists.tlBox1->count(), 11);
    QCOMPARE(withLists.tlBox1->item(0)->text(), QStringLiteral("Company: Fixture Works Ltd"));
    QVERIFY(withLists.Panel1->geometry().top() > withLists.tlBox1->geometry().bottom());
    QVERIFY(withoutLists.height() < withLists.height());
    for (int i = 0; i < 11; ++i)
        QVERIFY(!withLists.versionLineDiffers(i));

    // One side with version lines is enough to show both lists.
    FakeSource mixed(3);
    mixed.addFile(m_tree->path("p1/tool.exe"));
    mixed.addFile(m_tree->path("e1/sample.exe"));
    TfrmDupCompare oneList;
    oneList.showFor(mixed);
    QVERIFY(oneList.tlBox1->isVisible());
    QVERIFY(!oneList.versionLineDiffers(0));  // the left list has only one line
}

void TestDupCompare::differingVersionLinesAreHighlighted() {
    test::PeFixtureOptions other;
    other.strings = test::sampleVersionStrings();
    other.strings[2].second = QStringLiteral("1.2.3.5");  // FileVersion
    FakeSource source(3);
    m_tree->mkdir("a");
    m_tree->mkdir("b");
    source.addFile(m_tree->fileWith("a/tool.exe", test::samplePeImage()));
    source.addFile(m_tree->fileWith("b/tool.exe", test::buildPeFixture(other).bytes));
    TfrmDupCompare w;
    w.showFor(source);
    QCOMPARE(w.tlBox2->item(2)->text(), QStringLiteral("File version: 1.2.3.5"));
    for (int i = 0; i < 11; ++i)
        QCOMPARE(w.versionLineDiffers(i), i == 2);

    // Drawn aqua in both lists, the others on the normal background.
    for (QListWidget* list : {w.tlBox1, w.tlBox2}) {
        const QImage image = list->viewport()->grab().toImage();
        const QRect differing = list->visualItemRect(list->item(2));
        const QRect same = list->visualItemRect(list->item(0));
        QCOMPARE(QColor(image.pixel(differing.right() - 2, differing.center().y())),
                 TfrmDupCompare::highlightColor());
        QCOMPARE(QColor(image.pixel(same.right() - 2, same.center().y())), w.normalBackground());
    }
    screenshot(w, QStringLiteral("dupcompare-programs"));
}

void TestDupCompare::vanishedFileKeepsThePreviousFacts() {
    FakeSource source(3);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        source.addFile(m_tree->file(name, 100));
    TfrmDupCompare w;
    QByteArray launched;
    w.setLauncher([&launched](const QByteArray& p) {
        launched = p;
        return true;
    });
    w.showFor(source);
    QSignalSpy done(&w, &TfrmDupCompare::crcFinished);
    w.btCompute->click();
    QVERIFY(done.wait());
    QVERIFY(!w.lblCRC2->text().isEmpty());
    const QString sizeB = w.lblSizebytes2->text();

    QVERIFY(QFile::remove(QString::fromUtf8(m_tree->path("c.txt"))));
    w.sbR1Click();
    QCOMPARE(w.leftRow(), 2);
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("b.txt"));
    // The right side still shows b.txt, its CRC value cleared.
    QCOMPARE(w.GroupBox2->title(), QStringLiteral("b.txt"));
    QCOMPARE(w.lblSizebytes2->text(), sizeB);
    QCOMPARE(w.lblCRC2->text(), QString());
    QCOMPARE(w.shownPath(1), m_tree->path("b.txt"));

    // Run, View and Compute act on the file shown.
    w.btLaunch2->click();
    QCOMPARE(launched, m_tree->path("b.txt"));
    QByteArray viewed;
    m_dialogs->dialogHandlers.push_back([&viewed](QDialog& d) {
        viewed = qobject_cast<TfrmView*>(&d)->fileName();
        return int(QDialog::Rejected);
    });
    w.btView2->click();
    QCOMPARE(viewed, m_tree->path("b.txt"));
    w.btCompute->click();
    QVERIFY(done.wait());
    QCOMPARE(w.lblCRC1->text(), w.lblCRC2->text());
    QVERIFY(w.lblCRC1->text().endsWith(QStringLiteral(" file contents are identical")));
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestDupCompare::markingGoesThroughTheSource() {
    FakeSource source(3);
    threeFiles(source);
    source.grid->setCurrentGridRow(2);
    TfrmDupCompare w;
    w.showFor(source);
    QCOMPARE(w.leftRow(), 2);
    QVERIFY(activate(w));
    QTest::keyClick(&w, Qt::Key_M, Qt::AltModifier);  // &Mark (an animated click)
    QTRY_COMPARE(source.marked, QList<int>{2});
    QVERIFY(source.grid->gridModel()->isMarked(2));
    w.btMark2->click();
    QCOMPARE(source.marked, (QList<int>{2, 3}));
    QVERIFY(source.grid->gridModel()->isMarked(3));
    QCOMPARE(source.grid->gridModel()->markedCount(), 2);
    w.btMark1->click();  // toggles back
    QVERIFY(!source.grid->gridModel()->isMarked(2));
}

void TestDupCompare::markingFollowsTheFileWhenTheGridChanged() {
    FakeSource source(3);
    threeFiles(source);
    TfrmDupCompare w;
    w.showFor(source);
    // A new scan lists the files in another order while the window is open:
    // the window still shows its copy, and marks the file it shows.
    source.grid->ClearGrid();
    source.addFile(m_tree->path("c.txt"));
    source.addFile(m_tree->path("b.txt"));
    w.btMark1->click();  // a.txt: no longer listed
    QVERIFY(source.marked.isEmpty());
    w.btMark2->click();  // b.txt, now row 2
    QCOMPARE(source.marked, QList<int>{2});
    QCOMPARE(source.grid->gridModel()->markedPaths(), QList<QByteArray>{m_tree->path("b.txt")});
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("a.txt"));
}

void TestDupCompare::viewOpensTheViewer() {
    FakeSource source(3);
    threeFiles(source);
    TfrmDupCompare w;
    w.showFor(source);
    QList<QByteArray> viewed;
    for (int i = 0; i < 2; ++i) {
        m_dialogs->dialogHandlers.push_back([&viewed, &w](QDialog& d) {
            auto* view = qobject_cast<TfrmView*>(&d);
            if (view && view->parentWidget() == &w)
                viewed.append(view->fileName());
            return int(QDialog::Rejected);
        });
    }
    w.btView1->click();
    QVERIFY(activate(w));
    QTest::keyClick(&w, Qt::Key_W, Qt::AltModifier);  // Vie&w
    QTRY_COMPARE(viewed, (QList<QByteArray>{m_tree->path("a.txt"), m_tree->path("b.txt")}));
}

void TestDupCompare::runFailureShowsTheMessage() {
    FakeSource source(3);
    threeFiles(source);
    TfrmDupCompare w;
    QByteArray launched;
    w.setLauncher([&launched](const QByteArray& p) {
        launched = p;
        return false;
    });
    w.showFor(source);
    w.btLaunch1->click();
    QCOMPARE(launched, m_tree->path("a.txt"));
    QCOMPARE(m_dialogs->messageTexts(), QStringList{QStringLiteral("Couldn't run ") +
                                                    QString::fromUtf8(m_tree->path("a.txt"))});
}

void TestDupCompare::printsWithoutHighlight() {
    FakeSource source(3);
    threeFiles(source);
    source.grid->setCurrentGridRow(2);
    TfrmDupCompare w;
    w.showFor(source);
    QVERIFY(highlighted(w.lblSizeBytes1));

    // The printed image: white, no aqua anywhere.
    QImage image(w.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        w.renderForPrint(painter);
    }
    int aqua = 0;
    int white = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            aqua += px == TfrmDupCompare::highlightColor().rgb();
            // The style draws group box insides a shade off white.
            white += qRed(px) >= 0xF0 && qGreen(px) >= 0xF0 && qBlue(px) >= 0xF0;
        }
    }
    if (!qEnvironmentVariable("VANTREL_SCREENSHOT_DIR").isEmpty())
        image.save(QDir(qEnvironmentVariable("VANTREL_SCREENSHOT_DIR"))
                       .filePath(QStringLiteral("dupcompare-print.png")));
    QCOMPARE(aqua, 0);
    QVERIFY(white > image.width() * image.height() / 2);
    // On the screen the differences are back.
    QVERIFY(highlighted(w.lblSizeBytes1));
    QVERIFY(highlighted(w.lblSizebytes2));
    QCOMPARE(w.palette().color(QPalette::Window), w.normalBackground());

    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed; the rest prints to a PDF file only");
    const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-pairs.pdf"));
    QFile::remove(pdf);
    m_dialogs->printAnswers = {false};
    w.btPrint->click();
    QVERIFY(!QFile::exists(pdf));
    m_dialogs->printAnswers = {true};
    QVERIFY(activate(w));
    QTest::keyClick(&w, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(QFileInfo(pdf).size() > 0);
    QVERIFY(m_dialogs->messages.isEmpty());
    QFile::remove(pdf);
    QVERIFY(highlighted(w.lblSizeBytes1));
}

void TestDupCompare::openingOnTheLastRowShowsTheLastPair() {
    FakeSource source(3);
    threeFiles(source);
    source.grid->setCurrentGridRow(3);
    TfrmDupCompare w;
    w.showFor(source);
    QCOMPARE(w.leftRow(), 2);
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("b.txt"));
    QCOMPARE(w.GroupBox2->title(), QStringLiteral("c.txt"));
    w.sbR1Click();
    QCOMPARE(w.leftRow(), 2);
}

void TestDupCompare::gridWithoutDataRows() {
    FakeSource source(0);
    TfrmDupCompare w;
    w.showFor(source);
    QVERIFY(w.isVisible());
    QCOMPARE(w.gridRowCount(), 2);  // the title row and one empty row
    QCOMPARE(w.leftRow(), 1);
    QCOMPARE(w.GroupBox1->title(), QString());
    QCOMPARE(w.lblFolder1->text(), QString());
    for (QPushButton* b :
         {w.btMark1, w.btMark2, w.btLaunch1, w.btLaunch2, w.btView1, w.btView2, w.btCompute})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(w.btClose->isEnabled());
    QTest::keyClick(&w, Qt::Key_PageDown);
    QTest::keyClick(&w, Qt::Key_PageUp);
    w.btMark1Click();
    w.btComputeClick();
    w.btView1Click();
    QCOMPARE(w.leftRow(), 1);
    QVERIFY(source.marked.isEmpty());
    QVERIFY(!w.crcRunning());
    QVERIFY(m_dialogs->messages.isEmpty());
    QVERIFY(m_dialogs->dialogTitles.isEmpty());
}

void TestDupCompare::gridWithOneDataRow() {
    FakeSource source(0);
    source.addFile(m_tree->file("lonely.txt", 5));
    TfrmDupCompare w;
    w.showFor(source);
    QCOMPARE(w.leftRow(), 1);
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("lonely.txt"));
    QCOMPARE(w.GroupBox2->title(), QString());
    QVERIFY(w.btMark1->isEnabled());
    QVERIFY(!w.btMark2->isEnabled());
    QVERIFY(w.btView1->isEnabled());
    QVERIFY(!w.btView2->isEnabled());
    QVERIFY(!w.btCompute->isEnabled());
    QTest::keyClick(&w, Qt::Key_PageDown);
    QCOMPARE(w.leftRow(), 1);
    w.btMark2Click();
    QVERIFY(source.marked.isEmpty());
}

void TestDupCompare::takesANewCopyWhenShownAgain() {
    FakeSource source(3);
    threeFiles(source);
    TfrmDupCompare w;
    w.showFor(source);
    source.addFile(m_tree->file("d.txt", 200));
    QCOMPARE(w.gridRowCount(), 4);  // not seen while open
    w.showFor(source);              // already open: stays as it is
    QCOMPARE(w.gridRowCount(), 4);
    w.hide();
    source.grid->setCurrentGridRow(3);
    w.showFor(source);
    QCOMPARE(w.gridRowCount(), 5);
    QCOMPARE(w.leftRow(), 3);
    QCOMPARE(w.GroupBox2->title(), QStringLiteral("d.txt"));
    QVERIFY(!highlighted(w.lblSizeBytes1));
}

void TestDupCompare::usableAboveAModalSource() {
    QWidget launcher;  // outlives the source window it will own
    launcher.show();
    FakeSource source(3);
    threeFiles(source);
    TfrmDupCompare w(&launcher);
    source.window->setParent(&launcher, Qt::Dialog);
    // Modal as QDialog::exec makes it, without blocking the test.
    source.window->setWindowModality(Qt::ApplicationModal);
    source.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(source.window.get()));
    QCOMPARE(QApplication::activeModalWidget(), source.window.get());

    w.showFor(source);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.parentWidget(), source.window.get());
    QVERIFY(w.isWindow());

    // A click through the window system, where modality applies.
    auto click = [](QWidget* window, QWidget* target) {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          target->mapTo(window, target->rect().center()));
    };
    click(&w, w.btMark1);
    QCOMPARE(source.marked, QList<int>{1});
    click(&w, w.sbR1);
    QCOMPARE(w.leftRow(), 2);

    // A window of its own is blocked while the source is modal.
    QDialog other;
    auto* button = new QPushButton(QStringLiteral("x"), &other);
    button->resize(80, 30);
    int clicks = 0;
    connect(button, &QPushButton::clicked, &other, [&clicks] { ++clicks; });
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    click(&other, button);
    QCOMPARE(clicks, 0);
}

void TestDupCompare::sourceClosingSendsTheWindowHome() {
    QWidget launcher;
    TfrmDupCompare w(&launcher);
    {
        FakeSource source(3);
        threeFiles(source);
        source.window->setParent(&launcher, Qt::Dialog);
        source.window->show();
        w.showFor(source);
        QCOMPARE(w.parentWidget(), source.window.get());
        w.sourceClosing(source);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.parentWidget(), &launcher);
        QCOMPARE(w.source(), nullptr);
    }
    {
        // A source window that ends without saying so: its hiding is enough.
        FakeSource source(3);
        threeFiles(source);
        source.window->show();
        w.showFor(source);
        source.window->hide();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.parentWidget(), &launcher);
        QCOMPARE(w.source(), nullptr);
        w.sourceClosing(source);  // late: nothing more happens
    }
    // The window survived both sources and can be shown again.
    FakeSource again(3);
    threeFiles(again);
    w.showFor(again);
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("a.txt"));
    w.sourceClosing(again);
}

void TestDupCompare::escapeHides() {
    FakeSource source(3);
    threeFiles(source);
    TfrmDupCompare w;
    w.showFor(source);
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    w.showFor(source);
    QVERIFY(w.isVisible());
    w.btClose->click();
    QVERIFY(!w.isVisible());
}

void TestDupCompare::keptOnTheScreen() {
    FakeSource source(3);
    threeFiles(source);
    TfrmDupCompare w;
    const QRect area = w.screen()->availableGeometry();
    w.move(area.left(), area.bottom() - 40);
    w.showFor(source);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.frameGeometry().top(), area.bottom() + 1 - w.frameGeometry().height() - 20);
}

// The real duplicates window: "P&airs" shows this window above it, marks
// reach its grid, and its end sends this window home.
void TestDupCompare::worksWithTheDuplicatesWindow() {
    QWidget launcher;
    TfrmDupCompare w(&launcher);
    auto dup = std::make_unique<TfrmDup>(true, &w, &launcher);
    dup->show();
    for (const char* name : {"a.txt", "b.txt"}) {
        const QByteArray path = m_tree->file(name, 10);
        FileRecord r;
        QVERIFY(statPath(path, r));
        dup->dupGrid().addToGrid(GridRow{
            {QString::fromUtf8(name), numberText(r.size), fileDateText(r.time()),
             fileTimeText(r.time()), fileDateText(r.packedAccessTime()),
             QString::fromUtf8(m_tree->root()), fileTypeDescription(QStringLiteral(".txt"))},
            path,
            {}});
    }
    dup->dupGrid().setCurrentGridRow(1);
    dup->btCompareClick();
    QVERIFY(w.isVisible());
    QCOMPARE(w.parentWidget(), dup.get());
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("a.txt"));
    QCOMPARE(w.GroupBox2->title(), QStringLiteral("b.txt"));
    w.btMark2->click();
    QVERIFY(dup->dupGrid().gridModel()->isMarked(2));
    QCOMPARE(dup->dupGrid().gridModel()->markedCount(), 1);

    dup.reset();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.parentWidget(), &launcher);
    QCOMPARE(w.source(), nullptr);
}

VANTREL_QTEST_MAIN(TestDupCompare)
#include "tst_dupcompare.moc"
