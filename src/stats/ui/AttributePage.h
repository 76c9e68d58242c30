#pragma once

#include "stats/StatsTotals.h"

#include <QList>
#include <QWidget>

class QChartView;
class QLabel;

namespace vantrel {

// The "Attribute" page: for hidden, read-only, system and archive files
// their number and bytes, and their shares of all files found and of all
// bytes as bars (red for files, blue for bytes). A file may carry several
// attributes, so the shares need not add up to 100 percent. Archive is kept
// for the page's shape; no file here carries it.
class AttributePage : public QWidget {
    Q_OBJECT
public:
    explicit AttributePage(QWidget* parent = nullptr);

    // doFileAttrs.
    void setTotals(const StatsTotals& totals);

    QList<QLabel*> lblN;           // lblNHidden, lblNReadOnly, lblNSystem, lblNArchive
    QList<QLabel*> lblSz;          // lblSzHidden, ...
    QList<QLabel*> lblPctN;        // the shares of all files: lblPctNHidden, ...
    QList<QLabel*> lblPctSz;       // the shares of all bytes: lblPctSzHidden, ...
    QChartView* Chart2 = nullptr;  // % of total # files
    QChartView* Chart3 = nullptr;  // % of total size
};

}  // namespace vantrel
