// The duplicates window reading contents: the "Same contents" criterion,
// hard links in every criterion's rows, "Mark all but one per group", the
// warning when every copy of a group is marked, and files that changed
// between marking and deleting.

#include "dup/ContentRows.h"
#include "dup/DupSearch.h"
#include "dup/ui/TfrmDup.h"
#include "platform/Drives.h"
#include "results/ResultGridModel.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/DriveCheckList.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QDateTime>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest/QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

std::function<int(QDialog&)> clickDeleteAll() {
    return [](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
        QTest::mouseClick(confirm.btDelete, Qt::LeftButton);
        return confirm.result();
    };
}

}  // namespace

class TestDupContents : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_files = std::make_unique<test::TempTree>();
        m_home = std::make_unique<test::TempTree>();
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home->root());
        setDriveListOverride(QList<DriveEntry>{{m_files->root(), u"folder"_s}});
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }

    void cleanup() {
        m_dialogs.reset();
        setDriveListOverride(std::nullopt);
        qputenv("HOME", m_oldHome);
        m_files.reset();
        m_home.reset();
    }

    // Identical files group by the bytes they waste; a copy that differs in
    // its middle and a file of a size of its own stay out; a hard link
    // follows its file and says so.
    void sameContentsGroupsByWasteAndNotesHardLinks() {
        QByteArray middle(10000, 'a');
        middle[5000] = 'm';
        m_files->file("a/x.txt", 10000, 'a');
        m_files->file("b/y.txt", 10000, 'a');
        m_files->fileWith("c/z.txt", middle);
        m_files->file("big/1.bin", 20000, 'b');
        m_files->file("big/2.bin", 20000, 'b');
        m_files->file("lone.bin", 30000, 'c');
        m_files->mkdir("d");
        QCOMPARE(::link(m_files->path("a/x.txt").constData(),
                        m_files->path("d/x-link.txt").constData()),
                 0);

        auto w = openWindow();
        QCOMPARE(w->cbDup->itemText(w->cbDup->count() - 1), u"Same contents"_s);
        w->cbDup->setCurrentIndex(int(DupCriterion::SameContents));
        QVERIFY(runScan(*w));
        QCOMPARE(rowPaths(*w), paths({"big/1.bin", "big/2.bin", "a/x.txt", "d/x-link.txt",
                                      "b/y.txt"}));
        QCOMPARE(w->grid->rowGroups(), (std::vector<int>{2, 3}));
        // Size first, as "Size only" lays the grid out; the type column
        // notes the hard link.
        const ResultGridModel& model = *w->grid->gridModel();
        QCOMPARE(model.cellText(1, 1), u"20,000"_s);
        QVERIFY(model.cellText(4, 6).endsWith(u"(hard link)"_s));
        QVERIFY(!model.cellText(3, 6).contains(u"hard link"_s));
        QCOMPARE(w->pnlSel->text(), u"5 duplicates found"_s);
    }

    // The metadata criteria: a group that is one file under two names is
    // no group; with a real copy beside them the second name is noted.
    void metadataCriteriaSeeHardLinks() {
        m_files->file("a/same.txt", 5000);
        m_files->mkdir("b");
        QCOMPARE(::link(m_files->path("a/same.txt").constData(),
                        m_files->path("b/same.txt").constData()),
                 0);
        auto w = openWindow();
        QVERIFY(runScan(*w));
        QCOMPARE(w->grid->rowCounter(), 0);

        m_files->file("c/same.txt", 5000);
        QVERIFY(runScan(*w));
        QCOMPARE(rowPaths(*w), paths({"a/same.txt", "b/same.txt", "c/same.txt"}));
        QVERIFY(w->grid->gridModel()->cellText(2, 6).endsWith(u"(hard link)"_s));
        QVERIFY(!w->grid->gridModel()->cellText(3, 6).contains(u"hard link"_s));
    }

    // "Mark all but one per group" keeps each group's first row; marking
    // that one too brings the warning, and No deletes nothing.
    void lastCopyIsGuarded() {
        makeFiles({"g1/a.txt", "g2/a.txt", "g3/a.txt"}, 4000);
        makeFiles({"h1/b.txt", "h2/b.txt"}, 6000);
        auto w = openWindow();
        QVERIFY(runScan(*w));
        QCOMPARE(w->grid->rowGroups(), (std::vector<int>{3, 2}));
        QAction* butOne = w->grid->markAllButOneAction();
        QVERIFY(butOne && butOne->isVisible());
        butOne->trigger();
        const ResultGridModel& model = *w->grid->gridModel();
        QCOMPARE(model.markedPaths(), paths({"g2/a.txt", "g3/a.txt", "h2/b.txt"}));
        QVERIFY(w->btDelete->isEnabled());

        w->grid->deleteOneFile(1);  // the last copy of a.txt
        m_dialogs->answers = {Answer::No};
        m_dialogs->dialogHandlers.push_back(clickDeleteAll());
        w->btDeleteClick();
        QCOMPARE(m_dialogs->questions.size(), 1);
        QCOMPARE(m_dialogs->questions[0],
                 u"All 3 copies of "_s + QString::fromUtf8(m_files->path("g1/a.txt")) +
                     u" are marked.\n\nDelete every copy anyway?"_s);
        QVERIFY(m_dialogs->messageTexts().contains(u"Files not deleted"_s));
        QVERIFY(exists(m_files->path("g1/a.txt")));
        QVERIFY(exists(m_files->path("g2/a.txt")));

        // Going on deletes them all.
        m_dialogs->questions.clear();
        m_dialogs->answers = {Answer::Yes, Answer::Yes};
        m_dialogs->dialogHandlers.push_back(clickDeleteAll());
        w->btDeleteClick();
        QCOMPARE(m_dialogs->questions.size(), 2);
        QVERIFY(!exists(m_files->path("g1/a.txt")));
        QVERIFY(!exists(m_files->path("g3/a.txt")));
        QVERIFY(exists(m_files->path("h1/b.txt")));
        QVERIFY(!exists(m_files->path("h2/b.txt")));
    }

    // A file that changed after it was marked is left alone, and the
    // window says so; the others go.
    void changedFileIsNotDeleted() {
        makeFiles({"p/c.txt", "q/c.txt", "r/c.txt"}, 3000);
        auto w = openWindow();
        QVERIFY(runScan(*w));
        w->grid->markAllButOneAction()->trigger();
        m_files->fileWith("q/c.txt", QByteArray(3001, 'n'));  // grew after marking
        m_dialogs->answers = {Answer::Yes};
        m_dialogs->dialogHandlers.push_back(clickDeleteAll());
        w->btDeleteClick();
        QVERIFY(exists(m_files->path("q/c.txt")));
        QVERIFY(!exists(m_files->path("r/c.txt")));
        QVERIFY(m_dialogs->messageTexts().contains(
            u"Not deleted, because it changed since it was listed - "_s +
            QString::fromUtf8(m_files->path("q/c.txt"))));
    }

    // "Verify contents" splits a name-based group, confirms an identical
    // one and leaves out a file changed since the scan.
    void verifyContentsSplitsAndConfirms() {
        m_files->file("v1/a.txt", 5000, 'x');
        m_files->file("v2/a.txt", 5000, 'x');
        m_files->file("v3/a.txt", 5000, 'y');
        m_files->file("w1/b.txt", 10, 'q');
        m_files->file("w2/b.txt", 10, 'q');
        m_files->file("n1/c.txt", 20, 'c');
        m_files->file("n2/c.txt", 20, 'c');
        auto w = openWindow();
        QVERIFY(runScan(*w));
        QVERIFY(w->btVerify->isVisible());
        QCOMPARE(w->grid->rowGroups(), (std::vector<int>{3, 2, 2}));
        m_files->setTimes("n2/c.txt", QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));

        QSignalSpy finished(&w->scanFrame(), &ScanFrame::finished);
        w->btVerify->click();
        QVERIFY(!finished.isEmpty() || finished.wait(60000));
        QCOMPARE(rowPaths(*w), paths({"v1/a.txt", "v2/a.txt", "v3/a.txt", "w1/b.txt",
                                      "w2/b.txt", "n1/c.txt", "n2/c.txt"}));
        QCOMPARE(w->grid->rowGroups(), (std::vector<int>{2, 1, 2, 1, 1}));
        const ResultGridModel& model = *w->grid->gridModel();
        const QStringList notes = {u"same contents"_s, u"same contents"_s, u"differs"_s,
                                   u"same contents"_s, u"same contents"_s, u"differs"_s,
                                   u"not read"_s};
        for (int row = 1; row <= 7; ++row)
            QVERIFY2(model.cellText(row, 6).endsWith(u"("_s + notes[row - 1] + u")"_s),
                     qPrintable(model.cellText(row, 6)));
        QCOMPARE(w->pnlSel->text(), u"1 of 3 groups confirmed by contents"_s);
        QVERIFY(!w->btVerify->isVisible());
    }

private:
    std::unique_ptr<TfrmDup> openWindow() {
        auto w = std::make_unique<TfrmDup>(true, nullptr);
        w->pckDrive->setTickedRoots({m_files->root()});
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the window was not exposed");
        w->num1->setValue(0);
        return w;
    }

    bool runScan(TfrmDup& w) {
        QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
        w.btScan->click();
        return !finished.isEmpty() || (w.scanFrame().isRunning() && finished.wait(60000));
    }

    void makeFiles(std::initializer_list<const char*> relative, qint64 size) {
        for (const char* f : relative)
            m_files->file(f, size);
    }

    QList<QByteArray> rowPaths(const TfrmDup& w) const {
        QList<QByteArray> out;
        for (int row = 1; row <= w.grid->rowCounter(); ++row)
            out.append(w.grid->gridModel()->pathAt(row));
        return out;
    }

    QList<QByteArray> paths(const QList<QByteArray>& relative) const {
        QList<QByteArray> out;
        for (const QByteArray& p : relative)
            out.append(m_files->path(p));
        return out;
    }

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QByteArray m_oldHome;
};

VANTREL_QTEST_MAIN(TestDupContents)
#include "tst_dup_contents.moc"
