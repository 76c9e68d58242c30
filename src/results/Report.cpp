#include "results/Report.h"

#include "text/Formats.h"

#include <algorithm>

namespace vantrel {

namespace {

const QChar kEllipsis(0x2026);

// The title on lines of at most `width` characters, broken at blanks (a word
// longer than a line is cut); one line when `width` is 0 or the title fits.
QStringList wrappedTitle(const QString& title, int width) {
    if (width <= 0 || title.size() <= width)
        return {title};
    QStringList out;
    QString line;
    for (const QString& word : title.split(QLatin1Char(' '))) {
        QString rest = word;
        if (!line.isEmpty() && line.size() + 1 + rest.size() > width) {
            out.append(line);
            line.clear();
        }
        if (!line.isEmpty())
            line += QLatin1Char(' ');
        while (line.size() + rest.size() > width) {
            const qsizetype room = width - line.size();
            out.append(line + rest.left(room));
            rest = rest.mid(room);
            line.clear();
        }
        line += rest;
    }
    out.append(line);
    return out;
}

qsizetype totalWidth(const QList<int>& widths) {
    qsizetype total = widths.isEmpty() ? 0 : widths.size() - 1;  // the blanks between
    for (int w : widths)
        total += w;
    return total;
}

}  // namespace

QString printedStamp(const QDateTime& at) {
    const TextLocale& loc = TextLocale::current();
    return loc.locale.toString(at.date(), loc.shortDateFormat) + QStringLiteral("  ") +
           loc.locale.toString(at.time(), loc.longTimeFormat);
}

QString elideMiddle(const QString& text, int width) {
    if (text.size() <= width)
        return text;
    if (width <= 0)
        return QString();
    const int kept = width - 1;
    qsizetype head = kept - kept / 2;
    qsizetype tail = kept / 2;
    // Never split a character made of two UTF-16 units.
    if (head > 0 && text.at(head - 1).isHighSurrogate())
        --head;
    if (tail > 0 && text.at(text.size() - tail).isLowSurrogate())
        --tail;
    return text.left(head) + kEllipsis + text.right(tail);
}

QList<int> reportColumnWidths(const QList<QStringList>& rows, int lineChars) {
    QList<int> widths;
    for (const QStringList& row : rows) {
        if (widths.size() < row.size())
            widths.resize(row.size(), 0);
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], int(row[c].size()));
    }
    if (lineChars <= 0 || totalWidth(widths) <= lineChars)
        return widths;
    // Narrow the widest columns to one common width, the largest with which
    // the line fits; no column goes below kMinReportColumn for it.
    const int widest = *std::max_element(widths.cbegin(), widths.cend());
    int cap = widest;
    const auto capped = [&widths](int limit) {
        QList<int> out = widths;
        for (int& w : out)
            w = std::min(w, limit);
        return out;
    };
    while (cap > kMinReportColumn && totalWidth(capped(cap)) > lineChars)
        --cap;
    return capped(cap);
}

FittedReport fitGridReport(const GridReport& report, int portraitChars, int landscapeChars) {
    FittedReport out;
    const QList<int> full = reportColumnWidths(report.rows, 0);
    const qsizetype needed = totalWidth(full);
    int line = 0;  // the page line; 0 without a page
    if (portraitChars > 0 || landscapeChars > 0) {
        out.landscape = needed > portraitChars && landscapeChars > portraitChars;
        line = out.landscape ? landscapeChars : portraitChars;
    }
    const QList<int> widths = line > 0 ? reportColumnWidths(report.rows, line) : full;

    out.lines = wrappedTitle(report.title, line);
    out.lines.append(QStringLiteral("Printed : ") + printedStamp(report.printedAt));
    out.lines.append(QString());
    out.lines.append(QString());
    for (const QStringList& row : report.rows) {
        QString text;
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                text += QLatin1Char(' ');
            text += elideMiddle(row[c], widths[c]).leftJustified(widths[c], QLatin1Char(' '));
        }
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        out.lines.append(text);
    }
    return out;
}

QStringList gridReportLines(const GridReport& report) {
    return fitGridReport(report, 0, 0).lines;
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
