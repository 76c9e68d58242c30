// The drive and file-type wizard.
#include "scan/TypeLists.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TfrmStatList.h"
#include "scan/ui/TfrmWhichDrive.h"
#include "scan/ui/TypeListBox.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QtTest>

#include <unistd.h>
#include <memory>

using namespace vantrel;

class TestWizard : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempTree> m_tree;
    QByteArray m_cwd;
    QByteArray m_rootA, m_rootB;

    IniFile ini() const { return IniFile(QFile::decodeName(m_tree->path("vantrel.ini"))); }

    std::unique_ptr<TfrmWhichDrive> openWizard() {
        auto wizard = std::make_unique<TfrmWhichDrive>();
        wizard->setSettingsFile(ini());
        wizard->show();
        return wizard;
    }

    static QStringList patternsOf(const QStringList& lines) {
        QStringList out;
        for (const QString& l : lines)
            out.append(patternOfLine(l));
        return out;
    }

private Q_SLOTS:
    void init() {
        char buffer[4096];
        QVERIFY(::getcwd(buffer, sizeof buffer) != nullptr);
        m_cwd = buffer;
        m_tree = std::make_unique<test::TempTree>();
        m_rootA = m_tree->mkdir("diskA");
        m_rootB = m_tree->mkdir("diskB");
        setDriveListOverride(QList<DriveEntry>{{"/", "ext4"}, {m_rootA, "ext4"}, {m_rootB, "xfs"}});
        QCOMPARE(::chdir(m_rootB.constData()), 0);
        IniFile file = ini();
        QVERIFY(
            WriteStatFilesToDisk({typeLine("*.bmp"), typeLine("*.txt")}, file, kIncludeSection));
    }

    void cleanup() {
        QCOMPARE(::chdir(m_cwd.constData()), 0);
        setDriveListOverride(std::nullopt);
        m_tree.reset();
    }

    void firstPageOffersEveryDriveWithTheCurrentOneTicked() {
        auto wizard = openWizard();
        QCOMPARE(wizard->windowTitle(), QStringLiteral("Which drives and file types?"));
        QCOMPARE(wizard->currentPage(), 0);
        QCOMPARE(wizard->pckDrive->count(), 3);
        QCOMPARE(wizard->pckDrive->tickedDrives(), (QList<DriveEntry>{{m_rootB, "xfs"}}));
        QVERIFY(wizard->btNext1->isEnabled());
        QVERIFY(wizard->btNext1->isDefault());
        QVERIFY(wizard->btNext1->isVisible());
        QVERIFY(!wizard->rbAll->isVisible());
        // The type list starts loaded from the exclude list (its defaults here).
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("0/3"));
    }

    void nextFollowsTheDriveTicks() {
        auto wizard = openWizard();
        wizard->pckDrive->setTicked(2, false);
        QVERIFY(!wizard->btNext1->isEnabled());
        wizard->pckDrive->setTicked(0, true);
        QVERIFY(wizard->btNext1->isEnabled());

        QMenu* menu = wizard->pckDrive->prepareContextMenu(0);
        auto* none = menu->findChild<QAction*>("actDeselectAll");
        auto* all = menu->findChild<QAction*>("actSelectAll");
        QVERIFY(none && all && none->isVisible());
        none->trigger();
        QVERIFY(!wizard->btNext1->isEnabled());
        all->trigger();
        QVERIFY(wizard->btNext1->isEnabled());
        QCOMPARE(wizard->pckDrive->tickedCount(), 3);
    }

    void noCurrentDriveMeansNextWaitsForATick() {
        setDriveListOverride(QList<DriveEntry>{{m_rootA, "ext4"}});
        auto wizard = openWizard();
        QCOMPARE(wizard->pckDrive->tickedCount(), 0);
        QVERIFY(!wizard->btNext1->isEnabled());
        wizard->pckDrive->setTicked(0, true);
        QVERIFY(wizard->btNext1->isEnabled());
    }

    void allFilesEndsTheWizardAtOnce() {
        ScriptedDialogs scripted;
        TfrmWhichDrive wizard;
        wizard.setSettingsFile(ini());
        bool sawTypePage = false;
        scripted.dialogHandlers.push_back([&sawTypePage](QDialog& d) {
            auto& w = static_cast<TfrmWhichDrive&>(d);
            w.pckDrive->setTicked(1, true);
            QTest::keyClick(&w, Qt::Key_Return);  // "&Next >>" is the default button
            if (w.currentPage() != 1 || !w.rbAll->isChecked())
                return -1;
            w.activateWindow();
            if (!QTest::qWaitForWindowActive(&w))
                return -2;
            // Alt+N reaches the visible page's "&Next >>"; a mnemonic clicks
            // its button after a short animation.
            QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
            if (!QTest::qWaitFor([&w] { return !w.isVisible() || w.currentPage() == 2; }))
                return -3;
            sawTypePage = w.currentPage() == 2;
            return w.result();
        });
        QCOMPARE(dialogs().exec(wizard), int(QDialog::Accepted));
        QVERIFY(!sawTypePage);
        const DriveTypeChoice choice = wizard.choice();
        QVERIFY(choice.allFiles);
        QVERIFY(!choice.includeSelected);
        QVERIFY(!choice.excludeSelected);
        QVERIFY(choice.types.isEmpty());
        QCOMPARE(choice.drives, (QList<DriveEntry>{{m_rootA, "ext4"}, {m_rootB, "xfs"}}));
    }

    void cancelOnTheFirstPage() {
        ScriptedDialogs scripted;
        TfrmWhichDrive wizard;
        wizard.setSettingsFile(ini());
        scripted.dialogHandlers.push_back([](QDialog& d) {
            static_cast<TfrmWhichDrive&>(d).btCancel->click();
            return d.result();
        });
        QCOMPARE(dialogs().exec(wizard), int(QDialog::Rejected));
    }

    void typePage_data() {
        QTest::addColumn<bool>("include");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("patterns");
        QTest::newRow("include") << true << "Selected file types only"
                                 << QStringList{"*.bmp", "*.txt"};
        QTest::newRow("exclude") << false << "All file types except ..."
                                 << QStringList{"*.doc", "*.exe", "*.dll"};
    }

    void typePage() {
        QFETCH(bool, include);
        QFETCH(QString, title);
        QFETCH(QStringList, patterns);
        auto wizard = openWizard();
        wizard->btNext1->click();
        QCOMPARE(wizard->currentPage(), 1);
        (include ? wizard->rbInclude : wizard->rbExclude)->setChecked(true);
        wizard->btNext2->click();
        QCOMPARE(wizard->currentPage(), 2);
        QCOMPARE(wizard->lblSelect->text(), title);
        QCOMPARE(patternsOf(wizard->PickList1->lines()), patterns);
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("0/%1").arg(patterns.size()));
        QVERIFY(!wizard->btOK->isEnabled());

        wizard->PickList1->setTicked(1, true);
        QVERIFY(wizard->btOK->isEnabled());
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("1/%1").arg(patterns.size()));
        wizard->PickList1->setTicked(0, true);
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("2/%1").arg(patterns.size()));
        wizard->PickList1->setTicked(0, false);
        wizard->PickList1->setTicked(1, false);
        QVERIFY(!wizard->btOK->isEnabled());
        wizard->PickList1->setTicked(1, true);

        wizard->btOK->click();
        QCOMPARE(wizard->result(), int(QDialog::Accepted));
        const DriveTypeChoice choice = wizard->choice();
        QVERIFY(!choice.allFiles);
        QCOMPARE(choice.includeSelected, include);
        QCOMPARE(choice.excludeSelected, !include);
        QCOMPARE(patternsOf(choice.types), QStringList{patterns[1]});
        QCOMPARE(choice.types.first(), typeLine(patterns[1]));
        QCOMPARE(choice.drives, (QList<DriveEntry>{{m_rootB, "xfs"}}));
    }

    void typeListMenuTicksEverything() {
        auto wizard = openWizard();
        wizard->btNext1->click();
        wizard->rbInclude->setChecked(true);
        wizard->btNext2->click();
        auto* all = wizard->PickList1->contextMenu()->findChild<QAction*>("actSelectAll");
        auto* none = wizard->PickList1->contextMenu()->findChild<QAction*>("actDeselectAll");
        QVERIFY(all && none);
        all->trigger();
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("2/2"));
        QVERIFY(wizard->btOK->isEnabled());
        none->trigger();
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("0/2"));
        QVERIFY(!wizard->btOK->isEnabled());
    }

    void previousGoesBackAndNextReloads() {
        auto wizard = openWizard();
        wizard->btNext1->click();
        wizard->btPrev2->click();
        QCOMPARE(wizard->currentPage(), 0);
        wizard->btNext1->click();
        wizard->rbExclude->setChecked(true);
        wizard->btNext2->click();
        wizard->PickList1->setTicked(0, true);
        QVERIFY(wizard->btOK->isEnabled());
        wizard->btPrev3->click();
        QCOMPARE(wizard->currentPage(), 1);
        wizard->rbInclude->setChecked(true);
        wizard->btNext2->click();
        QCOMPARE(wizard->currentPage(), 2);
        QCOMPARE(wizard->PickList1->tickedCount(), 0);
        QVERIFY(!wizard->btOK->isEnabled());
        QCOMPARE(patternsOf(wizard->PickList1->lines()), (QStringList{"*.bmp", "*.txt"}));
    }

    void addDeleteEditsTheChosenListAndReloads() {
        ScriptedDialogs scripted;
        scripted.answers.push_back(Answer::Yes);
        QString editedSection;
        scripted.dialogHandlers.push_back([&editedSection](QDialog& d) {
            auto& editor = static_cast<TfrmStatList&>(d);
            editedSection = editor.section();
            editor.btClear->click();
            editor.btClose->click();
            return editor.result();
        });
        auto wizard = openWizard();
        wizard->btNext1->click();
        wizard->rbInclude->setChecked(true);
        wizard->btNext2->click();
        wizard->PickList1->setTicked(0, true);
        QVERIFY(wizard->btOK->isEnabled());
        wizard->btAddDelete->click();
        QCOMPARE(scripted.dialogTitles, QStringList{"File types"});
        QCOMPARE(editedSection, kIncludeSection);
        QCOMPARE(wizard->PickList1->count(), 0);
        QCOMPARE(wizard->lblOf->text(), QStringLiteral("0/0"));
        QVERIFY(!wizard->btOK->isEnabled());
        QCOMPARE(ini().readInteger(kIncludeSection, "Number", -1), 0);
        QCOMPARE(ini().readInteger(kExcludeSection, "Number", -1), -1);
    }

    void render() {
        auto wizard = openWizard();
        QVERIFY(QTest::qWaitForWindowExposed(wizard.get()));
        QVERIFY(wizard->grab().save(QDir::temp().filePath("selection-wizard1.png")));
        wizard->btNext1->click();
        QVERIFY(wizard->grab().save(QDir::temp().filePath("selection-wizard2.png")));
        wizard->rbExclude->setChecked(true);
        wizard->btNext2->click();
        wizard->PickList1->setTicked(1, true);
        QVERIFY(wizard->grab().save(QDir::temp().filePath("selection-wizard3.png")));
    }
};

VANTREL_QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
