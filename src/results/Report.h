#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

// Plain-text reports, built as lines by pure functions and then printed by
// printReport / printGridReport (results/ui/ReportPrinter.h).

// A result grid as it goes to paper: the title line, when it was printed,
// and the rows (row 0 is the title row), each a list of cell texts.
struct GridReport {
    QString title;
    QDateTime printedAt;
    QList<QStringList> rows;
};

// The lines of a grid report and the page orientation they were fitted to.
struct FittedReport {
    QStringList lines;
    bool landscape = false;
};

// The grid form: the title, "Printed : " + the short date + two blanks + the
// long time, two empty lines, then every row. Each column is as wide as its
// widest cell (its title included); cells are left-aligned, padded with
// blanks to the column's width and joined by one blank; the blanks at the
// end of a line are left out. Without a page width the columns keep their
// full widths.
//
// Fitted to a page of `portraitChars` characters a line (portrait) or
// `landscapeChars` (landscape, the wider): portrait when the rows fit it,
// else landscape; when the rows are wider than the landscape line too, the
// widest columns are narrowed, all to the same width, until the rows fit,
// and cells longer than their column are shortened in the middle with "…".
// Every column stays, with at least kMinReportColumn characters (fewer only
// when its texts are shorter), even when the rows then run past the line. A
// title longer than the line is broken at blanks onto further lines.
inline constexpr int kMinReportColumn = 3;
FittedReport fitGridReport(const GridReport& report, int portraitChars, int landscapeChars);

// The grid form without a page: every column at its full width.
QStringList gridReportLines(const GridReport& report);

// The column widths in characters of fitGridReport for a line of
// `lineChars` characters (0: no limit).
QList<int> reportColumnWidths(const QList<QStringList>& rows, int lineChars);

// `text` shortened to `width` characters by replacing its middle with "…"
// (one character); unchanged when it fits.
QString elideMiddle(const QString& text, int width);

// The tab-list form: three blanks and the title, "   Printed : " + date +
// two blanks + time, two empty lines, then every line preceded by three blanks.
QStringList tabListReportLines(const QString& title, const QDateTime& printedAt,
                               const QStringList& lines);

// "Printed : " line's date and time part: short date, two blanks, long time.
QString printedStamp(const QDateTime& at);

}  // namespace vantrel
