#pragma once

// What the statistics window tests share: a window over fixture roots, the
// wizard answered by a script, a stand-in for the file systems' space, and
// waiting for a run to end.

#include "platform/Drives.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TfrmWhichDrive.h"
#include "scan/ui/TypeListBox.h"
#include "stats/VolumeSpace.h"
#include "stats/ui/TfrmStatistics.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <memory>

namespace vantrel::test {

// How the wizard is to be answered.
struct WizardAnswer {
    QList<QByteArray> roots;  // the roots to tick
    TypeSelection::Mode mode = TypeSelection::Mode::AllFiles;
    QStringList typePatterns = {};  // to tick on the type page ("*.doc"), include and exclude only
};

class StatsWindowFixture {
public:
    StatsWindowFixture() {
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", home.root());
        dialogs = std::make_unique<ScriptedDialogs>();
    }
    ~StatsWindowFixture() {
        window.reset();
        dialogs.reset();
        setDriveListOverride(std::nullopt);
        setVolumeQuery(nullptr);
        qputenv("HOME", m_oldHome);
    }
    StatsWindowFixture(const StatsWindowFixture&) = delete;
    StatsWindowFixture& operator=(const StatsWindowFixture&) = delete;

    // The settings file of this test's home.
    IniFile settings() const { return IniFile(QString::fromUtf8(home.path("vantrel.ini"))); }

    // Offers exactly these roots (as folders) and opens the window.
    TfrmStatistics& open(const QList<QByteArray>& roots) {
        QList<DriveEntry> drives;
        for (const QByteArray& r : roots)
            drives.append(DriveEntry{r, QStringLiteral("folder")});
        setDriveListOverride(drives);
        window = std::make_unique<TfrmStatistics>();
        window->setSettingsFile(settings());
        window->setProbeTimeout(std::chrono::milliseconds(300));
        window->show();
        return *window;
    }

    // Answers the next wizard.
    void answerWizard(const WizardAnswer& answer) {
        dialogs->dialogHandlers.push_back([answer](QDialog& d) {
            auto& w = dynamic_cast<TfrmWhichDrive&>(d);
            w.pckDrive->setTickedRoots(answer.roots);
            w.btNext1->click();
            if (answer.mode == TypeSelection::Mode::AllFiles) {
                w.rbAll->setChecked(true);
                w.btNext2->click();
                return w.result();
            }
            (answer.mode == TypeSelection::Mode::Include ? w.rbInclude : w.rbExclude)
                ->setChecked(true);
            w.btNext2->click();
            for (int row = 0; row < w.PickList1->count(); ++row) {
                const QString pattern = w.PickList1->lines().value(row).section(u'\t', 0, 0);
                w.PickList1->setTicked(row, answer.typePatterns.contains(pattern));
            }
            w.btOK->click();
            return w.result();
        });
    }

    // Clicks "&Collect statistics" with the wizard answered, and waits for
    // the run to end. False when it did not end in time.
    bool collect(const WizardAnswer& answer) {
        answerWizard(answer);
        QSignalSpy ended(window.get(), &TfrmStatistics::runEnded);
        window->btOK->click();
        return !ended.isEmpty() || ended.wait(60000);
    }
    bool collect(const QList<QByteArray>& roots) { return collect(WizardAnswer{roots}); }

    TempTree files;
    TempTree home;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfrmStatistics> window;

private:
    QByteArray m_oldHome;
};

// A file system of the given size for a stand-in volume query.
inline VolumeSpace volumeOf(qint64 capacityBytes, qint64 freeBytes, quint64 device,
                            qint64 blockSize = 4096) {
    VolumeSpace v;
    v.blockSize = blockSize;
    v.totalBlocks = capacityBytes / blockSize;
    v.freeBlocks = freeBytes / blockSize;
    v.availableBlocks = freeBytes / blockSize;
    v.device = device;
    return v;
}

}  // namespace vantrel::test
