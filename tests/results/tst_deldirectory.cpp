// The folder confirmation window and the shared "delete a folder" flow, used
// as a user does: protections, the three choices, the empty-folder shortcut,
// the tree deletion with its questions, the summary and the savings totals.

#include "HomeTree.h"
#include "platform/Trash.h"
#include "results/ui/FolderDeletion.h"
#include "results/ui/TfrmDelDirectory.h"
#include "settings/IniFile.h"
#include "text/ui/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QtTest>

#include <memory>

using namespace vantrel;
using namespace vantrel::test;

class TestDelDirectory : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HomeTree> m_tree;

    // The whole flow, answering the confirmation window with one of its buttons.
    static FolderDeletionOutcome deleteByButton(
        const QByteArray& folder, QPushButton* TfrmDelDirectory::*button, ScriptedDialogs& script,
        FolderDeleteCaller caller = FolderDeleteCaller::Browse) {
        script.dialogHandlers.push_back([button](QDialog& d) {
            QTest::mouseClick(static_cast<TfrmDelDirectory&>(d).*button, Qt::LeftButton);
            return d.result();
        });
        return deleteFolderInteractively(folder, caller, nullptr);
    }

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<HomeTree>();
        QVERIFY(m_tree->holdsSettingsAndTrash());
    }
    void cleanup() { m_tree.reset(); }

    void windowChoices() {
        const QByteArray folder = m_tree->mkdir("caf\xE9");
        TfrmDelDirectory w(folder);
        QCOMPARE(w.folder(), folder);
        QVERIFY(w.directoryText().endsWith(u"/caf\uFFFD"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.btCancel->isDefault());
        ScriptedDialogs script;
        script.answers = {Answer::No, Answer::Yes};
        QTest::mouseClick(w.btRecycle, Qt::LeftButton);  // No to the note: stays open
        QVERIFY(w.isVisible() && !w.recycle());
        QTest::mouseClick(w.btRecycle, Qt::LeftButton);
        QCOMPARE(script.questions, QStringList({recycleBinNote(), recycleBinNote()}));
        QVERIFY(!w.isVisible() && w.recycle());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        w.show();
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(exists(folder));  // the window deletes nothing itself
    }

    // Under the folder's name the window says what the whole tree holds,
    // counted while it is open.
    void windowTellsWhatTheTreeHolds() {
        m_tree->file("victim/a.bin", 1000);
        m_tree->file("victim/sub/b.bin", 24);
        TfrmDelDirectory w(m_tree->path("victim"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.contentsCounted());
        QCOMPARE(w.lblContents->text(),
                 QStringLiteral("It holds 2 files and 1 sub-folders, 1,024 bytes in all."));
        QCOMPARE(w.contents().files, 2);
    }

    void protectedFolderIsRefusedBeforeAsking() {
        ScriptedDialogs script;
        const QByteArray home = QFile::encodeName(QDir::homePath());
        QCOMPARE(deleteByButton(home, &TfrmDelDirectory::btCancel, script,
                                FolderDeleteCaller::FolderHogs)
                     .status,
                 FolderDeletionStatus::Refused);
        QCOMPARE(script.messageTexts(),
                 QStringList{QStringLiteral("You cannot delete the Windows folder using Vantrel")});
        QCOMPARE(script.messages[0].kind, BoxKind::Error);
        QVERIFY(script.dialogTitles.isEmpty());
    }

    // The folder that holds the home folder (/home above /home/ann) is
    // refused like the home folder itself, and nothing in it goes.
    void folderAboveTheHomeFolderIsRefused() {
        ScriptedDialogs script;
        const QByteArray file = m_tree->file("home/kept.txt", 10);
        QCOMPARE(deleteByButton(m_tree->root(), &TfrmDelDirectory::btDelete, script).status,
                 FolderDeletionStatus::Refused);
        QCOMPARE(script.messageTexts(),
                 QStringList{QStringLiteral("You cannot delete the Windows folder using Vantrel")});
        QVERIFY(script.dialogTitles.isEmpty());
        QVERIFY(exists(file));
    }

    void deletesATreeWithNamesThatAreNotUtf8() {
        const QByteArray folder = m_tree->file("caf\xE9/a.bin", 1000).chopped(6);
        m_tree->file("caf\xE9/sub-\x80/\xFF\xFE.bin", 2000);
        m_tree->file("caf\xE9/sub-\x80/deep/c.bin", 3500);
        ScriptedDialogs script;
        const FolderDeletionOutcome r = deleteByButton(folder, &TfrmDelDirectory::btDelete, script);
        QCOMPARE(r.status, FolderDeletionStatus::Finished);
        QVERIFY(r.folderGone() && !exists(folder));
        QCOMPARE(script.dialogTitles,
                 QStringList{QStringLiteral("Delete directory, sub-directories and all files")});
        QCOMPARE(script.messageTexts(),
                 QStringList{QStringLiteral("Deleted 3 files for a savings of 6,500 bytes.")});
        QCOMPARE(script.messages[0].kind, BoxKind::Information);
        QCOMPARE(readSavings(), today(3, 6500, 0, 0));
    }

    void recycledEmptyAndCancelled() {
        m_tree->file("victim/a.bin", 1000);
        m_tree->file("victim/sub/a.bin", 24);
        ScriptedDialogs script;
        script.answers = {Answer::Yes};  // the recycle-bin note
        QVERIFY(
            deleteByButton(m_tree->path("victim"), &TfrmDelDirectory::btRecycle, script).recycled);
        QVERIFY(!exists(m_tree->path("victim")));
        QVERIFY(exists(homeTrashFolder() + "/files/a 2.bin"));
        QCOMPARE(script.messageTexts(),
                 QStringList{QStringLiteral("Recycled 2 files for a savings of 1,024 bytes.")});
        QCOMPARE(readSavings(), today(0, 0, 2, 1024));

        // An empty folder goes without a message or totals; a cancelled
        // confirmation leaves the folder.
        const QByteArray empty = m_tree->mkdir("empty");
        QCOMPARE(deleteByButton(empty, &TfrmDelDirectory::btDelete, script).status,
                 FolderDeletionStatus::RemovedEmpty);
        QVERIFY(!exists(empty));
        const QByteArray kept = m_tree->file("keep/a.bin", 1);
        QCOMPARE(deleteByButton(m_tree->path("keep"), &TfrmDelDirectory::btCancel, script).status,
                 FolderDeletionStatus::NotConfirmed);
        QVERIFY(exists(kept));
        QCOMPARE(script.messages.size(), 1);
        QCOMPARE(readSavings(), today(0, 0, 2, 1024));
    }

    void readOnlyFileQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("lockedName");  // sorts before or after a.bin
        QTest::addColumn<QString>("message");
        QTest::addColumn<qint64>("deleted");
        const QString one = QStringLiteral(
            "Deleted 1 files for a savings of 10 bytes. (Note: "
            "Deletion operation canceled ... not all files deleted)");
        QTest::newRow("yes") << int(Answer::Yes) << QByteArray("b-locked.bin")
                             << QStringLiteral("Deleted 2 files for a savings of 30 bytes.")
                             << qint64(2);
        QTest::newRow("cancel after a file went")
            << int(Answer::Cancel) << QByteArray("b-locked.bin") << one << qint64(1);
        QTest::newRow("no before any file went")
            << int(Answer::No) << QByteArray("0-locked.bin") << QString() << qint64(-1);
    }
    void readOnlyFileQuestion() {
        QFETCH(int, answer);
        QFETCH(QByteArray, lockedName);
        QFETCH(QString, message);
        QFETCH(qint64, deleted);
        m_tree->file("victim/a.bin", 10);
        const QByteArray locked = m_tree->file("victim/" + lockedName, 20);
        m_tree->chmod("victim/" + lockedName, 0444);
        ScriptedDialogs script;
        script.answers = {Answer(answer)};
        const FolderDeletionOutcome r =
            deleteByButton(m_tree->path("victim"), &TfrmDelDirectory::btDelete, script);
        QCOMPARE(
            script.questions,
            QStringList{QFile::decodeName(locked) +
                        " is read-only, delete this file and continue deleting other files? "});
        QCOMPARE(script.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(readSavings().deletedCount, deleted);
        const bool yes = Answer(answer) == Answer::Yes;
        QCOMPARE(r.status, yes ? FolderDeletionStatus::Finished : FolderDeletionStatus::Cancelled);
        QCOMPARE(exists(m_tree->path("victim")), !yes);
    }

    void failuresAreListed() {
        m_tree->file("victim/a.bin", 10);
        const QByteArray stuck = m_tree->file("victim/locked/in.bin", 20);
        m_tree->chmod("victim/locked", 0555);
        test::PermissionChecks checks;
        if (!checks.enforced())
            QSKIP("permission checks cannot be enforced");
        ScriptedDialogs script;
        const FolderDeletionOutcome r =
            deleteByButton(m_tree->path("victim"), &TfrmDelDirectory::btDelete, script);
        QVERIFY(!r.folderGone());
        QCOMPARE(script.messages.size(), 2);
        QCOMPARE(script.messages[0].text,
                 QStringLiteral("Deleted 1 files for a savings of 10 bytes."));
        QCOMPARE(script.messages[1].kind, BoxKind::Error);
        QVERIFY(script.messages[1].text.startsWith("Couldn't delete file - " +
                                                   QFile::decodeName(stuck) + " ("));
        QCOMPARE(readSavings(), today(1, 10, 0, 0));
    }
};

VANTREL_QTEST_MAIN(TestDelDirectory)
#include "tst_deldirectory.moc"
