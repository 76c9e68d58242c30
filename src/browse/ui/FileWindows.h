#pragma once

#include <QByteArray>

class QWidget;

namespace vantrel {

class ResultGrid;

// The viewer and the details window of one file (exact bytes of its path),
// shown modally over `parent` through the dialogs seam. Every result grid
// opens them this way.
void showFileView(QWidget* parent, const QByteArray& path);
void showFileDetails(QWidget* parent, const QByteArray& path);
// Shows them over `window` whenever `grid` asks for them (its View and
// Details entries, the Details button).
void openFileWindowsFrom(ResultGrid* grid, QWidget* window);

}  // namespace vantrel
