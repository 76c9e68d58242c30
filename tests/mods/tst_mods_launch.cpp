// The files-by-date window as the launcher opens it: "Files &accessed" works
// once the tool is registered, the window belongs to the launcher, and its
// Browse reaches the program's browser.

#include "app/ui/AppWindows.h"
#include "app/ui/TfrmMain.h"
#include "mods/ui/TfrmMods.h"
#include "platform/Drives.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimeZone>
#include <QtTest/QtTest>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

class TestModsLaunch : public QObject {
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

    void filesAccessedOpensTheWindowAndItsBrowser() {
        m_files->file("docs/a.txt", 5);
        m_files->setTimes("docs/a.txt", QDateTime(QDate(2025, 5, 10), QTime(12, 0), Qt::UTC));
        AppWindows windows;
        TfrmMain frmMain(windows);
        frmMain.updateToolButtons();
        auto* btFiles = frmMain.findChild<QPushButton*>(u"btFiles"_s);
        QVERIFY(btFiles);
        QVERIFY(!btFiles->isEnabled());

        windows.setToolFactory(ToolWindow::FilesByDate,
                               [](const ToolRequest& r) { return std::make_unique<TfrmMods>(r); });
        QList<ToolRequest> browsed;
        windows.setToolFactory(ToolWindow::Browse, [&](const ToolRequest& r) {
            browsed.append(r);
            return std::make_unique<QDialog>(r.owner);
        });
        frmMain.updateToolButtons();
        QVERIFY(btFiles->isEnabled());
        QCOMPARE(btFiles->text(), u"Files &accessed"_s);
        frmMain.show();

        ScriptedDialogs script;
        QPointer<QDialog> made;
        QWidget* owner = nullptr;
        bool browseShown = false;
        script.dialogHandlers.push_back([&](QDialog& d) {
            auto& w = dynamic_cast<TfrmMods&>(d);
            made = &w;
            owner = w.parentWidget();
            w.pckDrive->setTickedRoots({m_files->root()});
            w.rbModified->click();
            w.dtStart->setText(u"5/10/2025"_s);
            w.dtEnd->setText(u"5/10/2025"_s);
            QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
            w.btOK->click();
            if (finished.isEmpty() && !finished.wait(60000))
                return int(QDialog::Rejected);
            browseShown = w.btBrowse->isVisible();
            w.btBrowse->click();
            w.btClose->click();
            return w.result();
        });
        script.dialogHandlers.push_back([](QDialog&) { return int(QDialog::Rejected); });
        btFiles->click();
        QCOMPARE(script.dialogTitles.value(0), u"Files in a range of dates"_s);
        QCOMPARE(owner, &frmMain);
        QVERIFY(made.isNull());  // destroyed once closed
        QVERIFY(browseShown);
        QCOMPARE(browsed.size(), 1);
        QVERIFY(browsed[0].browseAt);
        QCOMPARE(browsed[0].browseAt->folder, m_files->path("docs"));
        QCOMPARE(browsed[0].browseAt->file, QByteArray("a.txt"));
        QCOMPARE(browsed[0].browseAt->mask, u"*.*"_s);
    }

private:
    std::unique_ptr<test::TempTree> m_files;
};

VANTREL_QTEST_MAIN(TestModsLaunch)
#include "tst_mods_launch.moc"
