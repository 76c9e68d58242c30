#include "results/Report.h"

#include "text/Formats.h"

namespace vantrel {

QString printedStamp(const QDateTime& at) {
    const TextLocale& loc = TextLocale::current();
    return loc.locale.toString(at.date(), loc.shortDateFormat) + QStringLiteral("  ") +
           loc.locale.toString(at.time(), loc.longTimeFormat);
}

QStringList gridReportLines(const QString& title, const QDateTime& printedAt,
                            const QList<QStringList>& rows, const QList<int>& columnWidthsPx) {
    QStringList out;
    out.reserve(rows.size() + 4);
    out.append(title);
    out.append(QStringLiteral("Printed : ") + printedStamp(printedAt));
    out.append(QString());
    out.append(QString());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const int width = c < columnWidthsPx.size() ? columnWidthsPx[c] / 6 : 0;
            line += row[c].leftJustified(width, QLatin1Char(' '), false);
            line += QLatin1Char(' ');
        }
        out.append(line);
    }
    return out;
}

QStringList tabListReportLines(const QString& title, const QDateTime& printedAt,
                               const QStringList& lines) {
    QStringList out;
    out.reserve(lines.size() + 4);
    out.append(QStringLiteral("   ") + title);
    out.append(QStringLiteral("   Printed : ") + printedStamp(printedAt));
    out.append(QString());
    out.append(QString());
    for (const QString& line : lines)
        out.append(QStringLiteral("   ") + line);
    return out;
}

}  // namespace vantrel
