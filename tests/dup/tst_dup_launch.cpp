// The duplicates window as the launcher opens it: both buttons, the mode
// each gives, a search and a deletion from start to end, and the pair
// comparison window found among the long-lived windows.

#include "app/ui/AppWindows.h"
#include "app/ui/TfrmMain.h"
#include "dup/ui/TfrmDup.h"
#include "platform/Drives.h"
#include "results/Savings.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/DriveCheckList.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest/QtTest>

#include <sys/stat.h>

#include <memory>

using namespace vantrel;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

QPushButton* button(QWidget& window, const char* name) {
    return window.findChild<QPushButton*>(QLatin1String(name));
}

bool scanAndWait(TfrmDup& w) {
    QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
    w.btScan->click();
    return w.scanFrame().isRunning() ? finished.wait(60000) : !finished.isEmpty();
}

class FakeCompareWindow : public QWidget, public DupCompareView {
public:
    QList<QWidget*> shownFor;
    int closing = 0;
    void showFor(DupCompareSource& source) override { shownFor.append(source.sourceWindow()); }
    void sourceClosing(DupCompareSource&) override { ++closing; }
};

}  // namespace

class TestDupLaunch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void bothButtonsOpenTheWindowInTheirMode();
    void findAndDeleteDuplicatesFromTheLauncher();
    void pairsReachTheLongLivedCompareWindow();

private:
    void registerTool(AppWindows& windows) {
        windows.setToolFactory(ToolWindow::Duplicates,
                               [](const ToolRequest& r) { return std::make_unique<TfrmDup>(r); });
    }

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    QByteArray m_oldHome;
};

void TestDupLaunch::init() {
    m_files = std::make_unique<test::TempTree>();
    m_home = std::make_unique<test::TempTree>();
    m_oldHome = qgetenv("HOME");
    qputenv("HOME", m_home->root());
    setDriveListOverride(QList<DriveEntry>{DriveEntry{m_files->root(), QStringLiteral("folder")}});
}

void TestDupLaunch::cleanup() {
    setDriveListOverride(std::nullopt);
    qputenv("HOME", m_oldHome);
    m_files.reset();
    m_home.reset();
}

void TestDupLaunch::bothButtonsOpenTheWindowInTheirMode() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    QVERIFY(!button(frmMain, "btDuplicate")->isEnabled());
    registerTool(windows);
    frmMain.updateToolButtons();
    QVERIFY(button(frmMain, "btDuplicate")->isEnabled());
    QVERIFY(button(frmMain, "btFileHog")->isEnabled());
    frmMain.show();

    ScriptedDialogs script;
    QList<bool> modes;
    QList<QWidget*> owners;
    QList<bool> dupChoiceShown;
    QList<QPointer<QDialog>> made;
    for (int i = 0; i < 2; ++i) {
        script.dialogHandlers.push_back([&](QDialog& d) {
            auto& w = dynamic_cast<TfrmDup&>(d);
            modes.append(w.duplicateMode());
            owners.append(w.parentWidget());
            dupChoiceShown.append(w.cbDup->isVisible());
            made.append(&w);
            w.btClose->click();
            return w.result();
        });
    }
    button(frmMain, "btFileHog")->click();
    button(frmMain, "btDuplicate")->click();
    QCOMPARE(modes, (QList<bool>{false, true}));
    QCOMPARE(dupChoiceShown, (QList<bool>{false, true}));
    QCOMPARE(owners, (QList<QWidget*>{&frmMain, &frmMain}));
    QCOMPARE(script.dialogTitles, (QStringList{QStringLiteral("Find and delete file hogs"),
                                               QStringLiteral("Find and delete duplicate files")}));
    // Each window is gone once it has closed.
    QVERIFY(made.size() == 2 && !made[0] && !made[1]);
}

void TestDupLaunch::findAndDeleteDuplicatesFromTheLauncher() {
    const QByteArray a = m_files->file("one/photo.jpg", 300000);
    const QByteArray b = m_files->file("two/photo.jpg", 300000);
    const QByteArray c = m_files->file("three/other.jpg", 300000);
    AppWindows windows;
    registerTool(windows);
    TfrmMain frmMain(windows);
    frmMain.show();

    ScriptedDialogs script;
    QString status;
    script.dialogHandlers.push_back([&](QDialog& d) {
        auto& w = dynamic_cast<TfrmDup&>(d);
        w.pckDrive->setTickedRoots({m_files->root()});
        if (!scanAndWait(w))
            return int(QDialog::Rejected);
        status = w.pnlSel->text();
        w.grid->setCurrentGridRow(2);
        w.btMark->click();
        script.answers = {Answer::Yes};
        w.btDelete->click();
        return w.result();
    });
    script.dialogHandlers.push_back([](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
        QTest::mouseClick(confirm.btDelete, Qt::LeftButton);
        return confirm.result();
    });
    button(frmMain, "btDuplicate")->click();
    QCOMPARE(status, QStringLiteral("2 duplicates found"));
    QCOMPARE(script.dialogTitles,
             (QStringList{QStringLiteral("Find and delete duplicate files"),
                          QStringLiteral("Delete/rename the following files:")}));
    QVERIFY(exists(a));
    QVERIFY(!exists(b));
    QVERIFY(exists(c));
    QCOMPARE(readSavings().deletedCount, 1);
    QCOMPARE(readSavings().deletedBytes, 300000);
}

void TestDupLaunch::pairsReachTheLongLivedCompareWindow() {
    m_files->file("x/pair.txt", 10);
    m_files->file("y/pair.txt", 10);
    AppWindows windows;
    registerTool(windows);
    TfrmMain frmMain(windows);
    windows.setLongLivedFactory(LongLivedWindow::PairComparison, [](QWidget*, const AppWindows&) {
        return std::make_unique<FakeCompareWindow>();
    });
    windows.createLongLivedWindows(&frmMain);
    auto* compare =
        dynamic_cast<FakeCompareWindow*>(windows.longLived(LongLivedWindow::PairComparison));
    QVERIFY(compare);
    frmMain.show();

    ScriptedDialogs script;
    QWidget* source = nullptr;
    script.dialogHandlers.push_back([&](QDialog& d) {
        auto& w = dynamic_cast<TfrmDup&>(d);
        source = &w;
        w.pckDrive->setTickedRoots({m_files->root()});
        w.num1->setValue(0);
        if (!scanAndWait(w) || !w.btCompare->isVisible())
            return int(QDialog::Rejected);
        w.btCompare->click();
        w.btClose->click();
        return w.result();
    });
    button(frmMain, "btDuplicate")->click();
    QCOMPARE(compare->shownFor, QList<QWidget*>{source});
    QCOMPARE(compare->closing, 1);
}

VANTREL_QTEST_MAIN(TestDupLaunch)
#include "tst_dup_launch.moc"
