// The confirmation window for marked files, used as a user does: deleting and
// trashing real files, the questions, failures, the progress bar and the
// savings totals in the test settings file.

#include "HomeTree.h"
#include "platform/Trash.h"
#include "results/ui/TfrmReallyDelete.h"
#include "settings/IniFile.h"
#include "text/ui/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest/QtTest>

#include <memory>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Records, for every message box, what the progress bar showed meanwhile.
class BarWatchingDialogs : public ScriptedDialogs {
public:
    QProgressBar* bar = nullptr;
    QList<int> barValues;  // -1: hidden
    void message(BoxKind kind, const QString& text, QWidget* parent) override {
        barValues.append(bar && bar->isVisible() ? bar->value() : -1);
        ScriptedDialogs::message(kind, text, parent);
    }
};

const QString kRecycleError =
    QStringLiteral("An error occurred sending files to the recycle bin.  The bin may be full.");

}  // namespace

class TestReallyDelete : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HomeTree> m_tree;

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<HomeTree>();
        QVERIFY(m_tree->holdsSettingsAndTrash());
    }
    void cleanup() { m_tree.reset(); }

    void deleteAllFilesListsSortedAndCountsWhatWent() {
        const QByteArray odd = m_tree->file("a/caf\xE9.bin", 3500);
        const QByteArray twin = m_tree->file("a/caf\xEF\xBF\xBD.bin", 5);  // shows alike
        TfrmReallyDelete w(
            {m_tree->file("b/zeta.bin", 1000), m_tree->file("B/alpha.bin", 2000), odd}, 6500);
        QCOMPARE(w.lblDelete->text(), QStringLiteral("The following 3 files will be deleted."));
        QCOMPARE(w.lblSavings->text(), QStringLiteral("6,500 bytes"));
        QVERIFY(w.btClose->isDefault());
        // Sorted without regard to case; the odd name listed lossy, kept exact.
        QCOMPARE(w.lb1->item(0)->text(), displayText(odd));
        QCOMPARE(w.paths(),
                 QList<QByteArray>({odd, m_tree->path("B/alpha.bin"), m_tree->path("b/zeta.bin")}));
        w.show();
        ScriptedDialogs script;
        script.answers = {Answer::Yes};
        QTest::mouseClick(w.btDelete, Qt::LeftButton);
        QCOMPARE(script.questions, QStringList{QStringLiteral("Really delete?")});
        QVERIFY(script.messages.isEmpty());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        for (const QByteArray& p : w.paths())
            QVERIFY(!exists(p));
        QVERIFY(exists(twin));
        QCOMPARE(w.lblDelete->text(), QStringLiteral("The following 0 files will be deleted."));
        QCOMPARE(readSavings(), today(3, 6500, 0, 0));
    }

    void nothingGoesUnlessConfirmed() {
        const QByteArray f = m_tree->file("keep.bin", 10);
        ScriptedDialogs script;
        TfrmReallyDelete empty({}, 0);
        empty.btDeleteAllClick();
        TfrmReallyDelete w({f}, 10);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        script.answers = {Answer::No, Answer::No};
        QTest::mouseClick(w.btDelete, Qt::LeftButton);
        QTest::mouseClick(w.btRecycle, Qt::LeftButton);
        QCOMPARE(script.questions, QStringList({"Really delete?", recycleBinNote()}));
        QCOMPARE(script.messageTexts(), QStringList({"There are no files to delete",
                                                     "Files not deleted", "Files not deleted"}));
        QCOMPARE(script.messages[0].kind, BoxKind::Warning);
        QCOMPARE(script.messages[1].kind, BoxKind::Information);
        QVERIFY(w.isVisible());  // stays open
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(exists(f));
        QVERIFY(!QFile::exists(vantrelIni().path()));
    }

    void fileThatCannotGoIsReportedAndNotCounted() {
        const QByteArray locked = m_tree->file("2-locked.bin", 200);
        m_tree->chmod("2-locked.bin", 0444);
        const QByteArray gone = m_tree->path("3-gone.bin");
        TfrmReallyDelete w(
            {m_tree->file("4-last.bin", 400), gone, locked, m_tree->file("1-first.bin", 100)}, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        BarWatchingDialogs script;
        script.bar = w.bar;
        script.answers = {Answer::Yes};
        w.btDeleteAllClick();
        QCOMPARE(script.messageTexts(),
                 QStringList({"Couldn't delete file - " + QFile::decodeName(locked) +
                                  " (The file is read-only)",
                              "Couldn't delete file - " + QFile::decodeName(gone) +
                                  " (No such file or directory)"}));
        QCOMPARE(script.messages[0].kind, BoxKind::Error);
        QCOMPARE(script.barValues, QList<int>({1, 2}));  // shown while the list is worked through
        QCOMPARE(w.bar->maximum(), 3);
        QVERIFY(w.bar->isHidden());
        QVERIFY(exists(locked));
        QCOMPARE(readSavings(), today(2, 500, 0, 0));
    }

    void recycleAndARefusingTrash() {
        const QList<QByteArray> marked = {m_tree->file("r/x.bin", 1000),
                                          m_tree->file("r/y.bin", 24)};
        TfrmReallyDelete w(marked, 1024);
        ScriptedDialogs script;
        script.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
        w.show();
        QTest::mouseClick(w.btRecycle, Qt::LeftButton);
        QVERIFY(script.questions[0].endsWith(" \n\nSend to the recycle bin anyway?"));
        QVERIFY(w.recycled());
        QVERIFY(!exists(marked[0]) && exists(homeTrashFolder() + "/files/x.bin"));
        QCOMPARE(readSavings(), today(0, 0, 2, 1024));

        // The trash refuses a vanished file: the rest is not tried and only
        // what went is counted.
        const QByteArray a = m_tree->file("a.bin", 10), c = m_tree->file("c.bin", 30);
        TfrmReallyDelete stop({c, m_tree->path("b-gone.bin"), a}, 40);
        stop.btRecycleClick();
        QVERIFY(!exists(a) && exists(c));
        QCOMPARE(stop.result(), int(QDialog::Accepted));
        QCOMPARE(readSavings(), today(0, 0, 3, 1034));

        // A trash that cannot be used at all: nothing goes, nothing is counted.
        QVERIFY(QDir(QFile::decodeName(homeTrashFolder())).removeRecursively());
        m_tree->fileWith(homeTrashFolder().mid(m_tree->root().size() + 1), "blocked");
        TfrmReallyDelete refused({c}, 30);
        refused.btRecycleClick();
        QVERIFY(exists(c));
        QCOMPARE(readSavings(), today(0, 0, 3, 1034));
        QCOMPARE(
            script.messageTexts(),
            QStringList({kRecycleError + "\n\n" + QFile::decodeName(m_tree->path("b-gone.bin")) +
                             " (No such file or directory)",
                         kRecycleError + "\n\n" + QFile::decodeName(c) +
                             " (The trash folder cannot be used)"}));
    }

    // A file whose folder does not let it go: the message says why.
    void reasonOfAFailureIsShown() {
        const QByteArray kept = m_tree->file("shut/kept.bin", 10);
        m_tree->chmod("shut", 0555);
        test::PermissionChecks checks;
        if (!checks.enforced()) {
            m_tree->chmod("shut", 0755);
            QSKIP("permission checks cannot be enforced here");
        }
        ScriptedDialogs script;
        script.answers = {Answer::Yes};
        TfrmReallyDelete w({kept}, 10);
        w.btDeleteAllClick();
        QCOMPARE(script.messageTexts(),
                 QStringList{"Couldn't delete file - " + QFile::decodeName(kept) +
                             " (Permission denied)"});
        QCOMPARE(script.messages[0].kind, BoxKind::Error);
        QVERIFY(exists(kept));
        m_tree->chmod("shut", 0755);
    }
};

VANTREL_QTEST_MAIN(TestReallyDelete)
#include "tst_reallydelete.moc"
