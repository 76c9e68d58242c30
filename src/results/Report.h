#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

// Plain-text reports, built as lines by pure functions and then printed by
// printReport (results/ui/ReportPrinter.h).

// The grid form: the title, "Printed : " + the short date + two blanks + the
// long time, two empty lines, then every row (row 0 is the title row) with
// each cell left-aligned and padded with blanks to (column width in pixels
// / 6) characters, followed by one blank; longer texts are not cut.
QStringList gridReportLines(const QString& title, const QDateTime& printedAt,
                            const QList<QStringList>& rows, const QList<int>& columnWidthsPx);

// The tab-list form: three blanks and the title, "   Printed : " + date +
// two blanks + time, two empty lines, then every line preceded by three blanks.
QStringList tabListReportLines(const QString& title, const QDateTime& printedAt,
                               const QStringList& lines);

// "Printed : " line's date and time part: short date, two blanks, long time.
QString printedStamp(const QDateTime& at);

}  // namespace vantrel
