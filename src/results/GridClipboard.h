#pragma once

#include "results/GridLayout.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

// The lines that "C&lipboard" copies for a grid, by the tool's form:
// - ResultLines: `resultLines` as they are (the result's tab-separated lines
//   in the order they were added);
// - TitleAndRowsTabbed: `titles`, then every row of `rows`, cells joined by tabs;
// - FirstFiveCellsTabbed: every row of `rows`, its first five cells each
//   followed by a tab (missing cells count as empty);
// - None: nothing.
// `rows` are the data rows in grid order.
QStringList clipboardLines(ClipboardForm form, const QStringList& titles,
                           const QList<QStringList>& rows, const QStringList& resultLines);

// The clipboard text: the lines separated by CR LF (none after the last).
QString clipboardText(ClipboardForm form, const QStringList& titles, const QList<QStringList>& rows,
                      const QStringList& resultLines);

}  // namespace vantrel
