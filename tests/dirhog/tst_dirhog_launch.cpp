// The folder-hogs window as the launcher opens it: the "Folder &hogs"
// button works once the tool is registered, and Browse goes through the
// program's services to the browser window, at the row's folder.

#include "app/ui/AppWindows.h"
#include "app/ui/TfrmMain.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "platform/Drives.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <memory>
#include <optional>

using namespace vantrel;
using namespace Qt::StringLiterals;

class TestDirHogLaunch : public QObject {
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

    void theLauncherOpensItAndBrowseReachesTheBrowser() {
        m_files->file("photos/a.jpg", 100);
        AppWindows windows;
        TfrmMain frmMain(windows);
        auto* hogs = frmMain.findChild<QPushButton*>(u"btDirHogs"_s);
        QVERIFY(hogs);
        frmMain.updateToolButtons();
        QVERIFY(!hogs->isEnabled());
        windows.setToolFactory(ToolWindow::FolderHogs, [](const ToolRequest& r) {
            return std::make_unique<TfrmDirHog>(r);
        });
        // A stand-in for the browser, which records where it was opened.
        std::optional<BrowseRequest> browsedAt;
        windows.setToolFactory(ToolWindow::Browse, [&browsedAt](const ToolRequest& r) {
            browsedAt = r.browseAt;
            auto browser = std::make_unique<QDialog>(r.owner);
            browser->setWindowTitle(u"browser"_s);
            return browser;
        });
        frmMain.updateToolButtons();
        QVERIFY(hogs->isEnabled());
        frmMain.show();

        ScriptedDialogs script;
        QPointer<QDialog> made;
        QWidget* owner = nullptr;
        QString status;
        script.dialogHandlers.push_back([&](QDialog& d) {
            auto& w = dynamic_cast<TfrmDirHog&>(d);
            made = &w;
            owner = w.parentWidget();
            QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
            w.pckDrive->setTickedRoots({m_files->root()});
            w.btTop->click();
            if (finished.isEmpty() && !finished.wait(60000))
                return int(QDialog::Rejected);
            status = w.pnlScan->text();
            if (w.btBrowse->isVisible())
                w.btBrowse->click();
            w.btClose->click();
            return w.result();
        });
        script.dialogHandlers.push_back([](QDialog& d) { return d.result(); });  // the browser
        hogs->click();
        QCOMPARE(script.dialogTitles, (QStringList{u"Folder Hogs"_s, u"browser"_s}));
        QCOMPARE(owner, &frmMain);
        QCOMPARE(status, u"Folders : 1"_s);
        QVERIFY(browsedAt.has_value());
        QCOMPARE(browsedAt->folder, m_files->path("photos"));
        QCOMPARE(browsedAt->mask, u"*.*"_s);
        QVERIFY(!made);  // gone once closed
    }

private:
    std::unique_ptr<test::TempTree> m_files;
};

VANTREL_QTEST_MAIN(TestDirHogLaunch)
#include "tst_dirhog_launch.moc"
