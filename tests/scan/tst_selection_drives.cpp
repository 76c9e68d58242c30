// The drive check list, the wildcard drop-down and the wildcard dialog.
#include "scan/Extensions.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TfrmWildCard.h"
#include "scan/ui/WildcardCombo.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <unistd.h>
#include <memory>

using namespace vantrel;

class TestSelectionDrives : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempTree> m_tree;
    QByteArray m_cwd;
    QByteArray m_rootA, m_rootB;

    IniFile ini() const { return IniFile(QFile::decodeName(m_tree->path("vantrel.ini"))); }

    std::unique_ptr<DriveCheckList> makeList() {
        auto list = std::make_unique<DriveCheckList>();
        list->setSettingsFile(ini());
        return list;
    }

private Q_SLOTS:
    void init() {
        char buffer[4096];
        QVERIFY(::getcwd(buffer, sizeof buffer) != nullptr);
        m_cwd = buffer;
        m_tree = std::make_unique<test::TempTree>();
        m_rootA = m_tree->mkdir("diskA");
        m_rootB = m_tree->mkdir("diskB");
        m_tree->mkdir("diskB/work/deep");
        setDriveListOverride(QList<DriveEntry>{{"/", "ext4"}, {m_rootA, "ext4"}, {m_rootB, "xfs"}});
        QCOMPARE(::chdir(m_tree->path("diskB/work/deep").constData()), 0);
    }

    void cleanup() {
        QCOMPARE(::chdir(m_cwd.constData()), 0);
        setDriveListOverride(std::nullopt);
        m_tree.reset();
    }

    void fillTicksOnlyTheDriveHoldingTheCurrentFolder() {
        auto list = makeList();
        QSignalSpy spy(list.get(), &DriveCheckList::tickedChanged);
        list->fillDriveList();
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(2)->text(), QFile::decodeName(m_rootB) + "  [xfs]");
        QCOMPARE(list->item(2)->data(Qt::UserRole).toByteArray(), m_rootB);
        QVERIFY(!list->isTicked(0));
        QVERIFY(!list->isTicked(1));
        QVERIFY(list->isTicked(2));
        QCOMPARE(list->tickedDrives(), (QList<DriveEntry>{{m_rootB, "xfs"}}));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toBool(), true);
    }

    void noDriveHoldsTheCurrentFolder() {
        setDriveListOverride(QList<DriveEntry>{{m_rootA, "ext4"}});
        auto list = makeList();
        QSignalSpy spy(list.get(), &DriveCheckList::tickedChanged);
        list->fillDriveList();
        QCOMPARE(list->tickedCount(), 0);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toBool(), false);
    }

    void ticksDriveTheStartButton() {
        auto list = makeList();
        QPushButton start(QStringLiteral("&Start"));
        connect(list.get(), &DriveCheckList::tickedChanged, &start, &QWidget::setEnabled);
        list->fillDriveList();
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QVERIFY(start.isEnabled());

        // Untick the only ticked drive with the keyboard.
        list->setFocus();
        list->setCurrentRow(2);
        QTest::keyClick(list.get(), Qt::Key_Space);
        QVERIFY(!list->isTicked(2));
        QVERIFY(!start.isEnabled());

        // Tick another with the mouse on its check box.
        const QRect itemRect = list->visualItemRect(list->item(0));
        const int indicator = list->style()->pixelMetric(QStyle::PM_IndicatorWidth);
        const QPoint onBox(itemRect.left() + 3 + indicator / 2, itemRect.center().y());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onBox);
        QVERIFY(list->isTicked(0));
        QVERIFY(start.isEnabled());
        QCOMPARE(list->tickedDrives(), (QList<DriveEntry>{{"/", "ext4"}}));
    }

    void tickedDrivesComeInListOrder() {
        auto list = makeList();
        list->fillDriveList();
        list->setTicked(0, true);
        list->setTicked(1, true);
        QCOMPARE(list->tickedDrives(),
                 (QList<DriveEntry>{{"/", "ext4"}, {m_rootA, "ext4"}, {m_rootB, "xfs"}}));
    }

    void storedFoldersAreListedAfterTheDrives() {
        const QByteArray fixture = m_tree->mkdir("fixture folder");
        QVERIFY(ini().writeString("Folders", "Number", "2"));
        QVERIFY(ini().writeString("Folders", "File1", QFile::decodeName(fixture)));
        QVERIFY(ini().writeString("Folders", "File2", QFile::decodeName(m_rootA) + "/"));
        auto list = makeList();
        list->fillDriveList();
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(3)->text(), QFile::decodeName(fixture) + "  [folder]");
        QVERIFY(list->isUserAdded(3));
        QVERIFY(!list->isUserAdded(1));
        QVERIFY(!list->isTicked(3));
    }

    void selectAllIsOfferedOnlyWhenAskedFor() {
        auto list = makeList();
        list->fillDriveList();
        QMenu* menu = list->prepareContextMenu(0);
        auto* all = menu->findChild<QAction*>("actSelectAll");
        auto* none = menu->findChild<QAction*>("actDeselectAll");
        QVERIFY(all && none);
        QVERIFY(!all->isVisible());
        list->setSelectAllOffered(true);
        QVERIFY(all->isVisible());

        QSignalSpy spy(list.get(), &DriveCheckList::tickedChanged);
        all->trigger();
        QCOMPARE(list->tickedCount(), 3);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.last().first().toBool(), true);
        none->trigger();
        QCOMPARE(list->tickedCount(), 0);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.last().first().toBool(), false);
    }

    void addAndRemoveAFolderThroughTheMenu() {
        ScriptedDialogs scripted;
        const QByteArray folder = m_tree->mkdir("mine");
        scripted.folders.push_back(QFile::decodeName(folder) + "/");
        auto list = makeList();
        list->fillDriveList();
        QSignalSpy spy(list.get(), &DriveCheckList::tickedChanged);

        QMenu* menu = list->prepareContextMenu(0);
        auto* add = menu->findChild<QAction*>("actAddFolder");
        auto* remove = menu->findChild<QAction*>("actRemoveFolder");
        QVERIFY(add && remove);
        QVERIFY(!remove->isEnabled());
        add->trigger();

        QCOMPARE(list->count(), 4);
        QCOMPARE(list->entryAt(3), (DriveEntry{folder, "folder"}));
        QVERIFY(list->isTicked(3));
        QVERIFY(list->isTicked(2));  // earlier ticks stay
        QVERIFY(!spy.isEmpty());
        QCOMPARE(ini().readString("Folders", "File1"), QFile::decodeName(folder));
        QVERIFY(scripted.messages.isEmpty());

        // A second list (another tool window) sees the folder too.
        auto other = makeList();
        other->fillDriveList();
        QCOMPARE(other->count(), 4);

        // A right click on the added folder offers to remove it.
        list->show();
        const QPoint at = list->visualItemRect(list->item(3)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &click);
        QVERIFY(menu->isVisible());
        QVERIFY(remove->isEnabled());
        remove->trigger();
        menu->hide();
        QCOMPARE(list->count(), 3);
        QVERIFY(list->isTicked(2));
        QCOMPARE(ini().readInteger("Folders", "Number", -1), 0);
    }

    void addingFailsOrIsCancelled() {
        ScriptedDialogs scripted;
        auto list = makeList();
        list->fillDriveList();
        list->addFolderClick();  // no folder chosen
        QCOMPARE(list->count(), 3);

        scripted.folders.push_back(QFile::decodeName(m_tree->file("plain.txt", 4)));
        list->addFolderClick();
        QCOMPARE(list->count(), 3);
        QCOMPARE(scripted.messages.size(), 1);
        QCOMPARE(scripted.messages.first().kind, BoxKind::Error);
        QVERIFY(scripted.messages.first().text.startsWith("Not a folder: "));

        // A drive that is already listed is ticked, not added twice.
        list->setAllTicked(false);
        scripted.folders.push_back(QFile::decodeName(m_rootA));
        list->addFolderClick();
        QCOMPARE(list->count(), 3);
        QVERIFY(list->isTicked(1));
        QVERIFY(!QFile::exists(ini().path()) || ini().readInteger("Folders", "Number", -1) <= 0);
    }

    void removeIsRefusedForSystemDrives() {
        auto list = makeList();
        list->fillDriveList();
        list->removeFolderClick(1);
        list->removeFolderClick(-1);
        list->removeFolderClick(99);
        QCOMPARE(list->count(), 3);
    }

    void wildcardLabel_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("label");
        QTest::newRow("all files") << "*.*"
                                   << "All files";
        QTest::newRow("unknown") << "*.zq"
                                 << "ZQ File";
        QTest::newRow("known") << "*.txt" << fileTypeDescription(".txt");
        QTest::newRow("no extension") << "*."
                                      << "No extension";
        QTest::newRow("star inside") << "a*.zq"
                                     << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void wildcardLabel() {
        QFETCH(QString, typed);
        QFETCH(QString, label);
        QWidget window;
        auto* combo = new WildcardCombo(&window);
        auto* lblWild = new QLabel(&window);
        combo->setDescriptionLabel(lblWild);
        QCOMPARE(lblWild->text(), QStringLiteral("All files"));
        window.show();
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), typed);
        QCOMPARE(combo->wildcard(), typed);
        QCOMPARE(lblWild->text(), label);
    }

    void wildcardComboIsFilledWhenShown() {
        QWidget window;
        auto* combo = new WildcardCombo(&window);
        QSignalSpy spy(combo, &WildcardCombo::wildcardChanged);
        combo->setWildcard("*.txt");
        QCOMPARE(combo->count(), 0);
        window.show();
        QVERIFY(combo->isFilled());
        QCOMPARE(combo->itemText(0), QStringLiteral("*.*"));
        QCOMPARE(combo->count(), registryExtensions(true).size());
        QCOMPARE(combo->wildcard(), QStringLiteral("*.txt"));
        QCOMPARE(spy.size(), 1);

        // Choosing an entry changes text and label.
        auto* lblWild = new QLabel(&window);
        combo->setDescriptionLabel(lblWild);
        combo->setCurrentIndex(0);
        QCOMPARE(combo->wildcard(), QStringLiteral("*.*"));
        QCOMPARE(lblWild->text(), QStringLiteral("All files"));

        WildcardCombo bare;
        bare.setIncludeAll(false);
        bare.fillCatalogue();
        QVERIFY(bare.findText("*.*") < 0);
        QCOMPARE(bare.wildcard(), QStringLiteral("*.*"));
    }

    void wildcardDialogLabels() {
        TfrmWildCard dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Wildcard pattern"));
        dlg.setWildcard("*.*");
        dlg.show();
        QVERIFY(dlg.cbWildCard->isFilled());
        QCOMPARE(dlg.lblWild->text(), QStringLiteral("All files"));
        QCOMPARE(dlg.lblType->text(), QString());
        dlg.cbWildCard->lineEdit()->clear();
        QTest::keyClicks(dlg.cbWildCard->lineEdit(), "*.zq");
        QCOMPARE(dlg.lblWild->text(), QString());
        QCOMPARE(dlg.lblType->text(), QStringLiteral("ZQ File"));
        QVERIFY(dlg.btOK->isDefault());
    }

    void wildcardDialogOkAndCancel() {
        ScriptedDialogs scripted;
        TfrmWildCard dlg;
        dlg.setWildcard("*.log");
        scripted.dialogHandlers.push_back([](QDialog& d) {
            auto& w = static_cast<TfrmWildCard&>(d);
            if (w.wildcard() != QStringLiteral("*.log"))
                return -1;
            w.cbWildCard->setEditText("*.txt");
            QTest::keyClick(&w, Qt::Key_Return);
            return w.result();
        });
        QCOMPARE(dialogs().exec(dlg), int(QDialog::Accepted));
        QCOMPARE(dlg.wildcard(), QStringLiteral("*.txt"));
        QCOMPARE(scripted.dialogTitles, QStringList{"Wildcard pattern"});

        scripted.dialogHandlers.push_back([](QDialog& d) {
            static_cast<TfrmWildCard&>(d).btCancel->click();
            return d.result();
        });
        QCOMPARE(dialogs().exec(dlg), int(QDialog::Rejected));
    }

    void render() {
        ScriptedDialogs scripted;
        auto list = makeList();
        list->setSelectAllOffered(true);
        list->fillDriveList();
        list->resize(360, 120);
        list->show();
        QVERIFY(list->grab().save(QDir::temp().filePath("selection-drivelist.png")));
        TfrmWildCard dlg;
        dlg.setWildcard("*.txt");
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(dlg.grab().save(QDir::temp().filePath("selection-wildcard.png")));
    }
};

VANTREL_QTEST_MAIN(TestSelectionDrives)
#include "tst_selection_drives.moc"
