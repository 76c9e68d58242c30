// The statistics window as the launcher shows it: made at start-up as a
// long-lived window, "&Statistics" enabled, shown without blocking, and the
// same window with the same figures after it was closed.
#include "StatsWindowFixture.h"

#include "app/ui/AppWindows.h"
#include "app/ui/TfrmMain.h"

#include <QPushButton>

using namespace vantrel;
using namespace Qt::StringLiterals;

class TestStatisticsLaunch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theLauncherShowsTheOneWindowAgain() {
        test::StatsWindowFixture f;
        f.files.file("a.txt", 1234);
        setDriveListOverride(QList<DriveEntry>{{f.files.root(), u"folder"_s}});
        setVolumeQuery([](const QByteArray&) -> std::optional<VolumeSpace> {
            return test::volumeOf(qint64(1) << 30, qint64(1) << 29, 1);
        });

        AppWindows windows;
        windows.setLongLivedFactory(LongLivedWindow::Statistics,
                                    [](QWidget* launcher, const AppWindows&) {
                                        return std::make_unique<TfrmStatistics>(launcher);
                                    });
        TfrmMain frmMain(windows);
        windows.createLongLivedWindows(&frmMain);
        frmMain.show();
        auto* statistics =
            dynamic_cast<TfrmStatistics*>(windows.longLived(LongLivedWindow::Statistics));
        QVERIFY(statistics);
        QVERIFY(!statistics->isVisible());
        statistics->setSettingsFile(f.settings());
        auto* btStatistic = frmMain.findChild<QPushButton*>(u"btStatistic"_s);
        QVERIFY(btStatistic && btStatistic->isEnabled());

        btStatistic->click();
        QVERIFY(statistics->isVisible());
        QVERIFY(!statistics->isModal());
        QCOMPARE(statistics->parentWidget(), &frmMain);

        f.answerWizard({{f.files.root()}});
        QSignalSpy ended(statistics, &TfrmStatistics::runEnded);
        statistics->btOK->click();
        QVERIFY(ended.wait(60000));
        QCOMPARE(statistics->totals().totalBytes(), 1234);

        statistics->btCancel->click();
        QVERIFY(!statistics->isVisible());
        btStatistic->click();
        QCOMPARE(windows.longLived(LongLivedWindow::Statistics), statistics);
        QVERIFY(statistics->isVisible());
        QCOMPARE(statistics->totals().totalBytes(), 1234);
        QVERIFY(statistics->windowTitle().startsWith(u"Statistics completed for drives "_s));
    }
};

VANTREL_QTEST_MAIN(TestStatisticsLaunch)
#include "tst_statistics_launch.moc"
