#pragma once

#include <QIcon>
#include <QRect>

class QPainter;

namespace vantrel {

// The program's icon, drawn at the usual sizes: a disk whose used space is
// cut open like a pie, with the slice that is won back lifted out.
QIcon programIcon();

// The launcher's background: a vertical gradient filling `area`.
void paintBackground(QPainter& painter, const QRect& area);

}  // namespace vantrel
