#pragma once

#include "stats/StatsTotals.h"

#include <QList>
#include <QWidget>

class QChartView;
class QRadioButton;
class QStackedWidget;
class QStandardItemModel;
class QToolButton;

namespace vantrel {

class StatsTable;

// The "Combined" page: the access, creation and modification ages side by
// side, as one listing (bytes and files of each per age class, oldest
// first) or as one chart with three bars per class ("Accessed" red,
// "Created" green, "Modified" yellow), by size in MB or by number of files.
class CombinedPage : public QWidget {
    Q_OBJECT
public:
    explicit CombinedPage(QWidget* parent = nullptr);

    // fillCombinedGridDates and the combined chart.
    void setTotals(const StatsTotals& totals);
    void viewClick();
    [[nodiscard]] QList<QWidget*> viewControls() const;
    [[nodiscard]] bool listingShown() const;

    QRadioButton* rgCombine0 = nullptr;  // "Listing"
    QRadioButton* rbCombine1 = nullptr;  // "Chart by Size (in MB)"
    QRadioButton* rbCombine2 = nullptr;  // "Chart by Number of Files"
    StatsTable* gridCombine = nullptr;
    QChartView* chartCombine = nullptr;
    QToolButton* SpeedButton4 = nullptr;

private:
    StatsTotals m_totals;
    QStandardItemModel* m_model = nullptr;
    QStackedWidget* m_views = nullptr;
};

}  // namespace vantrel
