// The files-by-date window end to end on real fixture trees: its state when
// shown, searches by each time and range, bad dates at Start and on leaving
// a field, roots that keep no birth times or no access times, the cap on
// rows, and rows deleted, browsed and copied by their exact byte paths.

#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
#include "mods/FieldDate.h"
#include "mods/ModsSearch.h"
#include "mods/RootTimes.h"
#include "mods/ui/TfrmMods.h"
#include "mods/ui/TfrmPickDate.h"
#include "platform/Drives.h"
#include "platform/Trash.h"
#include "results/ListCapacity.h"
#include "results/ResultGridModel.h"
#include "results/Savings.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/WildcardCombo.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QClipboard>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimeZone>
#include <QToolButton>
#include <QtTest/QtTest>

#include <sys/stat.h>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

QDateTime utc(int y, int m, int d, int hh = 12, int mm = 0, int ss = 0) {
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::UTC);
}

// Answers the deletion confirmation with one of its buttons.
std::function<int(QDialog&)> confirmWith(QPushButton* TfrmReallyDelete::*button) {
    return [button](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
        QTest::mouseClick(confirm.*button, Qt::LeftButton);
        return confirm.result();
    };
}

class FakeServices final : public ToolServices {
public:
    QWidget* longLived(LongLivedWindow) const override { return nullptr; }
    bool canBrowse() const override { return true; }
    void browse(QWidget* parent, const BrowseRequest& request) const override {
        parents.append(parent);
        requests.append(request);
    }
    bool showHelp(int, QWidget*) const override { return false; }
    mutable QList<QWidget*> parents;
    mutable QList<BrowseRequest> requests;
};

}  // namespace

class TestMods : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_files = std::make_unique<test::TempTree>();
        m_home = std::make_unique<test::TempTree>();
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home->root());
        setDriveListOverride(QList<DriveEntry>{{m_files->root(), u"folder"_s}});
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }

    void cleanup() {
        m_dialogs.reset();
        setDriveListOverride(std::nullopt);
        qputenv("HOME", m_oldHome);
        m_files.reset();
        m_home.reset();
        TextLocale::set(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void opensWithItsDefaults() {
        auto w = openWindow();
        QCOMPARE(w->windowTitle(), u"Files in a range of dates"_s);
        QVERIFY(w->rbAccessed->isChecked() && w->rbBetween->isChecked());
        QCOMPARE(w->dateField(), DateField::LastAccessed);
        QCOMPARE(w->rangeMode(), DateRangeMode::InBetween);
        const QString today = fieldDateText(QDate::currentDate());
        QVERIFY(today.endsWith(QString::number(QDate::currentDate().year())));
        QCOMPARE(w->dtStart->text(), today);
        QCOMPARE(w->dtEnd->text(), today);
        for (QWidget* b :
             {w->btPrint, w->btClip, w->btBrowse, w->btDetails, w->btMark, w->btDelete, w->btAbort})
            QVERIFY2(!b->isVisible(), qPrintable(b->objectName()));
        QVERIFY(w->btOK->isEnabled() && w->btOK->isDefault() && w->btClose->isEnabled());
        QCOMPARE(w->pnlScan->text(), QString());
        QCOMPARE(w->grid->gridRowCount(), 2);
        QCOMPARE(w->popStartDate->toolTip(), u"Popup Calendar"_s);

        // The single-day modes show the start field alone.
        QVERIFY(w->dtEnd->isVisible() && w->lblAnd->isVisible() && w->popEndDate->isVisible());
        w->rbBefore->click();
        QVERIFY(!w->dtEnd->isVisible() && !w->lblAnd->isVisible() && !w->popEndDate->isVisible());
        QVERIFY(w->dtStart->isVisible() && w->popStartDate->isVisible());
        w->rbAfter->click();
        QVERIFY(!w->dtEnd->isVisible());
        w->rbBetween->click();
        QVERIFY(w->dtEnd->isVisible());

        // The wildcard's type label.
        QCOMPARE(w->lblWild->text(), u"All files"_s);
        w->cbWildCard->setEditText(u"*.txt"_s);
        QCOMPARE(w->lblWild->text(), fileTypeDescription(u".txt"_s));

        // No root ticked: no Start.
        w->pckDrive->setTickedRoots({});
        QVERIFY(!w->btOK->isEnabled());
    }

    void findsByEachTimeAndRange_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("wildcard");
        QTest::addColumn<QList<QByteArray>>("expected");  // in walk order

        const int accessed = int(DateField::LastAccessed);
        const int modified = int(DateField::LastModified);
        const int before = int(DateRangeMode::OnOrBefore);
        const int between = int(DateRangeMode::InBetween);
        const int after = int(DateRangeMode::OnOrAfter);
        QTest::newRow("modified on or before 10 May")
            << modified << before << u"5/10/2025"_s << u"garbage"_s << u"*.*"_s
            << QList<QByteArray>{"a/may01.txt", "a/may10.txt", "b/old.txt"};
        QTest::newRow("modified in May")
            << modified << between << u"5/1/2025"_s << u"5/31/2025"_s << u"*.*"_s
            << QList<QByteArray>{"a/may01.txt", "a/may10.txt", "b/may11.txt"};
        QTest::newRow("modified on or after 11 May, end ignored")
            << modified << after << u"5/11/2025"_s << u"1/1/2000"_s << u"*.*"_s
            << QList<QByteArray>{"b/may11.txt", "future.txt"};
        QTest::newRow("accessed on 10 May")
            << accessed << between << u"5/10/2025"_s << u"5/10/2025"_s << u"*.*"_s
            << QList<QByteArray>{"a/may10.txt"};
        QTest::newRow("accessed before 1980") << accessed << before << u"12/31/1979"_s << QString()
                                              << u"*.*"_s << QList<QByteArray>{"b/old.txt"};
        QTest::newRow("modified after 2107") << modified << after << u"1/1/2108"_s << QString()
                                             << u"*.*"_s << QList<QByteArray>{"future.txt"};
        QTest::newRow("wildcard") << modified << between << u"1/1/1601"_s << u"12/31/9999"_s
                                  << u"may1*"_s << QList<QByteArray>{"a/may10.txt", "b/may11.txt"};
    }

    // Times by calendar day in UTC (the tests' local time); hidden files and
    // hidden folders are never listed; rows stay in walk order.
    void findsByEachTimeAndRange() {
        QFETCH(int, field);
        QFETCH(int, mode);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, wildcard);
        QFETCH(QList<QByteArray>, expected);
        makeDatedTree();
        auto w = openWindow();
        radioOf(*w, field, mode)->click();
        w->dtStart->setText(start);
        w->dtEnd->setText(end);
        w->cbWildCard->setEditText(wildcard);
        QVERIFY(runScan(*w));
        QCOMPARE(m_dialogs->messageTexts(), QStringList());
        QCOMPARE(rowPaths(*w), paths(expected));
        QCOMPARE(w->pnlScan->text(), u"Found : "_s + QString::number(expected.size()));
        for (QPushButton* b : {w->btMark, w->btDelete, w->btPrint, w->btClip, w->btDetails})
            QVERIFY2(b->isVisible(), qPrintable(b->objectName()));
        // No browser here: Browse stays hidden.
        QVERIFY(!w->btBrowse->isVisible());
    }

    void todaysDefaultsSearchInEveryLocale_data() {
        QTest::addColumn<QString>("locale");
        for (const char* name : {"C", "en_US", "en_GB", "de_DE", "fr_FR", "ja_JP", "ar_EG"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    // The fields open with today written in the user's format; Start must
    // read back what the window wrote, whatever the locale (the C locale
    // writes month names, others other digits or scripts).
    void todaysDefaultsSearchInEveryLocale() {
        QFETCH(QString, locale);
        TextLocale::set(locale == u"C"_s ? QLocale::c() : QLocale(locale));
        m_files->file("today.txt", 10);
        auto w = openWindow();
        w->rbModified->click();
        QVERIFY(!w->dtStart->text().isEmpty());
        QVERIFY(runScan(*w));
        QCOMPARE(m_dialogs->messageTexts(), QStringList());
        QCOMPARE(rowPaths(*w), paths({"today.txt"}));
    }

    void nothingFoundSaysSo() {
        makeDatedTree();
        auto w = openWindow();
        w->rbModified->click();
        w->dtStart->setText(u"1/1/2000"_s);
        w->dtEnd->setText(u"1/2/2000"_s);
        QVERIFY(runScan(*w));
        QCOMPARE(shown(), QStringList{u"Information: No files found."_s});
        QCOMPARE(w->pnlScan->text(), u"Found : 0"_s);
        QVERIFY(!w->btMark->isVisible() && !w->btPrint->isVisible());
    }

    // Birth times are what the file system recorded when the fixture was
    // made: today.
    void findsByCreation() {
        if (!rootTimesOf(m_files->root()).birthTimes)
            QSKIP("the test folder's file system records no birth times");
        makeDatedTree();
        auto w = openWindow();
        w->rbCreated->click();
        QVERIFY(runScan(*w));  // in between today and today
        QCOMPARE(rowPaths(*w),
                 paths({"a/may01.txt", "a/may10.txt", "b/may11.txt", "b/old.txt", "future.txt"}));
        w->rbBefore->click();
        w->dtStart->setText(fieldDateText(QDate::currentDate().addDays(-1)));
        QVERIFY(runScan(*w));
        QCOMPARE(w->grid->rowCounter(), 0);
        QCOMPARE(shown(), QStringList{u"Information: No files found."_s});
    }

    // A root whose file system records no birth times is named and left
    // out of a search by creation; with none left there is no search. A
    // root mounted noatime is named before a search by access, which goes on.
    void rootsThatKeepNoTimesAreNamed() {
        makeDatedTree();
        test::TempTree other;
        other.file("o.txt", 3);
        const QList<DriveEntry> drives{{m_files->root(), u"folder"_s}, {other.root(), u"nfs"_s}};
        setDriveListOverride(drives);
        auto w = openWindow();
        w->pckDrive->setTickedRoots({m_files->root(), other.root()});
        w->setRootTimesProbe([&](const QByteArray& root) {
            RootTimes t;
            t.birthTimes = root != other.root();
            t.noAtime = root == other.root();
            return t;
        });
        QSignalSpy started(&w->scanFrame(), &ScanFrame::started);

        w->pckDrive->setTickedRoots({other.root()});
        w->rbCreated->click();
        w->btOK->click();
        QCOMPARE(shown(), QStringList{u"Error: "_s + noBirthTimeMessage(other.root())});
        QCOMPARE(started.count(), 0);

        m_dialogs->messages.clear();
        w->pckDrive->setTickedRoots({m_files->root(), other.root()});
        w->dtStart->setText(u"1/1/1601"_s);
        w->dtEnd->setText(u"12/31/9999"_s);
        // The birth times of the fixture cannot be set; only the roots
        // walked matter here.
        QVERIFY(runScan(*w));
        QCOMPARE(m_dialogs->messageTexts().value(0), noBirthTimeMessage(other.root()));
        for (const QByteArray& path : rowPaths(*w))
            QVERIFY(!path.startsWith(other.root() + '/'));

        m_dialogs->messages.clear();
        w->rbAccessed->click();
        QVERIFY(runScan(*w));
        QCOMPARE(shown().value(0), u"Information: "_s + noAtimeMessage(other.root()));
        QVERIFY(rowPaths(*w).contains(other.path("o.txt")));
        QVERIFY(rowPaths(*w).contains(m_files->path("b/old.txt")));
    }

    void badDatesAreRefusedAtStart_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("endFocused");

        const int between = int(DateRangeMode::InBetween);
        const int before = int(DateRangeMode::OnOrBefore);
        QTest::newRow("31 February") << u"en_GB"_s << between << u"31/02/2025"_s << u"01/03/2025"_s
                                     << u"'31/02/2025' is not a valid date"_s << false;
        QTest::newRow("0/0/0") << u"en_US"_s << between << u"0/0/0"_s << u"5/1/2025"_s
                               << u"'0/0/0' is not a valid date"_s << false;
        QTest::newRow("blank start") << u"en_US"_s << before << u"  "_s << QString()
                                     << u"'  ' is not a valid date"_s << false;
        QTest::newRow("blank end") << u"en_US"_s << between << u"5/1/2025"_s << QString()
                                   << u"'' is not a valid date"_s << true;
        QTest::newRow("before 1601") << u"en_US"_s << between << u"12/31/1600"_s << u"1/1/2000"_s
                                     << u"'12/31/1600' is not a valid date"_s << false;
        QTest::newRow("after 9999") << u"en_US"_s << between << u"1/1/2000"_s << u"1/1/10000"_s
                                    << u"'1/1/10000' is not a valid date"_s << true;
        QTest::newRow("end before start")
            << u"en_US"_s << between << u"5/10/2025"_s << u"5/9/2025"_s
            << u"The ending date must not lie before the start date"_s << true;
    }

    // Start checks every field in use and never searches with a bad one.
    void badDatesAreRefusedAtStart() {
        QFETCH(QString, locale);
        QFETCH(int, mode);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, message);
        QFETCH(bool, endFocused);
        TextLocale::set(QLocale(locale));
        makeDatedTree();
        auto w = openWindow();
        activate(*w);
        radioOf(*w, int(DateField::LastModified), mode)->click();
        w->dtStart->setText(start);
        w->dtEnd->setText(end);
        QSignalSpy started(&w->scanFrame(), &ScanFrame::started);
        w->btOK->click();
        QCOMPARE(shown(), QStringList{u"Error: "_s + message});
        QCOMPARE(started.count(), 0);
        QCOMPARE(w->grid->rowCounter(), 0);
        QLineEdit* field = endFocused ? w->dtEnd : w->dtStart;
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(field->selectedText(), field->text());
    }

    // In a single-day mode the hidden end field is not consulted.
    void theHiddenEndFieldIsNotChecked() {
        makeDatedTree();
        auto w = openWindow();
        w->rbModified->click();
        w->rbAfter->click();
        w->dtStart->setText(u"1/1/2108"_s);
        w->dtEnd->setText(u"0/0/0"_s);
        QVERIFY(runScan(*w));
        QCOMPARE(m_dialogs->messageTexts(), QStringList());
        QCOMPARE(rowPaths(*w), paths({"future.txt"}));
    }

    // Leaving a field for another control checks it; Start and Close do not
    // make it complain (Start checks it itself).
    void leavingAFieldWithABadDateSaysSo() {
        auto w = openWindow();
        activate(*w);
        w->dtStart->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(w->dtStart->hasFocus());
        w->dtStart->setText(u"2/30/2025"_s);
        w->rbModified->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(shown(), QStringList{u"Error: Invalid start date"_s});
        QTRY_VERIFY(w->dtStart->hasFocus());
        QCOMPARE(w->dtStart->selectedText(), u"2/30/2025"_s);

        m_dialogs->messages.clear();
        w->dtStart->setText(u"2/28/2025"_s);
        w->dtEnd->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(w->dtEnd->hasFocus());
        QCoreApplication::processEvents();
        QCOMPARE(shown(), QStringList());
        w->dtEnd->setText(u"13/1/2025"_s);
        w->cbWildCard->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(shown(), QStringList{u"Error: Invalid ending date"_s});
        QTRY_VERIFY(w->dtEnd->hasFocus());

        // Close and Start do not complain: Start checks the fields itself.
        m_dialogs->messages.clear();
        w->btClose->setFocus(Qt::MouseFocusReason);
        w->dtEnd->setFocus(Qt::OtherFocusReason);
        w->btOK->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(shown(), QStringList());
    }

    // The calendar buttons hand the field's day to the picker, write the
    // picked day back, and keep the start on or before the end.
    void calendarButtonsPickDays() {
        auto w = openWindow();
        w->dtStart->setText(u"5/10/2025"_s);
        w->dtEnd->setText(u"5/20/2025"_s);
        QList<QDate> handed;
        QList<bool> popups;
        const auto pick = [&](QDate day, bool ok) {
            return [&, day, ok](QDialog& d) {
                auto& picker = dynamic_cast<TfrmPickDate&>(d);
                handed.append(picker.selectedDate());
                popups.append(picker.windowFlags().testFlag(Qt::Popup));
                picker.Calendar->setSelectedDate(day);
                QTest::mouseClick(ok ? picker.btnOk : picker.btnCancel, Qt::LeftButton);
                return picker.result();
            };
        };
        m_dialogs->dialogHandlers = {pick(QDate(2025, 5, 25), true), pick(QDate(2025, 4, 1), true),
                                     pick(QDate(2025, 1, 1), false)};
        // A start after the end: the end follows.
        w->popStartDate->click();
        QCOMPARE(w->dtStart->text(), u"5/25/2025"_s);
        QCOMPARE(w->dtEnd->text(), u"5/25/2025"_s);
        QCOMPARE(w->dtStart->selectedText(), w->dtStart->text());
        // An end before the start: the start follows.
        w->popEndDate->click();
        QCOMPARE(w->dtEnd->text(), u"4/1/2025"_s);
        QCOMPARE(w->dtStart->text(), u"4/1/2025"_s);
        // Cancel leaves the field alone.
        w->popEndDate->click();
        QCOMPARE(w->dtEnd->text(), u"4/1/2025"_s);
        QCOMPARE(handed, (QList<QDate>{QDate(2025, 5, 10), QDate(2025, 5, 25), QDate(2025, 4, 1)}));
        QCOMPARE(popups, (QList<bool>{true, true, true}));
        QCOMPARE(m_dialogs->dialogTitles,
                 (QStringList{u"Calendar"_s, u"Calendar"_s, u"Calendar"_s}));

        // A field that holds no date: the error, and no picker.
        w->dtStart->setText(u"31/31/2025"_s);
        w->popStartDate->click();
        QCOMPARE(shown(), QStringList{u"Error: '31/31/2025' is not a valid date"_s});
        QCOMPARE(m_dialogs->dialogTitles.size(), 3);
        // An empty field starts at today; a day before 1900 is handed over
        // as it is.
        w->dtStart->clear();
        w->dtEnd->setText(u"7/4/1850"_s);
        m_dialogs->dialogHandlers = {pick(QDate(2025, 3, 3), false), pick(QDate(1776, 7, 4), true)};
        w->popStartDate->click();
        QCOMPARE(handed.last(), QDate::currentDate());
        QCOMPARE(w->dtStart->text(), fieldDateText(QDate::currentDate()));
        w->popEndDate->click();
        QCOMPARE(handed.last(), QDate(1850, 7, 4));
        QCOMPARE(w->dtEnd->text(), u"7/4/1776"_s);
        QCOMPARE(w->dtStart->text(), u"7/4/1776"_s);
    }

    void markAndDeleteByExactPath_data() {
        QTest::addColumn<bool>("recycle");
        QTest::newRow("delete") << false;
        QTest::newRow("recycle") << true;
    }

    // Names that are not UTF-8 or end in a blank are found, marked and
    // deleted by their exact bytes; the window closes and the savings grow
    // by what went.
    void markAndDeleteByExactPath() {
        QFETCH(bool, recycle);
        const QList<QByteArray> names{"d\xe9j\xe0.txt", "trail.txt ", " lead.txt"};
        for (const QByteArray& n : names) {
            m_files->file("x/" + n, 1000);
            m_files->setTimes("x/" + n, utc(2025, 5, 10));
        }
        m_files->file("keep.txt", 10);
        m_files->setTimes("keep.txt", utc(2020, 1, 1));
        auto w = openWindow();
        w->rbModified->click();
        w->dtStart->setText(u"5/10/2025"_s);
        w->dtEnd->setText(u"5/10/2025"_s);
        QVERIFY(runScan(*w));
        QCOMPARE(rowPaths(*w), paths({"x/ lead.txt", "x/d\xe9j\xe0.txt", "x/trail.txt "}));
        QCOMPARE(w->grid->gridModel()->cellText(2, 0), u"d\uFFFDj\uFFFD.txt"_s);

        // A double click on a row, then the Mark button on another; the Enter
        // key in the grid does not search again.
        w->grid->setCurrentGridRow(1);
        w->grid->gridDblClick();
        w->grid->setFocus();
        QTest::keyClick(w->grid, Qt::Key_Return);
        QVERIFY(!w->scanFrame().isRunning());
        w->grid->setCurrentGridRow(2);
        w->btMark->click();
        w->grid->setCurrentGridRow(3);
        w->btMark->click();
        QCOMPARE(w->pnlScan->text(), u"3 files 3,000 bytes"_s);
        QVERIFY(w->btDelete->isEnabled());

        m_dialogs->answers = {Answer::Yes};
        m_dialogs->dialogHandlers.push_back(
            confirmWith(recycle ? &TfrmReallyDelete::btRecycle : &TfrmReallyDelete::btDelete));
        w->btDelete->click();
        QCOMPARE(existing(), paths({"keep.txt"}));
        QCOMPARE(w->result(), int(QDialog::Accepted));
        const qint64 today = dayNumber(QDate::currentDate());
        QCOMPARE(readSavings(), (recycle ? SavingsTotals{0, 0, 3, 3000, today}
                                         : SavingsTotals{3, 3000, 0, 0, today}));
        QVERIFY(!recycle || exists(homeTrashFolder() + "/files/trail.txt "));
    }

    // View, Details and Run reach the row's file by its exact path, blanks
    // and bytes that are not UTF-8 included.
    void rowsAreOpenedByTheirExactPaths() {
        const QByteArray name = " r\xe9sum\xe9.txt ";
        m_files->file("cv/" + name, 10);
        m_files->setTimes("cv/" + name, utc(2025, 5, 10));
        auto w = openWindow();
        w->rbModified->click();
        w->dtStart->setText(u"5/10/2025"_s);
        w->dtEnd->setText(u"5/10/2025"_s);
        QVERIFY(runScan(*w));
        QCOMPARE(rowPaths(*w), paths({"cv/" + name}));

        QList<QByteArray> opened;
        m_dialogs->dialogHandlers = {[&](QDialog& d) {
                                         opened.append(dynamic_cast<TfrmView&>(d).fileName());
                                         return int(QDialog::Rejected);
                                     },
                                     [&](QDialog& d) {
                                         opened.append(dynamic_cast<TfrmDetails&>(d).fileName());
                                         return int(QDialog::Rejected);
                                     }};
        w->grid->viewAction()->trigger();
        w->btDetails->click();
        w->grid->setOpener([&](const QByteArray& path) {
            opened.append(path);
            return true;
        });
        w->grid->runAction()->trigger();
        QCOMPARE(opened, QList<QByteArray>(3, m_files->path("cv/" + name)));
    }

    // A file whose times and size change between its mark and Delete is no
    // longer the file marked: it stays, the window says so, and the savings
    // count nothing.
    void aFileThatChangesAfterTheScanGoesByItsPath() {
        m_files->file("log.txt", 100);
        m_files->setTimes("log.txt", utc(2025, 5, 10));
        auto w = openWindow();
        w->rbModified->click();
        w->dtStart->setText(u"5/10/2025"_s);
        w->dtEnd->setText(u"5/10/2025"_s);
        QVERIFY(runScan(*w));
        QCOMPARE(rowPaths(*w), paths({"log.txt"}));
        w->btMark->click();
        QCOMPARE(w->pnlScan->text(), u"1 files 100 bytes"_s);

        // Written to since: larger and modified today, out of the range.
        m_files->fileWith("log.txt", QByteArray(5000, 'y'));
        QVERIFY(exists(m_files->path("log.txt")));
        m_dialogs->answers = {Answer::Yes};
        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmReallyDelete::btDelete));
        w->btDelete->click();
        QVERIFY(exists(m_files->path("log.txt")));
        QVERIFY(m_dialogs->messageTexts().contains(
            u"Not deleted, because it changed since it was listed - "_s +
            QFile::decodeName(m_files->path("log.txt"))));
        QCOMPARE(readSavings().deletedBytes, 0);
        QCOMPARE(readSavings().deletedCount, 0);
    }

    // A cancelled confirmation keeps the window and the files.
    void aCancelledDeletionChangesNothing() {
        m_files->file("a.txt", 10);
        m_files->setTimes("a.txt", utc(2025, 5, 10));
        auto w = openWindow();
        w->rbModified->click();
        w->dtStart->setText(u"5/10/2025"_s);
        w->dtEnd->setText(u"5/10/2025"_s);
        QVERIFY(runScan(*w));
        w->grid->Markall1Click();
        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmReallyDelete::btClose));
        w->btDelete->click();
        QVERIFY(w->isVisible());
        QVERIFY(exists(m_files->path("a.txt")));
        QCOMPARE(readSavings(), SavingsTotals{});
    }

    // The grid stops at its capacity with the duplicates search's message;
    // the rows so far stay, filled in batches, in walk order.
    void theRowsAreCapped() {
        for (const char* f : {"a/1.txt", "a/2.txt", "b/3.txt", "b/4.txt", "5.txt"}) {
            m_files->file(f, 1);
            m_files->setTimes(f, utc(2025, 5, 10));
        }
        auto w = openWindow();
        w->setRowCapacity(3);
        w->setRowBatchSize(2);
        w->rbModified->click();
        w->dtStart->setText(u"5/10/2025"_s);
        w->dtEnd->setText(u"5/10/2025"_s);
        QVERIFY(runScan(*w));
        QCOMPARE(shown(), QStringList{u"Warning: "_s + resultListFullMessage()});
        QCOMPARE(rowPaths(*w), paths({"a/1.txt", "a/2.txt", "b/3.txt"}));
        QCOMPARE(w->pnlScan->text(), u"Found : 3"_s);
        QVERIFY(w->btMark->isVisible());
    }

    void abortKeepsTheRowsSoFar() {
        makeDatedTree();
        auto w = openWindow();
        QSignalSpy finished(&w->scanFrame(), &ScanFrame::finished);
        w->btOK->click();
        QVERIFY(w->scanFrame().isRunning());
        QVERIFY(w->btAbort->isVisible() && !w->btOK->isEnabled() && !w->btClose->isEnabled() &&
                !w->dtStart->isEnabled() && !w->popEndDate->isEnabled() && !w->rgWhat->isEnabled());
        QVERIFY(!w->close());
        w->btAbort->click();
        QCOMPARE(m_dialogs->messageTexts().value(0), u"LIST INCOMPLETE ... ABORTED BY USER"_s);
        QVERIFY(!finished.isEmpty() || finished.wait(60000));
        QVERIFY(w->btOK->isEnabled() && w->dtStart->isEnabled() && w->rgWhat->isEnabled());
        QVERIFY(w->pnlScan->text().startsWith(u"Found : "_s));
    }

    // Browse asks the program for the browser at the row's folder and file,
    // exact bytes, every file shown.
    void browseGoesThroughTheProgram() {
        m_files->file("d\xff/f\xfe.txt", 1);
        m_files->setTimes("d\xff/f\xfe.txt", utc(2025, 5, 10));
        FakeServices services;
        TfrmMods w(&services);
        w.pckDrive->setTickedRoots({m_files->root()});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.rbModified->click();
        w.dtStart->setText(u"5/10/2025"_s);
        w.dtEnd->setText(u"5/10/2025"_s);
        QVERIFY(!w.btBrowse->isVisible());
        QVERIFY(runScan(w));
        QVERIFY(w.btBrowse->isVisible());
        w.btBrowse->click();
        QCOMPARE(services.requests.size(), 1);
        QCOMPARE(services.parents.value(0), &w);
        QCOMPARE(services.requests[0].folder, m_files->path("d\xff"));
        QCOMPARE(services.requests[0].file, QByteArray("f\xfe.txt"));
        QCOMPARE(services.requests[0].mask, u"*.*"_s);
    }

    // The clipboard takes the first five cells of each row in grid order;
    // the printed title says what the list is.
    void clipboardAndTitle() {
        makeDatedTree();
        auto w = openWindow();
        w->rbModified->click();
        w->dtStart->setText(u"05/1/2025"_s);
        w->dtEnd->setText(u"5/31/2025"_s);
        QCOMPARE(w->printTitle(), u"Files Modified between 05/1/2025 and 5/31/2025"_s);
        QVERIFY(runScan(*w));
        QCOMPARE(w->printTitle(), u"Files Modified between 5/1/2025 and 5/31/2025"_s);
        w->grid->Sortbysize1Click(0);  // "&Name"
        w->btClip->click();
        const QStringList lines = QGuiApplication::clipboard()->text().split(u"\r\n"_s);
        QCOMPARE(lines.size(), 3);
        // Accessed, created (today, when the file system records it), modified, size.
        QCOMPARE(lines[0], u"may01.txt\t6/15/2025\t"_s + w->grid->gridModel()->cellText(1, 2) +
                               u"\t5/1/2025\t1\t"_s);
        QCOMPARE(lines[2].section(u'\t', 0, 0), u"may11.txt"_s);
        // Changing the fields after the search does not change the title.
        w->rbAccessed->click();
        QCOMPARE(w->printTitle(), u"Files Modified between 5/1/2025 and 5/31/2025"_s);
        m_dialogs->printAnswers = {false};
        w->btPrint->click();
        QCOMPARE(m_dialogs->messageTexts(), QStringList());
    }

    // The placement is kept in vantrelm under the key frmMods.
    void placementIsKeptInVantrelm() {
        {
            auto w = openWindow();
            w->move(40, 30);
        }
        const QString stored =
            vantrelmIni().readString(QCoreApplication::applicationFilePath(), u"frmMods"_s);
        QVERIFY2(!stored.isEmpty(), qPrintable(stored));
        QCOMPARE(stored.split(u' ', Qt::SkipEmptyParts).size(), 10);
        QFile::remove(vantrelmIni().path());
    }

private:
    std::unique_ptr<TfrmMods> openWindow() {
        auto w = std::make_unique<TfrmMods>(nullptr);
        w->pckDrive->setTickedRoots({m_files->root()});
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the window was not exposed");
        return w;
    }

    void activate(QWidget& w) {
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("the window is not active");
    }

    static QRadioButton* radioOf(TfrmMods& w, int field, int mode) {
        QRadioButton* fields[] = {w.rbAccessed, w.rbCreated, w.rbModified};
        QRadioButton* modes[] = {w.rbBefore, w.rbBetween, w.rbAfter};
        fields[field]->click();
        return modes[mode];
    }

    // Files with chosen times of access and change (UTC), a hidden file and
    // a hidden folder in every range.
    void makeDatedTree() {
        struct Dated {
            const char* path;
            QDateTime modified;
            QDateTime accessed;
        };
        const Dated files[] = {
            {"a/may01.txt", utc(2025, 5, 1, 8), utc(2025, 6, 15)},
            {"a/may10.txt", utc(2025, 5, 10, 23, 59, 59), utc(2025, 5, 10, 0, 0, 0)},
            {"b/may11.txt", utc(2025, 5, 11, 0, 0, 0), utc(2024, 1, 1)},
            {"b/old.txt", utc(1965, 3, 1), utc(1965, 3, 1)},
            {"future.txt", utc(2150, 1, 1), utc(2150, 1, 1)},
            {".hidden.txt", utc(2025, 5, 10), utc(2025, 5, 10)},
            {".h/in.txt", utc(2025, 5, 10), utc(2025, 5, 10)},
        };
        for (const Dated& f : files) {
            m_files->file(f.path, 1);
            m_files->setTimes(f.path, f.modified, f.accessed);
        }
    }

    // Clicks Start and waits for the search to end; false when none started.
    bool runScan(TfrmMods& w) {
        QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
        w.btOK->click();
        return !finished.isEmpty() || (w.scanFrame().isRunning() && finished.wait(60000));
    }

    QList<QByteArray> rowPaths(const TfrmMods& w) const {
        QList<QByteArray> out;
        for (int row = 1; row <= w.grid->rowCounter(); ++row)
            out.append(w.grid->gridModel()->pathAt(row));
        return out;
    }

    QList<QByteArray> paths(const QList<QByteArray>& relative) const {
        QList<QByteArray> out;
        for (const QByteArray& p : relative)
            out.append(m_files->path(p));
        return out;
    }

    QList<QByteArray> existing() const {
        QList<QByteArray> out;
        QDirIterator it(QFile::decodeName(m_files->root()), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            out.append(QFile::encodeName(it.next()));
        std::sort(out.begin(), out.end());
        return out;
    }

    // Each message shown so far, as "<caption>: <text>".
    QStringList shown() const {
        QStringList out;
        for (const ScriptedDialogs::Shown& m : m_dialogs->messages)
            out << boxCaption(m.kind) + u": "_s + m.text;
        return out;
    }

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QByteArray m_oldHome;
};

VANTREL_QTEST_MAIN(TestMods)
#include "tst_mods.moc"
