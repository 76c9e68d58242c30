// The drive and file-type wizard.
#include "scan/DriveFixture.h"
#include "scan/TypeLists.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TfrmStatList.h"
#include "scan/ui/TfrmWhichDrive.h"
#include "scan/ui/TypeListBox.h"
#include "text/ui/Dialogs.h"

#include <QtTest>
#include <QtWidgets>

using namespace vantrel;

class TestWizard : public QObject, test::DriveFixture {
    Q_OBJECT

    std::unique_ptr<TfrmWhichDrive> openWizard() {
        auto wizard = std::make_unique<TfrmWhichDrive>();
        wizard->setSettingsFile(ini());
        wizard->show();
        return wizard;
    }

private Q_SLOTS:
    void init() {
        setUpDrives("diskB");
        IniFile file = ini();
        QVERIFY(
            WriteStatFilesToDisk({typeLine("*.bmp"), typeLine("*.txt")}, file, kIncludeSection));
    }
    void cleanup() { tearDownDrives(); }

    void everyDriveIsOfferedAndNextFollowsTheTicks() {
        auto wizard = openWizard();
        QCOMPARE(wizard->pckDrive->count(), 3);
        QCOMPARE(wizard->pckDrive->tickedDrives(), (QList<DriveEntry>{{m_rootB, "xfs"}}));
        QVERIFY(wizard->btNext1->isEnabled() && wizard->btNext1->isDefault());
        wizard->pckDrive->setTicked(2, false);
        QVERIFY(!wizard->btNext1->isEnabled());
        QMenu* menu = wizard->pckDrive->prepareContextMenu(0);
        auto* all = menu->findChild<QAction*>("actSelectAll");
        QVERIFY(all && all->isVisible());
        all->trigger();
        QVERIFY(wizard->btNext1->isEnabled());
        QCOMPARE(wizard->pckDrive->tickedCount(), 3);

        // No drive holds the current folder: nothing ticked, Next waits.
        setDriveListOverride(QList<DriveEntry>{{m_rootA, "ext4"}});
        auto other = openWizard();
        QCOMPARE(other->pckDrive->tickedCount(), 0);
        QVERIFY(!other->btNext1->isEnabled());
    }

    void allFilesEndsTheWizardAtOnce() {
        auto wizard = openWizard();
        wizard->pckDrive->setTicked(1, true);
        QTest::keyClick(wizard.get(), Qt::Key_Return);  // "&Next >>" is the default button
        QCOMPARE(wizard->currentPage(), 1);
        QVERIFY(wizard->rbAll->isChecked());
        wizard->btNext2->click();
        QCOMPARE(wizard->result(), int(QDialog::Accepted));
        QVERIFY(!wizard->isVisible());
        const DriveTypeChoice choice = wizard->choice();
        QVERIFY(choice.allFiles && !choice.includeSelected && !choice.excludeSelected &&
                choice.types.isEmpty());
        QCOMPARE(choice.drives, (QList<DriveEntry>{{m_rootA, "ext4"}, {m_rootB, "xfs"}}));
    }

    void typePage_data() {
        QTest::addColumn<bool>("include");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("include") << true << "Selected file types only"
                                 << QStringList{typeLine("*.bmp"), typeLine("*.txt")};
        QTest::newRow("exclude") << false << "All file types except ..."
                                 << QStringList{typeLine("*.doc"), typeLine("*.exe"),
                                                typeLine("*.dll")};
    }

    // OK follows the type ticks; going back and on again reloads the list.
    void typePage() {
        QFETCH(bool, include);
        QFETCH(QString, title);
        QFETCH(QStringList, lines);
        auto wizard = openWizard();
        wizard->btNext1->click();
        (include ? wizard->rbExclude : wizard->rbInclude)->setChecked(true);
        wizard->btNext2->click();
        wizard->PickList1->setTicked(0, true);
        wizard->btPrev3->click();
        QCOMPARE(wizard->currentPage(), 1);
        (include ? wizard->rbInclude : wizard->rbExclude)->setChecked(true);
        wizard->btNext2->click();
        QCOMPARE(wizard->currentPage(), 2);
        QCOMPARE(wizard->lblSelect->text(), title);
        QCOMPARE(wizard->PickList1->lines(), lines);
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("0/%1").arg(lines.size()));
        QVERIFY(!wizard->btOK->isEnabled());
        wizard->PickList1->setTicked(1, true);
        QVERIFY(wizard->btOK->isEnabled());
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("1/%1").arg(lines.size()));

        wizard->btOK->click();
        QCOMPARE(wizard->result(), int(QDialog::Accepted));
        const DriveTypeChoice choice = wizard->choice();
        QVERIFY(!choice.allFiles);
        QCOMPARE(choice.includeSelected, include);
        QCOMPARE(choice.excludeSelected, !include);
        QCOMPARE(choice.types, QStringList{lines[1]});
        QCOMPARE(choice.drives, (QList<DriveEntry>{{m_rootB, "xfs"}}));
    }

    void addDeleteEditsTheChosenListAndReloads() {
        ScriptedDialogs scripted;
        scripted.answers.push_back(Answer::Yes);
        scripted.dialogHandlers.push_back([](QDialog& d) {
            auto& editor = static_cast<TfrmStatList&>(d);
            if (editor.section() != kIncludeSection)
                return -1;
            editor.btClear->click();
            editor.btClose->click();
            return editor.result();
        });
        auto wizard = openWizard();
        wizard->btNext1->click();
        wizard->rbInclude->setChecked(true);
        wizard->btNext2->click();
        wizard->PickList1->setTicked(0, true);
        wizard->btAddDelete->click();
        QCOMPARE(scripted.dialogTitles, QStringList{"File types"});
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("0/0"));
        QVERIFY(!wizard->btOK->isEnabled());
        QCOMPARE(ini().readInteger(kIncludeSection, "Number", -1), 0);
        QCOMPARE(ini().readInteger(kExcludeSection, "Number", -1), -1);
    }
};

VANTREL_QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
