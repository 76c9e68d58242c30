#pragma once

#include <QStringList>

class QPrinter;
class QWidget;

namespace vantrel {

// Prints report lines on `printer` as a text device: a 9-point fixed-pitch
// font, one line after the other, a new page when the page is full, tabs
// expanded to 8 columns. Shows the hour-glass cursor while it runs. On any
// failure shows "Error printing report ... quitting" (alertBox) and returns
// false.
bool printReportLines(QPrinter& printer, const QStringList& lines, QWidget* parent);

// The whole print request: asks the print dialog (through the dialogs seam)
// and prints on confirmation. A machine without printers prints to a PDF
// file. Returns false when cancelled or failed.
bool printReport(const QStringList& lines, QWidget* parent);

}  // namespace vantrel
