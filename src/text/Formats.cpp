#include "text/Formats.h"

#include "platform/MimeTypes.h"

#include <QFile>
#include <QReadWriteLock>

#include <cmath>
#include <limits>

namespace vantrel {

namespace {

QReadWriteLock localeLock;
TextLocale* currentLocale = nullptr;

// Drops the time-zone fields ("t", "tt", ...) outside quoted text from a
// QLocale time format; a file time is shown without its zone.
QString withoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out.append(c);
    }
    return out.simplified();
}

TextLocale makeLocale(const QLocale& locale) {
    TextLocale t;
    t.locale = locale;
    t.thousandsSeparator = locale.groupSeparator();
    t.decimalSeparator = locale.decimalPoint();
    t.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    t.longTimeFormat = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return t;
}

// Week days numbered Sunday = 1 to Saturday = 7.
int weekDay(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

QString plural(qint64 n) {
    return n > 1 ? QStringLiteral("s") : QString();
}

const QDate& baseDate() {
    static const QDate base(1899, 12, 30);
    return base;
}

bool isBlankOrControl(QChar c) {
    return c.unicode() <= 0x20 || c.unicode() == 0x7F;
}

}  // namespace

void TextLocale::initFromSystem() {
    set(QLocale::system());
}

void TextLocale::set(const QLocale& locale) {
    auto* fresh = new TextLocale(makeLocale(locale));
    QWriteLocker lock(&localeLock);
    delete currentLocale;
    currentLocale = fresh;
}

const TextLocale& TextLocale::current() {
    {
        QReadLocker lock(&localeLock);
        if (currentLocale)
            return *currentLocale;
    }
    initFromSystem();
    QReadLocker lock(&localeLock);
    return *currentLocale;
}

QString numberText(qint64 value) {
    const QString& sep = TextLocale::current().thousandsSeparator;
    const bool negative = value < 0;
    // Work on the magnitude as unsigned so that the smallest value is exact.
    quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    const QString digits = QString::number(magnitude);
    QString out;
    out.reserve(digits.size() + digits.size() / 3 * sep.size() + 1);
    if (negative)
        out.append(QLatin1Char('-'));
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out.append(sep);
        out.append(digits[i]);
    }
    return out;
}

double dateTimeValue(const QDateTime& local) {
    const double days = double(baseDate().daysTo(local.date()));
    return days + double(local.time().msecsSinceStartOfDay()) / 86400000.0;
}

QDateTime dateTimeFromValue(double value) {
    const double whole = std::floor(value);
    const QDate date = baseDate().addDays(qint64(whole));
    const int msecs = int(std::llround((value - whole) * 86400000.0));
    return QDateTime(date, QTime(0, 0)).addMSecs(msecs);
}

qint64 dayNumber(const QDate& date) {
    return baseDate().daysTo(date);
}

QString relativeDateText(const QDateTime& file, const QDateTime& reference) {
    if (!file.isValid() || !reference.isValid())
        return QString();
    const QDate d = file.date();
    const QDate r = reference.date();
    // Dates before the year 1 have no text (QDate counts them as negative years).
    if (d.year() < 1)
        return QString();
    const qint64 dayD = dayNumber(d);
    const qint64 dayR = dayNumber(r);
    const qint64 days = dayD > dayR ? dayD - dayR : dayR - dayD;
    const bool future = dayD > dayR;
    if (days == 0)
        return QStringLiteral("Today");
    if (days == 1)
        return future ? QStringLiteral("Tomorrow") : QStringLiteral("Yesterday");

    if (future) {
        const qint64 weeks = (days + weekDay(r) - 1) / 7;
        if (7 - weekDay(r) >= days)
            return QStringLiteral("This week");
        if (weeks < 2)
            return QStringLiteral("Next week");
        const qint64 months =
            (qint64(d.year()) * 12 + d.month()) - (qint64(r.year()) * 12 + r.month());
        const qint64 yearsApart = d.year() - r.year();
        if (months < 3)
            return QString::number(weeks) + QStringLiteral(" weeks");
        if (yearsApart <= 2)
            return QString::number(months) + QStringLiteral(" month") + plural(months);
        const qint64 y = months / 12;
        const qint64 m = months % 12;
        QString text = QString::number(y) + QStringLiteral(" years");
        if (m > 0)
            text += QLatin1Char(' ') + QString::number(m) + QStringLiteral(" month") + plural(m);
        return text;
    }

    const qint64 weeks = (days + weekDay(d) - 1) / 7;
    if (weeks == 0)
        return QStringLiteral("This week");
    if (weeks == 1)
        return QStringLiteral("Last week");
    const qint64 months = (qint64(r.year()) * 12 + r.month()) - (qint64(d.year()) * 12 + d.month());
    const qint64 yearsApart = r.year() - d.year();
    if (months < 3)
        return QString::number(weeks) + QStringLiteral(" weeks ago");
    if (yearsApart <= 2)
        return QString::number(months) + QStringLiteral(" month") + plural(months) +
               QStringLiteral(" ago");
    const qint64 y = months / 12;
    const qint64 m = months % 12;
    QString text = QString::number(y) + QStringLiteral(" years ");
    if (m > 0)
        text += QString::number(m) + QStringLiteral(" month") + plural(m) + QLatin1Char(' ');
    return text + QStringLiteral("ago");
}

bool decodeFileDate(quint32 packed, QDate* date, QTime* time) {
    const int year = int(packed >> 25) + 1980;
    const int month = int((packed >> 21) & 0x0F);
    const int day = int((packed >> 16) & 0x1F);
    const int hour = int((packed >> 11) & 0x1F);
    const int minute = int((packed >> 5) & 0x3F);
    const int second = int(packed & 0x1F) * 2;
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return false;
    if (date)
        *date = QDate(year, month, day);
    if (time)
        *time = QTime(hour, minute, second);
    return true;
}

QDateTime fileDateTime(quint32 packed) {
    QDate date;
    QTime time;
    if (!decodeFileDate(packed, &date, &time))
        return QDateTime(QDate(1980, 1, 1), QTime(0, 0));
    return QDateTime(date, time);
}

double fileDateValue(quint32 packed) {
    return dateTimeValue(fileDateTime(packed));
}

QString fileDateText(quint32 packed) {
    if (packed == 0)
        return QString();
    const TextLocale& loc = TextLocale::current();
    return loc.locale.toString(fileDateTime(packed).date(), loc.shortDateFormat);
}

QString fileTimeText(quint32 packed) {
    if (packed == 0)
        return QString();
    QTime time;
    if (!decodeFileDate(packed, nullptr, &time))
        time = QTime(12, 0, 0);
    const TextLocale& loc = TextLocale::current();
    return loc.locale.toString(time, loc.longTimeFormat);
}

QString fileDateSortKey(quint32 packed) {
    QDate date;
    if (!decodeFileDate(packed, &date, nullptr))
        return QStringLiteral("19800101");
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString fileTimeSortKey(quint32 packed) {
    QTime time;
    if (!decodeFileDate(packed, nullptr, &time))
        return QStringLiteral("1200");
    return time.toString(QStringLiteral("hhmm"));
}

QString fileTypeDescription(const QString& pattern) {
    if (pattern == QStringLiteral("*."))
        return QStringLiteral("No extension");
    if (pattern.isEmpty())
        return QString();
    const bool hasStar = pattern.contains(QLatin1Char('*'));
    if (!hasStar) {
        const QString description = mimeDescriptionForExtension(pattern);
        if (!description.isEmpty())
            return description;
        return pattern.mid(1).toUpper() + QStringLiteral(" File");
    }
    return QString();
}

QString extensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString tabField(QStringView line, int n) {
    if (n < 1)
        return QString();
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'), start);
        if (tab < 0)
            return QString();
        start = tab + 1;
    }
    qsizetype end = line.indexOf(QLatin1Char('\t'), start);
    if (end < 0)
        end = line.size();
    while (start < end && isBlankOrControl(line[start]))
        ++start;
    while (end > start && isBlankOrControl(line[end - 1]))
        --end;
    return line.mid(start, end - start).toString();
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QByteArray joinPath(const QByteArray& folder, const QByteArray& name) {
    if (folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

QString displayText(const QByteArray& bytes) {
    return QFile::decodeName(bytes);
}

qint64 textToInt64OrZero(QStringView text) {
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == QLatin1Char(' '))
        ++i;
    while (end > i && text[end - 1] == QLatin1Char(' '))
        --end;
    if (i == end)
        return 0;
    bool ok = false;
    const qint64 value = text.mid(i, end - i).toLongLong(&ok, 10);
    return ok ? value : 0;
}

qint32 textToIntOrZero(QStringView text) {
    const qint64 v = textToInt64OrZero(text);
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return 0;
    return qint32(v);
}

QString percentText(double part, double total) {
    // "part >= total" also covers a total of 0; a NaN or a negative part over
    // a zero total would otherwise come out as "nan" or "-inf".
    const double percent = part / total * 100.0;
    if (part >= total || !std::isfinite(percent))
        return QStringLiteral("???");
    QString text = QString::number(percent, 'f', 2);
    const QString& dec = TextLocale::current().decimalSeparator;
    if (dec != QStringLiteral("."))
        text.replace(QLatin1Char('.'), dec);
    return text;
}

}  // namespace vantrel
