#pragma once

#include "stats/StatsTables.h"

#include <QList>
#include <QWidget>

class QChartView;
class QGridLayout;
class QLabel;
class QTextEdit;
class QWidget;

namespace vantrel {

// The "Overhang" page, for a run over exactly one root: for each of five
// cluster sizes the space that rounding every file up to whole clusters
// would waste ("Wasted space") and its share of the occupied space
// ("Percent wasted" bars); an arrow marks the root's own cluster size, and
// the summary gives the number of files, their total size and the space
// they really take on disk (the real allocation, so sparse files and
// compression show).
class OverhangPage : public QWidget {
    Q_OBJECT
public:
    explicit OverhangPage(QWidget* parent = nullptr);

    // doOverHang: shows the figures. False (and nothing changes) when the
    // files total 0 bytes: the page is then not offered.
    bool doOverHang(const OverhangFigures& figures);
    // The row of the arrow (0 for "4K" .. 4 for "64K"), or -1 when hidden.
    [[nodiscard]] int arrowRow() const { return m_arrowRow; }

    QList<QLabel*> lblCSize;  // "4K" .. "64K"
    QList<QLabel*> lblOver;   // the wasted bytes of each
    QLabel* imArrow = nullptr;
    QWidget* pnlOverhang = nullptr;
    QLabel* lblNumFiles = nullptr;
    QLabel* lblSize = nullptr;
    QLabel* lblLbl = nullptr;
    QChartView* chartOverhang = nullptr;
    QTextEdit* Memo1 = nullptr;

private:
    void drawClusterArrow(int clusterIndex);

    QGridLayout* m_table = nullptr;
    int m_arrowRow = -1;
};

}  // namespace vantrel
