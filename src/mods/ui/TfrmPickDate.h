#pragma once

#include <QCalendarWidget>
#include <QDate>
#include <QDialog>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace vantrel {

// The month grid of the date picker: each day of the shown month drawn as a
// raised button face (the selected one pressed, with a focus mark), the
// days of the neighbouring months that fill the grid as plain navy-edged
// teal cells, every day number in black.
class PickCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit PickCalendar(QWidget* parent = nullptr);

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;
};

// Two arrow buttons that step something back or forth: left and right
// (Qt::Horizontal) or down and up (Qt::Vertical). clicked(true) is the
// right or up button.
class ArrowSpinner : public QWidget {
    Q_OBJECT
public:
    ArrowSpinner(Qt::Orientation orientation, QWidget* parent = nullptr);
    QToolButton* backButton() const { return m_back; }
    QToolButton* forthButton() const { return m_forth; }

Q_SIGNALS:
    void clicked(bool forth);

private:
    QToolButton* m_back = nullptr;
    QToolButton* m_forth = nullptr;
};

// "Calendar": the small pop-up in which the user picks a day for a date
// field. It has no frame and no caption; it is a Qt::Popup, so it sits just
// below the field that opened it (placeBelow) on every window system, and a
// click elsewhere closes it as Cancel.
//
// The month calendar shows the picker's date selected. The spinner under
// it moves the selected day a month back or on, the spinner at its right a
// year; both keep the day of the month, or take the target month's last day
// when it is shorter (31 January and a month give 28 February, or 29 in a
// leap year), and months wrap across years. Days run from 1 January 1601
// to 31 December 9999. Home selects today without closing; OK, a double
// click on a day or Enter closes with that day picked; Cancel, Escape or a
// click outside closes without.
//
// The date travels as a day count (days since 30 December 1899, as the
// settings and texts count days): setDate takes a count greater than 0, or
// today for any other; date() gives the selected day's count. A count of 0
// or less cannot name a day before 1900, so the date fields hand over their
// day itself (setDay), which may be any day from 1601 on.
class TfrmPickDate : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPickDate(QWidget* parent = nullptr);

    void setDate(double dayCount);
    // The day to show selected; an invalid date shows today.
    void setDay(const QDate& day);
    [[nodiscard]] double date() const;
    [[nodiscard]] QDate selectedDate() const;

    // Moves the pop-up just below `field`, its left edge at the field's,
    // kept on the field's screen.
    void placeBelow(const QWidget* field);

    // One day later or earlier by a month or a year, as the spinners move it.
    static QDate stepMonths(const QDate& from, int months);
    static QDate stepYears(const QDate& from, int years);

    // Handlers, named after control and event.
    void FormShow();
    void YearSpinnerClick(bool up);
    void MonthSpinnerClick(bool right);
    void CalendarDblClick();
    void selectToday();

    QFrame* Panel = nullptr;
    QLabel* lblMonth = nullptr;
    PickCalendar* Calendar = nullptr;
    ArrowSpinner* MonthSpinner = nullptr;
    ArrowSpinner* YearSpinner = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectDay(const QDate& day);
    void showMonthTitle();

    QDate m_date;
    QDate m_clickedDay;  // the day of the last click on the calendar, if any
};

}  // namespace vantrel
