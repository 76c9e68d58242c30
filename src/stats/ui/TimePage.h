#pragma once

#include "stats/StatsTotals.h"

#include <QWidget>

class QCategoryAxis;
class QChartView;
class QLineSeries;
class QToolButton;

namespace vantrel {

// The "Time" page: files by the hour of day of their modification time
// (red) and of their creation time (lime, where the file system records
// it), as two lines over 24 hourly ticks.
class TimePage : public QWidget {
    Q_OBJECT
public:
    explicit TimePage(QWidget* parent = nullptr);

    // doFileTimes.
    void setTotals(const StatsTotals& totals);

    QChartView* Chart4 = nullptr;
    QLineSeries* Series10 = nullptr;  // "Modified time"
    QLineSeries* Series11 = nullptr;  // "Created time"
    QCategoryAxis* hourAxis = nullptr;
    QToolButton* SpeedButton5 = nullptr;
};

}  // namespace vantrel
