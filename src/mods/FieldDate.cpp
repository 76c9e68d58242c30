#include "mods/FieldDate.h"

#include "text/Formats.h"

#include <cmath>

namespace vantrel {

QString fourDigitYearFormat(const QString& shortDateFormat) {
    QString out;
    out.reserve(shortDateFormat.size() + 2);
    bool quoted = false;
    for (qsizetype i = 0; i < shortDateFormat.size();) {
        const QChar c = shortDateFormat[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out.append(c);
            ++i;
            continue;
        }
        if (!quoted && c == QLatin1Char('y')) {
            while (i < shortDateFormat.size() && shortDateFormat[i] == QLatin1Char('y'))
                ++i;
            out.append(QLatin1String("yyyy"));
            continue;
        }
        out.append(c);
        ++i;
    }
    return out;
}

QString fieldDateFormat() {
    return fourDigitYearFormat(TextLocale::current().shortDateFormat);
}

QString fieldDateText(const QDate& date) {
    if (!date.isValid())
        return QString();
    return TextLocale::current().locale.toString(date, fieldDateFormat());
}

std::optional<QDate> parseFieldDate(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QDate date = TextLocale::current().locale.toDate(trimmed, fieldDateFormat());
    if (!date.isValid() || date.year() < kFirstFieldYear || date.year() > kLastFieldYear)
        return std::nullopt;
    return date;
}

QString invalidDateMessage(const QString& text) {
    return QLatin1Char('\'') + text + QStringLiteral("' is not a valid date");
}

double dayCountOf(const QDate& date) {
    return double(dayNumber(date));
}

QDate dateOfDayCount(double dayCount) {
    return QDate(1899, 12, 30).addDays(qint64(std::floor(dayCount)));
}

}  // namespace vantrel
