#pragma once

#include "stats/StatsTotals.h"

#include <QWidget>

namespace vantrel {

class StatsTable;

// The "Size × age" page: bytes and files by size class (largest first,
// down) and age of the last modification ("Not recorded", then youngest to
// oldest, across). The cell with the most bytes is highlighted: old and big
// is what to clean first. Copied, each cell gives "bytes (files)".
class SizeAgePage : public QWidget {
    Q_OBJECT
public:
    explicit SizeAgePage(QWidget* parent = nullptr);

    void setTotals(const StatsTotals& totals);
    // The highlighted cell (size class, age class), or (-1, -1) with no bytes.
    [[nodiscard]] QPair<int, int> largestCell() const;

    StatsTable* gridSizeAge = nullptr;

private:
    class Model;
    Model* m_model = nullptr;
};

}  // namespace vantrel
