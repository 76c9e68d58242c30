// "&Browse" in the duplicates and file-hogs window: offered after a scan
// with rows when the program can open a browser, and asking it for the
// current row's folder with its file selected and the window's wildcard.

#include "dup/ui/TfrmDup.h"
#include "platform/Drives.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/WildcardCombo.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest/QtTest>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

// The program's services as a tool sees them, recording browse requests.
class FakeServices : public ToolServices {
public:
    bool browsable = true;
    mutable QList<BrowseRequest> requests;
    mutable QList<QWidget*> parents;

    QWidget* longLived(LongLivedWindow) const override { return nullptr; }
    bool canBrowse() const override { return browsable; }
    void browse(QWidget* parent, const BrowseRequest& request) const override {
        parents.append(parent);
        requests.append(request);
    }
    bool showHelp(int, QWidget*) const override { return true; }
};

}  // namespace

class TestDupBrowse : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_files = std::make_unique<test::TempTree>();
        m_home = std::make_unique<test::TempTree>();
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home->root());
        setDriveListOverride(QList<DriveEntry>{{m_files->root(), u"folder"_s}});
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_files->file("x/same.txt", 10);
        m_files->file("y \xE9/same.txt", 10);
    }

    void cleanup() {
        m_dialogs.reset();
        setDriveListOverride(std::nullopt);
        qputenv("HOME", m_oldHome);
        m_files.reset();
        m_home.reset();
    }

    void browseOpensAtTheRowsFile_data() {
        QTest::addColumn<bool>("duplicateMode");
        QTest::newRow("duplicates") << true;
        QTest::newRow("file hogs") << false;
    }
    void browseOpensAtTheRowsFile() {
        QFETCH(bool, duplicateMode);
        FakeServices services;
        TfrmDup w(ToolRequest{nullptr, duplicateMode, &services, std::nullopt});
        prepare(w);
        QVERIFY(!w.btBrowse->isVisible());
        w.cbWildCard->setWildcard(u"*.txt"_s);
        QVERIFY(runScan(w));
        QVERIFY(w.btBrowse->isVisible());
        QCOMPARE(w.btBrowse->toolTip(), u"Browse this file and folder"_s);

        const QByteArray odd = m_files->path("y \xE9/same.txt");
        int row = 1;
        while (row <= w.grid->rowCounter() && w.grid->gridModel()->pathAt(row) != odd)
            ++row;
        QVERIFY(row <= w.grid->rowCounter());
        w.grid->setCurrentGridRow(row);
        w.btBrowse->click();
        QCOMPARE(services.requests.size(), 1);
        QCOMPARE(services.parents, QList<QWidget*>{&w});
        QCOMPARE(services.requests[0].folder, m_files->path("y \xE9"));
        QCOMPARE(services.requests[0].file, QByteArray("same.txt"));
        QCOMPARE(services.requests[0].mask, u"*.txt"_s);
    }

    // Without a browser to open, "&Browse" is never offered.
    void noBrowserNoButton() {
        FakeServices services;
        services.browsable = false;
        TfrmDup offered(ToolRequest{nullptr, true, &services, std::nullopt});
        TfrmDup plain(true, nullptr);
        for (TfrmDup* w : {&offered, &plain}) {
            prepare(*w);
            QVERIFY(runScan(*w));
            QVERIFY(w->grid->rowCounter() > 0 && w->btDetails->isVisible());
            QVERIFY(!w->btBrowse->isVisible());
            w->btBrowse->click();
        }
        QVERIFY(services.requests.isEmpty());
    }

private:
    void prepare(TfrmDup& w) {
        w.pckDrive->setTickedRoots({m_files->root()});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.num1->setValue(0);
    }

    bool runScan(TfrmDup& w) {
        QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
        w.btScan->click();
        return !finished.isEmpty() || (w.scanFrame().isRunning() && finished.wait(60000));
    }

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    QByteArray m_oldHome;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

VANTREL_QTEST_MAIN(TestDupBrowse)
#include "tst_dup_browse.moc"
