#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>

namespace vantrel {

// The user's regional settings as the text formats use them: read once at
// start (initFromSystem) and replaced only by tests (set).
struct TextLocale {
    QLocale locale;
    QString thousandsSeparator;
    QString decimalSeparator;
    QString shortDateFormat;  // QLocale's short date format
    QString longTimeFormat;   // QLocale's long time format without the time zone

    static void initFromSystem();
    static void set(const QLocale& locale);
    static const TextLocale& current();
};

// Decimal text with thousands separators: 1234567 gives "1,234,567" (comma
// locale), -5000 gives "-5,000", 0 gives "0". 64-bit.
QString numberText(qint64 value);

// Date-time values: days since 30 December 1899, with the time of day as the
// fraction. dayNumber is the whole part for a date (used by the savings totals).
double dateTimeValue(const QDateTime& local);
QDateTime dateTimeFromValue(double value);
qint64 dayNumber(const QDate& date);

// "Today", "Yesterday", "Tomorrow", "This week", "Last week", "Next week",
// "6 weeks ago", "14 months", "3 years 2 months ago", ... of a file's date
// against a reference (callers pass now). Empty for an invalid date.
QString relativeDateText(const QDateTime& file, const QDateTime& reference);

// Packed file dates (see FileRecord): decoding, texts and sort keys.
// decodeFileDate fails for 0 and for fields that are no valid date and time.
bool decodeFileDate(quint32 packed, QDate* date, QTime* time);
QDateTime fileDateTime(quint32 packed);  // 1 January 1980 00:00 when not decodable
double fileDateValue(quint32 packed);    // the same as a date-time value
QString fileDateText(quint32 packed);    // short date; empty for 0
QString fileTimeText(quint32 packed);    // long time; empty for 0; 12:00:00 when not decodable
QString fileDateSortKey(quint32 packed); // "yyyymmdd"; "19800101" when not decodable (0 too)
QString fileTimeSortKey(quint32 packed); // "hhmm"; "1200" when not decodable (0 too)

// Readable description of an extension pattern: "*." gives "No extension";
// ".txt" the MIME type's comment; an unknown ".xyz" gives "XYZ File"; a
// pattern with a star (other than "*.") and no entry gives empty text.
QString fileTypeDescription(const QString& pattern);

// The extension of a file name: the text from its last dot, or empty.
QString extensionOf(const QString& name);

// Field n (1-based) of a tab-separated line, with leading and trailing blanks
// and control characters removed; empty beyond the last field.
QString tabField(QStringView line, int n);

// Folder and name joined by one "/" (none added when the folder ends in "/").
QString joinPath(const QString& folder, const QString& name);
QByteArray joinPath(const QByteArray& folder, const QByteArray& name);

// A name or path as text for display; bytes that are not valid UTF-8 become
// replacement characters. The exact bytes travel separately.
QString displayText(const QByteArray& bytes);

// Signed 32-bit value of a text, or 0 for anything that is not such an
// integer (the empty text included). Leading and trailing blanks are allowed.
qint32 textToIntOrZero(QStringView text);
// The same for 64-bit values, used where sizes and totals are read back.
qint64 textToInt64OrZero(QStringView text);

// part / total * 100 with two decimals ("33.33"), or "???" when part >= total.
QString percentText(double part, double total);

}  // namespace vantrel
