#pragma once

#include <QStringList>

class QFont;
class QPrinter;
class QWidget;

namespace vantrel {

struct GridReport;

// The report font: fixed pitch, 9 points.
QFont reportFont();

// How many characters of the report font one line holds on `printer`'s
// paper, upright and turned.
struct ReportPageWidth {
    int portraitChars = 0;
    int landscapeChars = 0;
};
ReportPageWidth reportPageWidth(QPrinter& printer);

// Prints report lines on `printer` as a text device: the report font, one
// line after the other, a new page when the page is full, tabs expanded to 8
// columns. Shows the hour-glass cursor while it runs. On any failure shows
// "Error printing report ... quitting" (alertBox) and returns false.
bool printReportLines(QPrinter& printer, const QStringList& lines, QWidget* parent);

// The whole print request: asks the print dialog (through the dialogs seam)
// and prints on confirmation. A machine without printers prints to a PDF
// file. Returns false when cancelled or failed.
bool printReport(const QStringList& lines, QWidget* parent);

// The same for a result grid: after the print dialog the report is fitted
// to the chosen paper (fitGridReport), upright when it fits, turned when it
// is wider, in the orientation it needs; a user who chose landscape keeps it.
bool printGridReport(const GridReport& report, QWidget* parent);

}  // namespace vantrel
