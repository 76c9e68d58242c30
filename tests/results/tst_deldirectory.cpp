// The folder confirmation window and the shared "delete a folder" flow:
// protections, the three choices, the empty-folder shortcut, the tree
// deletion with its questions, the summary and the savings totals.

#include "platform/Trash.h"
#include "results/Deletion.h"
#include "results/FolderProtection.h"
#include "results/Savings.h"
#include "results/ui/FolderDeletion.h"
#include "results/ui/TfrmDelDirectory.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QLabel>
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

const QString kNote =
    QStringLiteral(" (Note: Deletion operation canceled ... not all files deleted)");

// A handler for the confirmation window: clicks one of its buttons.
std::function<int(QDialog&)> clicking(QPushButton* TfrmDelDirectory::*button) {
    return [button](QDialog& d) {
        auto& w = static_cast<TfrmDelDirectory&>(d);
        QTest::mouseClick(w.*button, Qt::LeftButton);
        return w.result();
    };
}

}  // namespace

Q_DECLARE_METATYPE(FolderDeleteCaller)

class TestDelDirectory : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void textsAndLayout();
    void deleteChoice();
    void recycleChoice_data();
    void recycleChoice();
    void cancelChoices();
    void folderNameThatIsNotUtf8();

    void protectedFoldersAreRefused_data();
    void protectedFoldersAreRefused();
    void notConfirmedLeavesTheFolder();
    void emptyFolderIsRemovedQuietly();
    void treeIsDeletedAndCounted();
    void treeIsRecycledAndCounted();
    void readOnlyFileQuestion_data();
    void readOnlyFileQuestion();
    void linkToOutsideIsRemovedAndOutsideStays();
    void failuresAreListed();
    void summaryTexts();
    void looksRight();

private:
    std::unique_ptr<test::TempTree> m_tree;
    QByteArray m_oldHome;
};

void TestDelDirectory::init() {
    m_tree = std::make_unique<test::TempTree>();
    QVERIFY(m_tree->isValid());
    m_oldHome = qgetenv("HOME");
    qputenv("HOME", m_tree->mkdir("home"));
    QVERIFY(QStandardPaths::isTestModeEnabled());
    QVERIFY(vantrelIni().path().startsWith(QFile::decodeName(m_tree->root()) + QLatin1Char('/')));
    QVERIFY(homeTrashFolder().startsWith(m_tree->root() + '/'));
}

void TestDelDirectory::cleanup() {
    qputenv("HOME", m_oldHome);
    m_tree.reset();
}

void TestDelDirectory::textsAndLayout() {
    const QByteArray folder = m_tree->mkdir("old/project");
    TfrmDelDirectory w(folder);
    QCOMPARE(w.windowTitle(), QStringLiteral("Delete directory, sub-directories and all files"));
    QCOMPARE(w.directoryText(), QFile::decodeName(folder));
    QCOMPARE(w.lblDirectory->text(), QFile::decodeName(folder));
    QCOMPARE(w.lblDirectory->toolTip(), QFile::decodeName(folder));
    QVERIFY(w.lblDirectory->alignment() & Qt::AlignHCenter);
    QStringList labels;
    for (QLabel* l : w.findChildren<QLabel*>())
        labels.append(l->text());
    QVERIFY(labels.contains(QStringLiteral("Folder to delete:")));
    QVERIFY(labels.contains(QStringLiteral(
        "All files and sub-folders are deleted.  Files cannot be recovered.  Hard disk space "
        "immediately freed up.")));
    QVERIFY(labels.contains(QStringLiteral(
        "All files sent to the Windows 95 recycle bin which can be emptied later. Files may be "
        "recovered.  Hard disk space is not freed up until recycle bin is emptied..")));
    QVERIFY(labels.contains(QStringLiteral("Cancel delete operation.")));
    QCOMPARE(w.btDelete->text(), QStringLiteral("&Delete folder"));
    QCOMPARE(w.btDelete->toolTip(),
             QStringLiteral("Delete the files shown above.  Cannot be undeleted."));
    QCOMPARE(w.btRecycle->text(), QStringLiteral("&Send files to recycle bin"));
    QCOMPARE(w.btRecycle->toolTip(),
             QStringLiteral("Send to recycle bin.  Recycle bin can be emptied later.  Files can "
                            "be recovered."));
    QCOMPARE(w.btCancel->toolTip(), QStringLiteral("Cancel. Do not delete."));
    QVERIFY(w.btCancel->isDefault());
    QVERIFY(w.btRecycle->isEnabled());
    QCOMPARE(w.folder(), folder);
}

void TestDelDirectory::deleteChoice() {
    TfrmDelDirectory w(m_tree->mkdir("d"));
    w.show();
    ScriptedDialogs script;
    QTest::mouseClick(w.btDelete, Qt::LeftButton);
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(!w.recycle());
    QVERIFY(script.questions.isEmpty());
    QVERIFY(exists(m_tree->path("d")));  // the window deletes nothing itself
}

void TestDelDirectory::recycleChoice_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("yes") << int(Answer::Yes) << true;
    QTest::newRow("no") << int(Answer::No) << false;
}

void TestDelDirectory::recycleChoice() {
    QFETCH(int, answer);
    QFETCH(bool, accepted);
    TfrmDelDirectory w(m_tree->mkdir("d"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ScriptedDialogs script;
    script.answers = {Answer(answer)};
    QTest::mouseClick(w.btRecycle, Qt::LeftButton);
    QCOMPARE(script.questions, QStringList{recycleBinNote()});
    QCOMPARE(w.recycle(), accepted);
    QCOMPARE(w.isVisible(), !accepted);
    if (accepted)
        QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(script.messages.isEmpty());
}

void TestDelDirectory::cancelChoices() {
    {
        TfrmDelDirectory w(m_tree->mkdir("d"));
        w.show();
        QTest::mouseClick(w.btCancel, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }
    {
        TfrmDelDirectory w(m_tree->mkdir("d"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.isVisible());
    }
}

void TestDelDirectory::folderNameThatIsNotUtf8() {
    const QByteArray folder = m_tree->file("caf\xE9/x.bin", 9).left(m_tree->path("caf\xE9").size());
    TfrmDelDirectory w(folder);
    QCOMPARE(w.folder(), folder);
    QVERIFY(w.directoryText().endsWith(QStringLiteral("caf\uFFFD")));

    ScriptedDialogs script;
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btDelete));
    const FolderDeletionOutcome r =
        deleteFolderInteractively(folder, FolderDeleteCaller::FolderHogs, nullptr);
    QCOMPARE(r.status, FolderDeletionStatus::Finished);
    QVERIFY(!exists(folder));
    QCOMPARE(script.messageTexts(),
             QStringList{QStringLiteral("Deleted 1 files for a savings of 9 bytes.")});
}

void TestDelDirectory::protectedFoldersAreRefused_data() {
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<FolderDeleteCaller>("caller");
    QTest::addColumn<QString>("message");
    const QString browseRoot = QStringLiteral(
        "Cannot delete the root folder! To delete a folder including all files and sub-folders "
        "double click on the desired folder shown in the left panel.");
    const QString hogsRoot = QStringLiteral("You cannot delete the root folder using Vantrel");
    const QString system = QStringLiteral("You cannot delete the Windows folder using Vantrel");
    QTest::newRow("root browse") << QByteArray("/") << FolderDeleteCaller::Browse << browseRoot;
    QTest::newRow("root hogs") << QByteArray("/") << FolderDeleteCaller::FolderHogs << hogsRoot;
    QTest::newRow("mount browse") << QByteArray("/proc") << FolderDeleteCaller::Browse
                                  << browseRoot;
    QTest::newRow("usr browse") << QByteArray("/usr") << FolderDeleteCaller::Browse << system;
    QTest::newRow("etc hogs") << QByteArray("/etc/") << FolderDeleteCaller::FolderHogs << system;
    // "~": the home folder as it is while the test runs (init() moves it).
    QTest::newRow("home hogs") << QByteArray("~") << FolderDeleteCaller::FolderHogs << system;
}

void TestDelDirectory::protectedFoldersAreRefused() {
    QFETCH(QByteArray, folder);
    QFETCH(FolderDeleteCaller, caller);
    QFETCH(QString, message);
    if (folder == "~")
        folder = QFile::encodeName(QDir::homePath());
    ScriptedDialogs script;
    // Should the refusal ever fail, the confirmation is cancelled.
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btCancel));
    const FolderDeletionOutcome r = deleteFolderInteractively(folder, caller, nullptr);
    QCOMPARE(r.status, FolderDeletionStatus::Refused);
    QCOMPARE(script.messageTexts(), QStringList{message});
    QCOMPARE(script.messages[0].kind, BoxKind::Error);
    QVERIFY(script.dialogTitles.isEmpty());
    QVERIFY(exists(folder));
}

void TestDelDirectory::notConfirmedLeavesTheFolder() {
    m_tree->file("keep/a.bin", 1);
    ScriptedDialogs script;
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btCancel));
    const FolderDeletionOutcome r =
        deleteFolderInteractively(m_tree->path("keep"), FolderDeleteCaller::Browse, nullptr);
    QCOMPARE(r.status, FolderDeletionStatus::NotConfirmed);
    QCOMPARE(script.dialogTitles,
             QStringList{QStringLiteral("Delete directory, sub-directories and all files")});
    QVERIFY(script.messages.isEmpty());
    QVERIFY(exists(m_tree->path("keep/a.bin")));
}

void TestDelDirectory::emptyFolderIsRemovedQuietly() {
    const QByteArray empty = m_tree->mkdir("empty");
    ScriptedDialogs script;
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btDelete));
    const FolderDeletionOutcome r =
        deleteFolderInteractively(empty, FolderDeleteCaller::FolderHogs, nullptr);
    QCOMPARE(r.status, FolderDeletionStatus::RemovedEmpty);
    QVERIFY(r.folderGone());
    QVERIFY(!exists(empty));
    QVERIFY(script.messages.isEmpty());
    QCOMPARE(readSavings(), (SavingsTotals{-1, -1, -1, -1, -1}));
}

void TestDelDirectory::treeIsDeletedAndCounted() {
    m_tree->file("victim/a.bin", 1000);
    m_tree->file("victim/sub/b.bin", 2000);
    m_tree->file("victim/sub/deep/c.bin", 3500);
    ScriptedDialogs script;
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btDelete));
    const FolderDeletionOutcome r =
        deleteFolderInteractively(m_tree->path("victim"), FolderDeleteCaller::Browse, nullptr);
    QCOMPARE(r.status, FolderDeletionStatus::Finished);
    QVERIFY(!r.recycled);
    QVERIFY(r.folderGone());
    QVERIFY(!exists(m_tree->path("victim")));
    QCOMPARE(script.messageTexts(),
             QStringList{QStringLiteral("Deleted 3 files for a savings of 6,500 bytes.")});
    QCOMPARE(script.messages[0].kind, BoxKind::Information);
    QCOMPARE(readSavings(), (SavingsTotals{3, 6500, 0, 0, dayNumber(QDate::currentDate())}));
}

void TestDelDirectory::treeIsRecycledAndCounted() {
    m_tree->file("victim/a.bin", 1000);
    m_tree->file("victim/sub/a.bin", 24);
    ScriptedDialogs script;
    script.answers = {Answer::Yes};  // the recycle-bin note
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btRecycle));
    const FolderDeletionOutcome r =
        deleteFolderInteractively(m_tree->path("victim"), FolderDeleteCaller::Browse, nullptr);
    QCOMPARE(r.status, FolderDeletionStatus::Finished);
    QVERIFY(r.recycled);
    QVERIFY(!exists(m_tree->path("victim")));
    QVERIFY(exists(homeTrashFolder() + "/files/a.bin"));
    QVERIFY(exists(homeTrashFolder() + "/files/a 2.bin"));
    QCOMPARE(script.messageTexts(),
             QStringList{QStringLiteral("Recycled 2 files for a savings of 1,024 bytes.")});
    QCOMPARE(readSavings(), (SavingsTotals{0, 0, 2, 1024, dayNumber(QDate::currentDate())}));
}

void TestDelDirectory::readOnlyFileQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("lockedName");  // sorts before or after a.bin
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<qint64>("deleted");
    QTest::newRow("yes") << int(Answer::Yes) << QByteArray("b-locked.bin")
                         << QStringList{QStringLiteral(
                                "Deleted 2 files for a savings of 30 bytes.")}
                         << qint64(2);
    QTest::newRow("no after a file went")
        << int(Answer::No) << QByteArray("b-locked.bin")
        << QStringList{QStringLiteral("Deleted 1 files for a savings of 10 bytes.") + kNote}
        << qint64(1);
    QTest::newRow("cancel after a file went")
        << int(Answer::Cancel) << QByteArray("b-locked.bin")
        << QStringList{QStringLiteral("Deleted 1 files for a savings of 10 bytes.") + kNote}
        << qint64(1);
    QTest::newRow("no before any file went")
        << int(Answer::No) << QByteArray("0-locked.bin") << QStringList{} << qint64(-1);
}

void TestDelDirectory::readOnlyFileQuestion() {
    QFETCH(int, answer);
    QFETCH(QByteArray, lockedName);
    QFETCH(QStringList, messages);
    QFETCH(qint64, deleted);
    m_tree->file("victim/a.bin", 10);
    const QByteArray locked = m_tree->file("victim/" + lockedName, 20);
    m_tree->chmod("victim/" + lockedName, 0444);
    ScriptedDialogs script;
    script.answers = {Answer(answer)};
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btDelete));
    const FolderDeletionOutcome r =
        deleteFolderInteractively(m_tree->path("victim"), FolderDeleteCaller::Browse, nullptr);
    QCOMPARE(script.questions,
             QStringList{QFile::decodeName(locked) +
                         QStringLiteral(" is read-only, delete this file and continue deleting "
                                        "other files? ")});
    QCOMPARE(script.messageTexts(), messages);
    QCOMPARE(readSavings().deletedCount, deleted);
    const bool yes = Answer(answer) == Answer::Yes;
    QCOMPARE(r.status, yes ? FolderDeletionStatus::Finished : FolderDeletionStatus::Cancelled);
    QCOMPARE(exists(locked), !yes);
    QCOMPARE(exists(m_tree->path("victim")), !yes);
}

void TestDelDirectory::linkToOutsideIsRemovedAndOutsideStays() {
    m_tree->file("outside/precious.bin", 50);
    m_tree->file("victim/own.bin", 7);
    m_tree->symlink("victim/shortcut", m_tree->path("outside"));
    ScriptedDialogs script;
    script.answers = {Answer::Yes};
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btDelete));
    const FolderDeletionOutcome r =
        deleteFolderInteractively(m_tree->path("victim"), FolderDeleteCaller::FolderHogs, nullptr);
    QCOMPARE(r.status, FolderDeletionStatus::Finished);
    QCOMPARE(script.questions,
             QStringList{QFile::decodeName(m_tree->path("victim/shortcut")) +
                         QStringLiteral(" is a system file, delete this file and continue "
                                        "deleting other files? ")});
    QVERIFY(!exists(m_tree->path("victim")));
    QVERIFY(exists(m_tree->path("outside/precious.bin")));
    QCOMPARE(script.messageTexts(),
             QStringList{QStringLiteral("Deleted 2 files for a savings of 7 bytes.")});
}

void TestDelDirectory::failuresAreListed() {
    m_tree->file("victim/a.bin", 10);
    const QByteArray stuck = m_tree->file("victim/locked/in.bin", 20);
    m_tree->chmod("victim/locked", 0555);
    test::PermissionChecks checks;
    if (!checks.enforced())
        QSKIP("permission checks cannot be enforced");
    ScriptedDialogs script;
    script.dialogHandlers.push_back(clicking(&TfrmDelDirectory::btDelete));
    const FolderDeletionOutcome r =
        deleteFolderInteractively(m_tree->path("victim"), FolderDeleteCaller::Browse, nullptr);
    QCOMPARE(r.status, FolderDeletionStatus::Finished);
    QVERIFY(!r.folderGone());
    QCOMPARE(script.messages.size(), 2);
    QCOMPARE(script.messages[0].text, QStringLiteral("Deleted 1 files for a savings of 10 bytes."));
    QCOMPARE(script.messages[1].kind, BoxKind::Error);
    QVERIFY2(script.messages[1].text.startsWith(QStringLiteral("Couldn't delete file - ") +
                                                QFile::decodeName(stuck) + QStringLiteral(" (")),
             qPrintable(script.messages[1].text));
    QCOMPARE(readSavings().deletedCount, 1);
    QCOMPARE(readSavings().deletedBytes, 10);
}

void TestDelDirectory::summaryTexts() {
    QCOMPARE(folderDeletionSummary(false, 1234, 5678901, true),
             QStringLiteral("Deleted 1,234 files for a savings of 5,678,901 bytes."));
    QCOMPARE(folderDeletionSummary(true, 1, 5000000000LL, false),
             QStringLiteral("Recycled 1 files for a savings of 5,000,000,000 bytes.") + kNote);
    QList<DeletionFailure> many;
    for (int i = 0; i < 12; ++i)
        many.append({"/x/f" + QByteArray::number(i), QStringLiteral("Permission denied"), i == 0});
    const QStringList lines = failureListText(many, 10).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines[0], QStringLiteral("Couldn't delete folder - /x/f0 (Permission denied)"));
    QCOMPARE(lines[1], QStringLiteral("Couldn't delete file - /x/f1 (Permission denied)"));
    QCOMPARE(lines[10], QStringLiteral("... and 2 more"));
}

void TestDelDirectory::looksRight() {
    // The window only shows the path; it need not exist.
    const QByteArray folder = "/home/ann/Documents/Old projects/2019";
    TfrmDelDirectory w(folder);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (QPushButton* button : w.findChildren<QPushButton*>())
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
    QCOMPARE(w.lblDirectory->text(), QFile::decodeName(folder));  // fits: not shortened
    QVERIFY(w.grab().save(QDir::tempPath() + QStringLiteral("/deldirectory.png")));

    // A path far wider than the window is shortened in the middle.
    const QByteArray deep = m_tree->mkdir(QByteArray(60, 'a') + "/" + QByteArray(60, 'b') + "/" +
                                          QByteArray(60, 'c') + "/end");
    TfrmDelDirectory wide(deep);
    wide.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wide));
    QVERIFY(wide.lblDirectory->text().contains(QChar(0x2026)));
    QVERIFY(wide.lblDirectory->text().endsWith(QStringLiteral("/end")));
    QCOMPARE(wide.lblDirectory->toolTip(), QFile::decodeName(deep));
    QVERIFY(wide.width() < 1200);
    QVERIFY(wide.grab().save(QDir::tempPath() + QStringLiteral("/deldirectory-long.png")));
}

VANTREL_QTEST_MAIN(TestDelDirectory)
#include "tst_deldirectory.moc"
