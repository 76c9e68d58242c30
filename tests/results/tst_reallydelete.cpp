// The confirmation window for marked files: its texts, the two questions,
// deleting and trashing on real files, failures, the progress bar and the
// savings totals in the test settings file.

#include "platform/Trash.h"
#include "results/Deletion.h"
#include "results/Savings.h"
#include "results/ui/TfrmReallyDelete.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest/QtTest>

#include <sys/stat.h>

#include <memory>

using namespace vantrel;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// Records, for every message box, what the progress bar showed meanwhile.
class BarWatchingDialogs : public ScriptedDialogs {
public:
    QProgressBar* bar = nullptr;
    QList<bool> barVisible;
    QList<int> barValue;
    void message(BoxKind kind, const QString& text, QWidget* parent) override {
        if (bar) {
            barVisible.append(bar->isVisible());
            barValue.append(bar->value());
        }
        ScriptedDialogs::message(kind, text, parent);
    }
};

const QString kRecycleError =
    QStringLiteral("An error occurred sending files to the recycle bin.  The bin may be full.");

}  // namespace

class TestReallyDelete : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void textsAndLayout();
    void listIsSortedWithoutRegardToCase();
    void deleteAllFilesYesCountsWhatWent();
    void secondDeletionAddsAndKeepsTheStartDay();
    void answeringNoDeletesNothing_data();
    void answeringNoDeletesNothing();
    void emptyListHasNothingToDelete();
    void fileThatCannotGoIsReportedAndNotCounted();
    void progressBarShowsDuringTheRunOnly();
    void recycleSendsToTheTestTrash();
    void refusingTrashStopsAndCountsOnlyWhatWent();
    void cancelAndCloseBoxDeleteNothing();
    void nameThatIsNotUtf8();
    void toolHandOver();
    void looksRight();

private:
    QByteArray file(const QByteArray& relative, qint64 size) {
        return m_tree->file(relative, size);
    }
    IniFile settings() const { return vantrelIni(); }

    std::unique_ptr<test::TempTree> m_tree;
    QByteArray m_oldHome;
};

void TestReallyDelete::init() {
    m_tree = std::make_unique<test::TempTree>();
    QVERIFY(m_tree->isValid());
    m_oldHome = qgetenv("HOME");
    // Settings and trash of this test live in its own tree.
    qputenv("HOME", m_tree->mkdir("home"));
    QVERIFY(QStandardPaths::isTestModeEnabled());
    QVERIFY(settings().path().startsWith(QFile::decodeName(m_tree->root()) + QLatin1Char('/')));
    QVERIFY(homeTrashFolder().startsWith(m_tree->root() + '/'));
}

void TestReallyDelete::cleanup() {
    qputenv("HOME", m_oldHome);
    m_tree.reset();
}

void TestReallyDelete::textsAndLayout() {
    TfrmReallyDelete w({file("a.bin", 1), file("b.bin", 2), file("c.bin", 3)}, 1234567);
    QCOMPARE(w.windowTitle(), QStringLiteral("Delete/rename the following files:"));
    QCOMPARE(w.lblDelete->text(), QStringLiteral("The following 3 files will be deleted."));
    QCOMPARE(w.Label3->text(), QStringLiteral("Potential savings of "));
    QCOMPARE(w.lblSavings->text(), QStringLiteral("1,234,567 bytes"));
    QCOMPARE(w.Label2->text(),
             QStringLiteral("WARNING: The file(s) that you selected to delete may belong to "
                            "working applications.  Vantrel cannot determine if they are needed "
                            "for proper operation of other applications.  If in doubt do not "
                            "delete these files. "));
    QCOMPARE(w.btDelete->text(), QStringLiteral("&Delete all files"));
    QCOMPARE(w.btDelete->toolTip(),
             QStringLiteral("Delete the files shown above permanently.  Cannot be undeleted."));
    QCOMPARE(w.btRecycle->text(), QStringLiteral("&Send to recycle bin"));
    QCOMPARE(w.btRecycle->toolTip(),
             QStringLiteral("Send to recycle bin.  Recycle bin can be emptied later."));
    QCOMPARE(w.btClose->toolTip(), QStringLiteral("Cancel and close.  Do not rename or delete "));
    QCOMPARE(w.bar->toolTip(), QStringLiteral("Progress bar"));
    QVERIFY(w.btClose->isDefault());
    QVERIFY(!w.btDelete->isDefault() && !w.btDelete->autoDefault());
    QCOMPARE(w.btDelete->parentWidget(), w.Panel2);
    QCOMPARE(w.lb1->parentWidget(), w.Panel2);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(!w.bar->isVisible());
}

void TestReallyDelete::listIsSortedWithoutRegardToCase() {
    const QList<QByteArray> marked = {file("b/zeta.txt", 1), file("B/alpha.txt", 1),
                                      file("a/Beta.txt", 1), file("A/beta.txt", 1)};
    TfrmReallyDelete w(marked, 4);
    QStringList shown;
    for (int i = 0; i < w.lb1->count(); ++i)
        shown.append(w.lb1->item(i)->text());
    const QString root = QFile::decodeName(m_tree->root());
    QCOMPARE(shown, (QStringList{root + "/A/beta.txt", root + "/a/Beta.txt", root + "/B/alpha.txt",
                                 root + "/b/zeta.txt"}));
    QCOMPARE(w.paths().size(), 4);
    QCOMPARE(w.paths()[0], m_tree->path("A/beta.txt"));
}

void TestReallyDelete::deleteAllFilesYesCountsWhatWent() {
    const QList<QByteArray> marked = {file("one.bin", 1000), file("two.bin", 2000),
                                      file("three.bin", 3500)};
    TfrmReallyDelete w(marked, 6500);
    ScriptedDialogs script;
    script.answers = {Answer::Yes};
    w.show();
    QTest::mouseClick(w.btDelete, Qt::LeftButton);
    QCOMPARE(script.questions, QStringList{QStringLiteral("Really delete?")});
    QVERIFY(script.messages.isEmpty());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(!w.isVisible());
    for (const QByteArray& p : marked)
        QVERIFY(!exists(p));
    QCOMPARE(w.removedPaths().size(), 3);
    QVERIFY(!w.recycled());
    QCOMPARE(w.lb1->count(), 0);
    QCOMPARE(w.lblDelete->text(), QStringLiteral("The following 0 files will be deleted."));
    QCOMPARE(readSavings(), (SavingsTotals{3, 6500, 0, 0, dayNumber(QDate::currentDate())}));
    QCOMPARE(settings().readString("Vantrel", "Ndelete"), QStringLiteral("3"));
    QCOMPARE(settings().readString("Vantrel", "SizeDelete"), QStringLiteral("6500"));
    QCOMPARE(settings().readString("Vantrel", "NWaste"), QStringLiteral("0"));
    QCOMPARE(settings().readString("Vantrel", "SizeWaste"), QStringLiteral("0"));
}

void TestReallyDelete::secondDeletionAddsAndKeepsTheStartDay() {
    {
        TfrmReallyDelete w({file("1.bin", 1000), file("2.bin", 2000), file("3.bin", 3500)}, 6500);
        ScriptedDialogs script;
        script.answers = {Answer::Yes};
        w.btDeleteAllClick();
    }
    // Counting began on an earlier day.
    IniFile ini = settings();
    QVERIFY(ini.writeInteger("Vantrel", "DelDate", 45000));
    TfrmReallyDelete w({file("4.bin", 500)}, 500);
    ScriptedDialogs script;
    script.answers = {Answer::Yes};
    w.btDeleteAllClick();
    QCOMPARE(readSavings(), (SavingsTotals{4, 7000, 0, 0, 45000}));
}

void TestReallyDelete::answeringNoDeletesNothing_data() {
    QTest::addColumn<bool>("recycle");
    QTest::newRow("delete") << false;
    QTest::newRow("recycle") << true;
}

void TestReallyDelete::answeringNoDeletesNothing() {
    QFETCH(bool, recycle);
    const QByteArray f = file("keep.bin", 10);
    TfrmReallyDelete w({f}, 10);
    w.show();
    ScriptedDialogs script;
    script.answers = {Answer::No};
    QTest::mouseClick(recycle ? w.btRecycle : w.btDelete, Qt::LeftButton);
    QCOMPARE(script.questions.size(), 1);
    QCOMPARE(script.questions[0], recycle ? recycleBinNote() : QStringLiteral("Really delete?"));
    QCOMPARE(script.messageTexts(), QStringList{QStringLiteral("Files not deleted")});
    QCOMPARE(script.messages[0].kind, BoxKind::Information);
    QVERIFY(w.isVisible());  // stays open
    QVERIFY(exists(f));
    QCOMPARE(w.lb1->count(), 1);
    QVERIFY(!QFile::exists(settings().path()) || readSavings().deletedCount == -1);
}

void TestReallyDelete::emptyListHasNothingToDelete() {
    TfrmReallyDelete w({}, 0);
    QCOMPARE(w.lblDelete->text(), QStringLiteral("The following 0 files will be deleted."));
    QCOMPARE(w.lblSavings->text(), QStringLiteral("0 bytes"));
    w.show();
    ScriptedDialogs script;
    QTest::mouseClick(w.btDelete, Qt::LeftButton);
    QCOMPARE(script.messageTexts(), QStringList{QStringLiteral("There are no files to delete")});
    QCOMPARE(script.messages[0].kind, BoxKind::Warning);
    QVERIFY(script.questions.isEmpty());
    QVERIFY(w.isVisible());
}

void TestReallyDelete::fileThatCannotGoIsReportedAndNotCounted() {
    const QByteArray first = file("1-first.bin", 100);
    const QByteArray locked = file("2-locked.bin", 200);
    m_tree->chmod("2-locked.bin", 0444);
    const QByteArray gone = m_tree->path("3-gone.bin");
    const QByteArray last = file("4-last.bin", 400);
    TfrmReallyDelete w({last, gone, locked, first}, 700);
    ScriptedDialogs script;
    script.answers = {Answer::Yes};
    w.btDeleteAllClick();
    QCOMPARE(script.messageTexts(),
             (QStringList{QStringLiteral("Couldn't delete file - ") + QFile::decodeName(locked),
                          QStringLiteral("Couldn't delete file - ") + QFile::decodeName(gone)}));
    QCOMPARE(script.messages[0].kind, BoxKind::Error);
    QVERIFY(!exists(first));
    QVERIFY(exists(locked));
    QVERIFY(!exists(last));
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(w.removedPaths(), (QList<QByteArray>{first, last}));
    QCOMPARE(readSavings().deletedCount, 2);
    QCOMPARE(readSavings().deletedBytes, 500);
}

void TestReallyDelete::progressBarShowsDuringTheRunOnly() {
    const QByteArray a = file("a.bin", 1);
    const QByteArray b = m_tree->path("b-gone.bin");
    const QByteArray c = file("c.bin", 1);
    const QByteArray d = m_tree->path("d-gone.bin");
    TfrmReallyDelete w({a, b, c, d}, 2);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    BarWatchingDialogs script;
    script.bar = w.bar;
    script.answers = {Answer::Yes};
    w.btDeleteAllClick();
    QCOMPARE(script.barVisible, (QList<bool>{true, true}));
    QCOMPARE(script.barValue, (QList<int>{1, 3}));
    QCOMPARE(w.bar->minimum(), 0);
    QCOMPARE(w.bar->maximum(), 3);
    QVERIFY(w.bar->isHidden());
}

void TestReallyDelete::recycleSendsToTheTestTrash() {
    const QList<QByteArray> marked = {file("r/x.bin", 1000), file("r/y.bin", 24)};
    TfrmReallyDelete w(marked, 1024);
    ScriptedDialogs script;
    script.answers = {Answer::Yes};
    w.show();
    QTest::mouseClick(w.btRecycle, Qt::LeftButton);
    QCOMPARE(script.questions, QStringList{recycleBinNote()});
    QVERIFY(script.questions[0].endsWith(QStringLiteral(" \n\nSend to the recycle bin anyway?")));
    QVERIFY(script.messages.isEmpty());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(w.recycled());
    for (const QByteArray& p : marked)
        QVERIFY(!exists(p));
    QVERIFY(exists(homeTrashFolder() + "/files/x.bin"));
    QVERIFY(exists(homeTrashFolder() + "/files/y.bin"));
    QCOMPARE(readSavings(), (SavingsTotals{0, 0, 2, 1024, dayNumber(QDate::currentDate())}));
}

void TestReallyDelete::refusingTrashStopsAndCountsOnlyWhatWent() {
    const QByteArray a = file("a.bin", 10);
    const QByteArray b = m_tree->path("b-gone.bin");
    const QByteArray c = file("c.bin", 30);
    TfrmReallyDelete w({c, b, a}, 40);
    ScriptedDialogs script;
    script.answers = {Answer::Yes};
    w.btRecycleClick();
    QCOMPARE(script.messageTexts(), QStringList{kRecycleError});
    QCOMPARE(script.messages[0].kind, BoxKind::Error);
    QVERIFY(!exists(a));
    QVERIFY(exists(c));  // not tried after the refusal
    QCOMPARE(w.removedPaths(), QList<QByteArray>{a});
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(readSavings().recycledCount, 1);
    QCOMPARE(readSavings().recycledBytes, 10);

    // A trash that cannot be used at all: nothing goes, nothing is counted.
    QDir().mkpath(QFile::decodeName(homeTrashFolder()));
    QVERIFY(QDir(QFile::decodeName(homeTrashFolder())).removeRecursively());
    QFile blocker(QFile::decodeName(homeTrashFolder()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TfrmReallyDelete w2({c}, 30);
    ScriptedDialogs script2;
    script2.answers = {Answer::Yes};
    w2.btRecycleClick();
    QCOMPARE(script2.messageTexts(), QStringList{kRecycleError});
    QVERIFY(exists(c));
    QCOMPARE(readSavings().recycledCount, 1);
    QCOMPARE(readSavings().recycledBytes, 10);
}

void TestReallyDelete::cancelAndCloseBoxDeleteNothing() {
    const QByteArray f = file("stay.bin", 5);
    {
        TfrmReallyDelete w({f}, 5);
        w.show();
        QTest::mouseClick(w.btClose, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.isVisible());
    }
    {
        TfrmReallyDelete w({f}, 5);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.close());
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }
    {
        TfrmReallyDelete w({f}, 5);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.isVisible());
    }
    QVERIFY(exists(f));
    QVERIFY(!QFile::exists(settings().path()) || readSavings().deletedCount == -1);
}

void TestReallyDelete::nameThatIsNotUtf8() {
    const QByteArray odd = file("caf\xE9.bin", 77);
    const QByteArray twin = file("caf\xEF\xBF\xBD.bin", 5);  // shows alike
    TfrmReallyDelete w({odd}, 77);
    QCOMPARE(w.lb1->item(0)->text(), displayText(odd));
    QVERIFY(w.lb1->item(0)->text().contains(QChar(0xFFFD)));
    QCOMPARE(w.lb1->item(0)->data(Qt::UserRole).toByteArray(), odd);
    ScriptedDialogs script;
    script.answers = {Answer::Yes};
    w.btDeleteAllClick();
    QVERIFY(!exists(odd));
    QVERIFY(exists(twin));
    QCOMPARE(readSavings().deletedBytes, 77);
}

void TestReallyDelete::toolHandOver() {
    ScriptedDialogs script;
    // Nothing marked: no window.
    const MarkedDeletion none = deleteMarkedFiles({}, 0, nullptr);
    QVERIFY(!none.shown);
    QVERIFY(script.dialogTitles.isEmpty());

    const QByteArray a = file("a.bin", 3);
    const QByteArray gone = m_tree->path("gone.bin");
    script.answers = {Answer::Yes};
    script.dialogHandlers.push_back([](QDialog& d) {
        auto& w = static_cast<TfrmReallyDelete&>(d);
        QTest::mouseClick(w.btDelete, Qt::LeftButton);
        return w.result();
    });
    const MarkedDeletion done = deleteMarkedFiles({gone, a}, 3, nullptr);
    QCOMPARE(script.dialogTitles,
             QStringList{QStringLiteral("Delete/rename the following files:")});
    QVERIFY(done.shown);
    QVERIFY(done.accepted);
    QVERIFY(!done.recycled);
    QCOMPARE(done.removed, QList<QByteArray>{a});
    QCOMPARE(done.removedBytes, 3);

    // Cancelled: the tool learns that nothing went.
    const QByteArray b = file("b.bin", 4);
    script.dialogHandlers.push_back([](QDialog& d) {
        auto& w = static_cast<TfrmReallyDelete&>(d);
        QTest::mouseClick(w.btClose, Qt::LeftButton);
        return w.result();
    });
    const MarkedDeletion cancelled = deleteMarkedFiles({b}, 4, nullptr);
    QVERIFY(cancelled.shown);
    QVERIFY(!cancelled.accepted);
    QVERIFY(cancelled.removed.isEmpty());
    QVERIFY(exists(b));
}

void TestReallyDelete::looksRight() {
    QList<QByteArray> marked;
    for (int i = 0; i < 5; ++i)
        marked.append(file("Pictures/holiday/IMG_" + QByteArray::number(4711 + i) + ".jpg", 10));
    marked.append(file("caf\xE9/notes.txt", 10));
    TfrmReallyDelete w(marked, 2147483648LL);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.bar->show();  // as during a run
    QCoreApplication::processEvents();
    for (QLabel* label : w.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->wordWrap())
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
    }
    for (QPushButton* button : w.findChildren<QPushButton*>())
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
    const QString png = QDir::tempPath() + QStringLiteral("/reallydelete.png");
    QVERIFY(w.grab().save(png));
    qInfo("rendered to %s", qPrintable(png));
}

VANTREL_QTEST_MAIN(TestReallyDelete)
#include "tst_reallydelete.moc"
