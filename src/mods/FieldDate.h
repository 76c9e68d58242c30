#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace vantrel {

// The dates a user types into the date fields of the files-by-date search
// and reads in its grid: the user's short date format (TextLocale), with the
// year always written in four digits, so that a date of 1965 or 2150 reads
// as what it is. Only days from 1 January 1601 to 31 December 9999 are
// dates here; anything else is refused.

inline constexpr int kFirstFieldYear = 1601;
inline constexpr int kLastFieldYear = 9999;

// `shortDateFormat` (a QLocale date format) with every run of "y" outside
// quoted text made "yyyy": "M/d/yy" gives "M/d/yyyy", "dd.MM.yy" gives
// "dd.MM.yyyy"; a format that has four already is kept.
QString fourDigitYearFormat(const QString& shortDateFormat);

// The format of the fields: fourDigitYearFormat of the current short date
// format.
QString fieldDateFormat();

// A day as the fields show it ("5/10/2025" in the en_US locale).
QString fieldDateText(const QDate& date);

// The day a field's text names, read in fieldDateFormat() with blanks
// around it ignored; nothing for blank text, text that is no date of the
// calendar (31/02/2025, 0/0/0), and days outside 1601 .. 9999.
std::optional<QDate> parseFieldDate(const QString& text);

// The message for a text that parseFieldDate refuses: "'31/02/2025' is
// not a valid date".
QString invalidDateMessage(const QString& text);

// The date picker's hand-over value, a day count (days since 30 December
// 1899, the whole part of a date-time value), and back.
double dayCountOf(const QDate& date);
QDate dateOfDayCount(double dayCount);

}  // namespace vantrel
