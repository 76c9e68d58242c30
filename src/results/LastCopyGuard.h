#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantrel {

// The warning shown before marked files are deleted when every copy of some
// group of duplicates is among them, so that the last copy of a file is
// never lost unasked: "All 3 copies of /home/ann/report.odt are marked."
// (the group's first path), with how many other groups are marked in full,
// then the question whether to go on. Empty when every group keeps at least
// one unmarked path (groups of fewer than two paths are ignored).
QString lastCopyWarning(const QList<QList<QByteArray>>& groups, const QList<QByteArray>& marked);

}  // namespace vantrel
