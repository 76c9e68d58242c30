// The drive check list, the wildcard drop-down and the wildcard dialog.
#include "scan/DriveFixture.h"
#include "scan/Extensions.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TfrmWildCard.h"
#include "scan/ui/WildcardCombo.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QtTest>
#include <QtWidgets>

using namespace vantrel;
using namespace Qt::StringLiterals;

class TestSelectionDrives : public QObject, test::DriveFixture {
    Q_OBJECT

    std::unique_ptr<DriveCheckList> makeList() {
        auto list = std::make_unique<DriveCheckList>();
        list->setSettingsFile(ini());
        list->fillDriveList();
        return list;
    }

private Q_SLOTS:
    void init() { setUpDrives("diskB/work/deep"); }
    void cleanup() { tearDownDrives(); }

    // Every drive and stored folder is offered, only the current drive is
    // ticked, and the start button follows the ticks.
    void ticksDriveTheStartButton() {
        QVERIFY(ini().writeString("Folders", "Number", "1"));
        QVERIFY(ini().writeString("Folders", "File1", QFile::decodeName(m_tree->path("mine"))));
        m_tree->mkdir("mine");
        auto list = makeList();
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(2)->text(), QFile::decodeName(m_rootB) + "  [xfs]");
        QVERIFY(list->isUserAdded(3) && !list->isUserAdded(2));
        QCOMPARE(list->tickedDrives(), (QList<DriveEntry>{{m_rootB, "xfs"}}));
        QPushButton start(QStringLiteral("&Start"));
        connect(list.get(), &DriveCheckList::tickedChanged, &start, &QWidget::setEnabled);
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));

        list->setFocus();
        list->setCurrentRow(2);
        QTest::keyClick(list.get(), Qt::Key_Space);
        QVERIFY(!start.isEnabled());
        const QRect itemRect = list->visualItemRect(list->item(0));
        const int indicator = list->style()->pixelMetric(QStyle::PM_IndicatorWidth);
        const QPoint onBox(itemRect.left() + 3 + indicator / 2, itemRect.center().y());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onBox);
        QVERIFY(start.isEnabled());
        list->setTicked(3, true);
        QCOMPARE(list->tickedDrives(),
                 (QList<DriveEntry>{{"/", "ext4"}, {m_tree->path("mine"), "folder"}}));
    }

    // At its size hint five entries show whole, none under a scroll bar; an
    // entry longer than the list is shortened (in the middle) to the list's
    // width and tells its whole text in its tool tip.
    void everyEntryShowsAndLongOnesAreShortened() {
        const QByteArray deep = m_tree->mkdir(
            "a folder with a rather long name/and another level "
            "below it/and one more level below that");
        m_tree->mkdir("mine");
        QVERIFY(ini().writeString("Folders", "Number", "2"));
        QVERIFY(ini().writeString("Folders", "File1", QFile::decodeName(deep)));
        QVERIFY(ini().writeString("Folders", "File2", QFile::decodeName(m_tree->path("mine"))));
        auto list = makeList();
        QCOMPARE(list->count(), 5);
        list->resize(list->sizeHint());
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        const QRect view = list->viewport()->rect();
        for (int i = 0; i < list->count(); ++i)
            QVERIFY2(view.contains(list->visualItemRect(list->item(i))),
                     qPrintable(QString::number(i)));
        QListWidgetItem* longOne = list->item(3);
        QCOMPARE(longOne->text(), QFile::decodeName(deep) + "  [folder]");
        QCOMPARE(longOne->toolTip(), longOne->text());
        QVERIFY(list->fontMetrics().horizontalAdvance(longOne->text()) > view.width());
        QCOMPARE(list->textElideMode(), Qt::ElideMiddle);
    }

    void menuAddsAndRemovesFolders() {
        ScriptedDialogs scripted;
        const QByteArray folder = m_tree->mkdir("mine");
        scripted.folders = {QString(), QFile::decodeName(m_tree->file("plain.txt", 4)),
                            QFile::decodeName(m_rootA), QFile::decodeName(folder) + "/"};
        auto list = makeList();
        QMenu* menu = list->prepareContextMenu(0);
        auto* add = menu->findChild<QAction*>("actAddFolder");
        auto* remove = menu->findChild<QAction*>("actRemoveFolder");
        auto* all = menu->findChild<QAction*>("actSelectAll");
        QVERIFY(add && remove && all);
        QVERIFY(!remove->isEnabled() && !all->isVisible());
        list->setSelectAllOffered(true);
        QVERIFY(all->isVisible());

        add->trigger();  // cancelled
        add->trigger();  // not a folder
        QCOMPARE(scripted.messages.size(), 1);
        QCOMPARE(scripted.messages.first().kind, BoxKind::Error);
        QVERIFY(scripted.messages.first().text.startsWith("Not a folder: "));
        add->trigger();  // a listed drive is ticked, not added twice
        QCOMPARE(list->count(), 3);
        QVERIFY(list->isTicked(1));
        add->trigger();
        QCOMPARE(list->count(), 4);
        QVERIFY(list->isTicked(3) && list->isTicked(2));
        QCOMPARE(ini().readString("Folders", "File1"), QFile::decodeName(folder));
        QCOMPARE(makeList()->count(), 4);  // another tool window sees it too

        list->removeFolderClick(1);  // a system drive stays
        QCOMPARE(list->count(), 4);
        list->show();
        const QPoint at = list->visualItemRect(list->item(3)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &click);
        QVERIFY(menu->isVisible() && remove->isEnabled());
        remove->trigger();
        menu->hide();
        QCOMPARE(list->count(), 3);
        QCOMPARE(ini().readInteger("Folders", "Number", -1), 0);
    }

    // "Add folder..." with a name the settings file cannot keep on one line
    // says so; one that ends in a blank is listed and stored as it is.
    void addFolderWithALineBreakOrABlankAtTheEnd() {
        ScriptedDialogs scripted;
        const QByteArray broken = m_tree->mkdir("two\nlines");
        const QByteArray blank = m_tree->mkdir("blank at the end ");
        scripted.folders = {QFile::decodeName(broken), QFile::decodeName(blank)};
        auto list = makeList();
        const int before = list->count();
        list->addFolderClick();
        QCOMPARE(scripted.messageTexts(),
                 QStringList{u"The name of this folder holds a line break, which the settings "
                             u"cannot keep: "_s + QFile::decodeName(broken)});
        QCOMPARE(list->count(), before);
        list->addFolderClick();
        QCOMPARE(scripted.messages.size(), 1);
        QCOMPARE(list->count(), before + 1);
        QCOMPARE(list->entryAt(before).root, blank);
        QCOMPARE(makeList()->entryAt(before).root, blank);
    }

    void wildcardComboLabelsWhatIsTyped() {
        QWidget window;
        auto* combo = new WildcardCombo(&window);
        auto* lblWild = new QLabel(&window);
        combo->setDescriptionLabel(lblWild);
        combo->setWildcard("*.txt");
        QCOMPARE(combo->count(), 0);
        window.show();  // the catalogue is filled when first shown
        QCOMPARE(combo->count(), registryExtensions(true).size());
        QCOMPARE(combo->wildcard(), QStringLiteral("*.txt"));
        const QList<std::pair<QString, QString>> rows = {
            {"*.*", "All files"}, {"*.zq", "ZQ File"}, {"*.", "No extension"}, {"a*.zq", ""}};
        for (const auto& [typed, label] : rows) {
            combo->lineEdit()->clear();
            QTest::keyClicks(combo->lineEdit(), typed);
            QCOMPARE(combo->wildcard(), typed);
            QCOMPARE(lblWild->text(), label);
        }
    }

    void wildcardDialogOkAndCancel() {
        ScriptedDialogs scripted;
        TfrmWildCard dlg;
        dlg.setWildcard("*.log");
        scripted.dialogHandlers.push_back([](QDialog& d) {
            auto& w = static_cast<TfrmWildCard&>(d);
            if (w.wildcard() != QStringLiteral("*.log"))
                return -1;
            w.cbWildCard->lineEdit()->clear();
            QTest::keyClicks(w.cbWildCard->lineEdit(), "*.zq");
            if (w.lblType->text() != QStringLiteral("ZQ File") || !w.lblWild->text().isEmpty())
                return -2;
            QTest::keyClick(&w, Qt::Key_Return);
            return w.result();
        });
        QCOMPARE(dialogs().exec(dlg), int(QDialog::Accepted));
        QCOMPARE(dlg.wildcard(), QStringLiteral("*.zq"));
        QCOMPARE(scripted.dialogTitles, QStringList{"Wildcard pattern"});
        scripted.dialogHandlers.push_back([](QDialog& d) {
            static_cast<TfrmWildCard&>(d).btCancel->click();
            return d.result();
        });
        QCOMPARE(dialogs().exec(dlg), int(QDialog::Rejected));
    }
};

VANTREL_QTEST_MAIN(TestSelectionDrives)
#include "tst_selection_drives.moc"
