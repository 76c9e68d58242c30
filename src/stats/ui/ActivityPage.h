#pragma once

#include "stats/StatsTotals.h"

#include <QWidget>

namespace vantrel {

class StatsTable;

// The "Activity" page: a heat map of modification times, the days of the
// week (Monday first) down and the 24 hours of the day across, each cell
// showing how many files were last changed then, coloured by that number,
// its tooltip giving files and bytes. Copied, the table gives the counts.
class ActivityPage : public QWidget {
    Q_OBJECT
public:
    explicit ActivityPage(QWidget* parent = nullptr);

    void setTotals(const StatsTotals& totals);

    StatsTable* gridActivity = nullptr;

private:
    class Model;
    Model* m_model = nullptr;
};

}  // namespace vantrel
