#pragma once

class QWidget;

namespace vantrel {

// Prints a page of a window as it is drawn, on white: asks the print
// dialog (through the dialogs seam; a machine without printers prints to a
// PDF file), then draws the page's image scaled to the paper. For the
// printout the page and its charts and listings are given a white
// background, and their own colours back afterwards. Shows "Error printing
// report ... quitting" when the printer cannot be opened. False when
// cancelled or failed.
bool printPageImage(QWidget& page, QWidget* parent);

}  // namespace vantrel
