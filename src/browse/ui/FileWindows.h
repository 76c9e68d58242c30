#pragma once

#include <QByteArray>

class QWidget;

namespace vantrel {

// The viewer and the details window of one file (exact bytes of its path),
// shown modally over `parent` through the dialogs seam. Every result grid
// opens them this way.
void showFileView(QWidget* parent, const QByteArray& path);
void showFileDetails(QWidget* parent, const QByteArray& path);

}  // namespace vantrel
