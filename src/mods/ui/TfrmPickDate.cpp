#include "mods/ui/TfrmPickDate.h"

#include "mods/FieldDate.h"
#include "text/Formats.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vantrel {

namespace {

const QDate& firstDay() {
    static const QDate day(kFirstFieldYear, 1, 1);
    return day;
}

const QDate& lastDay() {
    static const QDate day(kLastFieldYear, 12, 31);
    return day;
}

QDate clampToRange(const QDate& day) {
    if (!day.isValid())
        return QDate::currentDate();
    return std::clamp(day, firstDay(), lastDay());
}

QToolButton* arrowButton(Qt::ArrowType arrow, const char* name, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace

// ---- PickCalendar ---------------------------------------------------------------

PickCalendar::PickCalendar(QWidget* parent) : QCalendarWidget(parent) {
    setNavigationBarVisible(false);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    setGridVisible(false);
    setDateRange(firstDay(), lastDay());
    // Day buttons large enough to hit: seven of about 40 by 26 pixels.
    const QFontMetrics fm = fontMetrics();
    setMinimumSize(fm.horizontalAdvance(QStringLiteral("0000")) * 7 + 16, fm.height() * 12);
}

void PickCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const {
    painter->save();
    const QPalette& pal = palette();
    // The cell's outline in the button-face colour, then the face inside it.
    painter->setPen(pal.color(QPalette::Button));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    const QRect cell = rect.adjusted(1, 1, -1, -1);

    const bool shownMonth = date.month() == monthShown() && date.year() == yearShown();
    if (shownMonth) {
        const bool selected = date == selectedDate();
        QStyleOptionButton face;
        face.initFrom(this);
        face.rect = cell;
        face.state = QStyle::State_Enabled |
                     (selected ? QStyle::State_Sunken | QStyle::State_On : QStyle::State_Raised);
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &face, painter, this);
        if (selected) {
            // Pressed, and tinted so that it stands out among the faces.
            QColor tint = pal.color(QPalette::Highlight);
            tint.setAlpha(80);
            painter->fillRect(cell.adjusted(2, 2, -2, -2), tint);
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = cell.adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
        }
    } else {
        // Days of the neighbouring months that fill the grid.
        painter->setPen(QColor(0, 0, 128));
        painter->setBrush(QColor(0, 128, 128));
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
    painter->setPen(Qt::black);
    painter->drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, QString::number(date.day()));
    painter->restore();
}

// ---- ArrowSpinner ---------------------------------------------------------------

ArrowSpinner::ArrowSpinner(Qt::Orientation orientation, QWidget* parent) : QWidget(parent) {
    const bool across = orientation == Qt::Horizontal;
    m_back =
        arrowButton(across ? Qt::LeftArrow : Qt::DownArrow, across ? "btLeft" : "btDown", this);
    m_forth = arrowButton(across ? Qt::RightArrow : Qt::UpArrow, across ? "btRight" : "btUp", this);
    QBoxLayout* box = across ? static_cast<QBoxLayout*>(new QHBoxLayout(this))
                             : static_cast<QBoxLayout*>(new QVBoxLayout(this));
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    // Up above down; left before right.
    if (across) {
        box->addWidget(m_back);
        box->addWidget(m_forth);
    } else {
        box->addWidget(m_forth);
        box->addWidget(m_back);
    }
    connect(m_back, &QToolButton::clicked, this, [this] { Q_EMIT clicked(false); });
    connect(m_forth, &QToolButton::clicked, this, [this] { Q_EMIT clicked(true); });
}

// ---- TfrmPickDate ---------------------------------------------------------------

TfrmPickDate::TfrmPickDate(QWidget* parent) : QDialog(parent, Qt::Popup) {
    setObjectName(QStringLiteral("frmPickDate"));
    setWindowTitle(QStringLiteral("Calendar"));
    setModal(true);

    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    lblMonth = new QLabel(Panel);
    lblMonth->setObjectName(QStringLiteral("lblMonth"));
    lblMonth->setAlignment(Qt::AlignCenter);
    QFont bold = lblMonth->font();
    bold.setBold(true);
    lblMonth->setFont(bold);

    Calendar = new PickCalendar(Panel);
    Calendar->setObjectName(QStringLiteral("Calendar"));

    MonthSpinner = new ArrowSpinner(Qt::Horizontal, Panel);
    MonthSpinner->setObjectName(QStringLiteral("MonthSpinner"));
    MonthSpinner->setToolTip(QStringLiteral("Change the displayed month"));
    YearSpinner = new ArrowSpinner(Qt::Vertical, Panel);
    YearSpinner->setObjectName(QStringLiteral("YearSpinner"));
    YearSpinner->setToolTip(QStringLiteral("Change the displayed year"));

    btnOk = new QPushButton(QStringLiteral("OK"), Panel);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setToolTip(QStringLiteral("Select date"));
    btnOk->setAccessibleName(QStringLiteral("OK"));
    btnOk->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), Panel);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setToolTip(QStringLiteral("Cancel"));
    btnCancel->setAccessibleName(QStringLiteral("Cancel"));
    btnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    btnCancel->setAutoDefault(false);

    {
        auto* bottom = new QHBoxLayout;
        bottom->setSpacing(4);
        bottom->addWidget(MonthSpinner);
        bottom->addStretch(1);
        bottom->addWidget(btnOk);
        bottom->addWidget(btnCancel);

        auto* grid = new QGridLayout(Panel);
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setSpacing(4);
        grid->addWidget(lblMonth, 0, 0);
        grid->addWidget(Calendar, 1, 0);
        grid->addWidget(YearSpinner, 1, 1, Qt::AlignVCenter);
        grid->addLayout(bottom, 2, 0, 1, 2);

        auto* outer = new QVBoxLayout(this);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->addWidget(Panel);
    }

    connect(MonthSpinner, &ArrowSpinner::clicked, this, &TfrmPickDate::MonthSpinnerClick);
    connect(YearSpinner, &ArrowSpinner::clicked, this, &TfrmPickDate::YearSpinnerClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmPickDate::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmPickDate::reject);
    // Enter on a day picks it, as OK does.
    connect(Calendar, &QCalendarWidget::activated, this, &TfrmPickDate::CalendarDblClick);
    connect(Calendar, &QCalendarWidget::currentPageChanged, this, &TfrmPickDate::showMonthTitle);
    connect(Calendar, &QCalendarWidget::clicked, this, [this](QDate day) { m_clickedDay = day; });

    // The keyboard is seen here before the controls see it (Home).
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    m_date = QDate::currentDate();
    selectDay(m_date);
}

void TfrmPickDate::setDate(double dayCount) {
    setDay(dayCount > 0 ? dateOfDayCount(dayCount) : QDate());
}

void TfrmPickDate::setDay(const QDate& day) {
    m_date = clampToRange(day);
    selectDay(m_date);
}

double TfrmPickDate::date() const {
    return dayCountOf(selectedDate());
}

QDate TfrmPickDate::selectedDate() const {
    return Calendar->selectedDate();
}

QDate TfrmPickDate::stepMonths(const QDate& from, int months) {
    // QDate keeps the day of the month, or takes the last day of a shorter
    // target month.
    return clampToRange(from.addMonths(months));
}

QDate TfrmPickDate::stepYears(const QDate& from, int years) {
    return clampToRange(from.addYears(years));
}

void TfrmPickDate::selectDay(const QDate& day) {
    const QDate d = clampToRange(day);
    Calendar->setSelectedDate(d);
    Calendar->setCurrentPage(d.year(), d.month());
    showMonthTitle();
}

void TfrmPickDate::showMonthTitle() {
    const QLocale& locale = TextLocale::current().locale;
    lblMonth->setText(locale.standaloneMonthName(Calendar->monthShown()) + QLatin1Char(' ') +
                      QString::number(Calendar->yearShown()));
}

void TfrmPickDate::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfrmPickDate::FormShow() {
    // Glyphs only; the hints and accessible names still say what they do.
    btnOk->setText(QString());
    btnCancel->setText(QString());
    selectDay(m_date);
    Calendar->setFocus();
}

void TfrmPickDate::YearSpinnerClick(bool up) {
    selectDay(stepYears(selectedDate(), up ? 1 : -1));
}

void TfrmPickDate::MonthSpinnerClick(bool right) {
    selectDay(stepMonths(selectedDate(), right ? 1 : -1));
}

void TfrmPickDate::CalendarDblClick() {
    m_date = selectedDate();
    accept();
}

void TfrmPickDate::selectToday() {
    selectDay(QDate::currentDate());
}

void TfrmPickDate::placeBelow(const QWidget* field) {
    adjustSize();
    QPoint at = field->mapToGlobal(QPoint(0, field->height()));
    if (const QScreen* screen = field->screen()) {
        const QRect area = screen->availableGeometry();
        if (at.y() + height() > area.bottom())
            at.setY(field->mapToGlobal(QPoint(0, 0)).y() - height());  // above, when below is full
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::max(at.y(), area.top()));
    }
    move(at);
}

bool TfrmPickDate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Home) {
            if (event->type() == QEvent::KeyPress)
                selectToday();
            return true;
        }
    }
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && Calendar->isAncestorOf(widget)) {
        // A click on a day of a neighbouring month turns the page, so the
        // second click of a double click lands on another day: the day
        // picked is the one the first click chose (clicked() names it as
        // the button is released; anything else forgets it).
        if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyPress) {
            m_clickedDay = QDate();
        } else if (event->type() == QEvent::MouseButtonDblClick && m_clickedDay.isValid()) {
            selectDay(m_clickedDay);
            CalendarDblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vantrel
