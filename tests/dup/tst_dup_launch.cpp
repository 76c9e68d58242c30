// The duplicates window as the launcher opens it: both buttons and the mode
// each gives, and the pair comparison window found among the long-lived
// windows.

#include "app/ui/AppWindows.h"
#include "app/ui/TfrmMain.h"
#include "browse/ui/TfrmBrowse.h"
#include "dup/ui/TfrmDup.h"
#include "platform/Drives.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest/QtTest>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

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
    void init() {
        m_files = std::make_unique<test::TempTree>();
        setDriveListOverride(QList<DriveEntry>{{m_files->root(), u"folder"_s}});
    }

    void cleanup() {
        setDriveListOverride(std::nullopt);
        m_files.reset();
    }

    void bothButtonsOpenTheWindowInTheirMode() {
        AppWindows windows;
        TfrmMain frmMain(windows);
        registerTool(windows);
        frmMain.updateToolButtons();
        frmMain.show();

        ScriptedDialogs script;
        QList<bool> modes;
        QList<QPointer<QDialog>> made;
        QList<QWidget*> owners;
        const auto handler = [&](QDialog& d) {
            auto& w = dynamic_cast<TfrmDup&>(d);
            // The criterion is for duplicates only.
            modes << w.duplicateMode() << w.cbDup->isVisible();
            made.append(&w);
            owners.append(w.parentWidget());
            w.btClose->click();
            return w.result();
        };
        script.dialogHandlers = {handler, handler};
        button(frmMain, "btFileHog")->click();
        button(frmMain, "btDuplicate")->click();
        QCOMPARE(modes, (QList<bool>{false, false, true, true}));
        QCOMPARE(owners, (QList<QWidget*>{&frmMain, &frmMain}));
        QCOMPARE(script.dialogTitles, (QStringList{u"Find and delete file hogs"_s,
                                                   u"Find and delete duplicate files"_s}));
        // Each window is gone once it has closed.
        QVERIFY(made.size() == 2 && !made[0] && !made[1]);
    }

    void pairsReachTheLongLivedCompareWindow() {
        m_files->file("x/pair.txt", 10);
        m_files->file("y/pair.txt", 10);
        AppWindows windows;
        registerTool(windows);
        TfrmMain frmMain(windows);
        windows.setLongLivedFactory(
            LongLivedWindow::PairComparison,
            [](QWidget*, const AppWindows&) { return std::make_unique<FakeCompareWindow>(); });
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

    // "&Browse" opens the program's browser over the duplicates window, at
    // the current row's folder with its file selected.
    void browseOpensTheProgramsBrowser() {
        m_files->file("x/pair.txt", 10);
        m_files->file("y/pair.txt", 10);
        m_files->file("y/other.txt", 10);
        AppWindows windows;
        registerTool(windows);
        windows.setToolFactory(ToolWindow::Browse, [](const ToolRequest& r) {
            return std::make_unique<TfrmBrowse>(r);
        });
        TfrmMain frmMain(windows);
        frmMain.show();

        ScriptedDialogs script;
        QWidget* dupWindow = nullptr;
        QWidget* browserOwner = nullptr;
        QByteArray folder, current;
        script.dialogHandlers.push_back([&](QDialog& d) {
            auto& w = dynamic_cast<TfrmDup&>(d);
            dupWindow = &w;
            w.pckDrive->setTickedRoots({m_files->root()});
            w.num1->setValue(0);
            if (!scanAndWait(w) || !w.btBrowse->isVisible())
                return int(QDialog::Rejected);
            for (int row = 1; row <= w.grid->rowCounter(); ++row) {
                if (w.grid->gridModel()->pathAt(row) == m_files->path("y/pair.txt"))
                    w.grid->setCurrentGridRow(row);
            }
            w.btBrowse->click();
            w.btClose->click();
            return w.result();
        });
        script.dialogHandlers.push_back([&](QDialog& d) {
            auto& browser = dynamic_cast<TfrmBrowse&>(d);
            browserOwner = browser.parentWidget();
            if (!QTest::qWaitFor([&browser] { return !browser.isListing(); }, 20000))
                return int(QDialog::Rejected);
            folder = browser.currentFolder();
            current = browser.grid->currentPath();
            browser.btClose->click();
            return browser.result();
        });
        button(frmMain, "btDuplicate")->click();
        QCOMPARE(script.dialogTitles,
                 (QStringList{u"Find and delete duplicate files"_s, u"Browse through folders"_s}));
        QCOMPARE(browserOwner, dupWindow);
        QCOMPARE(folder, m_files->path("y"));
        QCOMPARE(current, m_files->path("y/pair.txt"));
    }

private:
    void registerTool(AppWindows& windows) {
        windows.setToolFactory(ToolWindow::Duplicates,
                               [](const ToolRequest& r) { return std::make_unique<TfrmDup>(r); });
    }

    std::unique_ptr<test::TempTree> m_files;
};

VANTREL_QTEST_MAIN(TestDupLaunch)
#include "tst_dup_launch.moc"
