// The date picker: the day it opens on, its spinners with the end-of-month
// rule, Home, a double click, OK and Cancel, and how it sits under a field.

#include "mods/FieldDate.h"
#include "mods/ui/TfrmPickDate.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QtTest>

using namespace vantrel;
using namespace Qt::StringLiterals;

class TestPickDate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheHandedDayOrToday() {
        TfrmPickDate picker;
        picker.setDate(dayCountOf(QDate(2025, 5, 10)));
        QCOMPARE(picker.selectedDate(), QDate(2025, 5, 10));
        QCOMPARE(picker.Calendar->monthShown(), 5);
        QCOMPARE(picker.date(), dayCountOf(QDate(2025, 5, 10)));
        for (double none : {0.0, -3.0}) {
            picker.setDate(none);
            QCOMPARE(picker.selectedDate(), QDate::currentDate());
        }
        // Days before 1900 come as days, not counts.
        picker.setDay(QDate(1850, 7, 4));
        QCOMPARE(picker.selectedDate(), QDate(1850, 7, 4));
        picker.setDay(QDate());
        QCOMPARE(picker.selectedDate(), QDate::currentDate());
        QCOMPARE(picker.windowTitle(), u"Calendar"_s);
        QVERIFY(picker.windowFlags().testFlag(Qt::Popup));
        QCOMPARE(picker.MonthSpinner->toolTip(), u"Change the displayed month"_s);
        QCOMPARE(picker.YearSpinner->toolTip(), u"Change the displayed year"_s);
        QCOMPARE(picker.btnOk->toolTip(), u"Select date"_s);
    }

    void spinnersKeepTheDayOrTakeTheMonthsLast_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("clicks");  // r/l month right/left, u/d year up/down
        QTest::addColumn<QDate>("expected");
        QTest::newRow("31 March, a month on") << QDate(2025, 3, 31) << u"r"_s << QDate(2025, 4, 30);
        QTest::newRow("and another") << QDate(2025, 3, 31) << u"rr"_s << QDate(2025, 5, 30);
        QTest::newRow("31 January to February")
            << QDate(2025, 1, 31) << u"r"_s << QDate(2025, 2, 28);
        QTest::newRow("in a leap year") << QDate(2024, 1, 31) << u"r"_s << QDate(2024, 2, 29);
        QTest::newRow("January back to December")
            << QDate(2025, 1, 15) << u"l"_s << QDate(2024, 12, 15);
        QTest::newRow("December on to January")
            << QDate(2024, 12, 15) << u"r"_s << QDate(2025, 1, 15);
        QTest::newRow("29 February 2000, a year back")
            << QDate(2000, 2, 29) << u"d"_s << QDate(1999, 2, 28);
        QTest::newRow("29 February 2000, a year on")
            << QDate(2000, 2, 29) << u"u"_s << QDate(2001, 2, 28);
        QTest::newRow("not before 1601") << QDate(1601, 1, 15) << u"dl"_s << QDate(1601, 1, 1);
        QTest::newRow("not after 9999") << QDate(9999, 12, 15) << u"ur"_s << QDate(9999, 12, 31);
    }

    void spinnersKeepTheDayOrTakeTheMonthsLast() {
        QFETCH(QDate, from);
        QFETCH(QString, clicks);
        QFETCH(QDate, expected);
        TfrmPickDate picker;
        picker.setDay(from);
        picker.show();
        for (QChar c : clicks) {
            QToolButton* b = nullptr;
            switch (c.toLatin1()) {
                case 'r':
                    b = picker.MonthSpinner->forthButton();
                    break;
                case 'l':
                    b = picker.MonthSpinner->backButton();
                    break;
                case 'u':
                    b = picker.YearSpinner->forthButton();
                    break;
                default:
                    b = picker.YearSpinner->backButton();
                    break;
            }
            QTest::mouseClick(b, Qt::LeftButton);
        }
        QCOMPARE(picker.selectedDate(), expected);
        // The calendar shows the month of the day.
        QCOMPARE(picker.Calendar->yearShown(), expected.year());
        QCOMPARE(picker.Calendar->monthShown(), expected.month());
        picker.reject();
    }

    // Home selects today and leaves the picker open; OK and Cancel close it
    // with their results; the captions of OK and Cancel are glyphs.
    void keysAndButtons() {
        TfrmPickDate picker;
        picker.setDate(dayCountOf(QDate(2001, 7, 4)));
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QCOMPARE(picker.btnOk->text(), QString());
        QCOMPARE(picker.btnCancel->text(), QString());
        QVERIFY(!picker.btnOk->icon().isNull());
        auto* view = picker.Calendar->findChild<QTableView*>();
        QVERIFY(view);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(picker.selectedDate(), QDate::currentDate());
        QVERIFY(picker.isVisible());
        QTest::keyClick(view, Qt::Key_Escape);
        QCOMPARE(picker.result(), int(QDialog::Rejected));

        TfrmPickDate again;
        again.setDate(dayCountOf(QDate(2001, 7, 4)));
        again.show();
        QTest::mouseClick(again.btnOk, Qt::LeftButton);
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QCOMPARE(again.selectedDate(), QDate(2001, 7, 4));
    }

    // A double click on a day, of this month or a neighbouring one, closes
    // the picker with that day.
    void aDoubleClickPicksTheDay_data() {
        QTest::addColumn<int>("row");  // of the day grid, under the title row
        QTest::addColumn<int>("column");
        QTest::addColumn<QDate>("expected");
        // June 2025 in the en_US locale's grid (weeks from Sunday): 1 June is
        // a Sunday, so the first row is the last week of May.
        QTest::newRow("a day of the month") << 3 << 2 << QDate(2025, 6, 10);
        QTest::newRow("a day of the month before") << 1 << 6 << QDate(2025, 5, 31);
        QTest::newRow("a day of the month after") << 6 << 3 << QDate(2025, 7, 2);
    }

    void aDoubleClickPicksTheDay() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QDate, expected);
        TfrmPickDate picker;
        picker.setDate(dayCountOf(QDate(2025, 6, 20)));
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        auto* view = picker.Calendar->findChild<QTableView*>();
        QVERIFY(view);
        const QPoint at = view->visualRect(view->model()->index(row, column)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.selectedDate(), expected);
        QCOMPARE(picker.date(), dayCountOf(expected));
    }

    void sitsUnderTheField() {
        QWidget window;
        window.resize(400, 300);
        auto* field = new QLineEdit(&window);
        field->setGeometry(30, 40, 120, 24);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TfrmPickDate picker(&window);
        picker.placeBelow(field);
        const QPoint below = field->mapToGlobal(QPoint(0, field->height()));
        // Below the field unless the screen ends first (then above it).
        QVERIFY(picker.pos() == below ||
                picker.pos().y() + picker.height() <= field->mapToGlobal(QPoint(0, 0)).y());
        QCOMPARE(picker.pos().x(), below.x());
    }
};

VANTREL_QTEST_MAIN(TestPickDate)
#include "tst_pickdate.moc"
