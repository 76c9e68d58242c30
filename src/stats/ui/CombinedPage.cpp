#include "stats/ui/CombinedPage.h"

#include "stats/StatsTables.h"
#include "stats/ui/ClassPage.h"
#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsColours.h"
#include "stats/ui/StatsTable.h"
#include "text/Formats.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLegend>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace vantrel {

CombinedPage::CombinedPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageCombined"));
    const QList<QRadioButton*> choices =
        makeViewChoices(QStringLiteral("rgCombine0"), QStringLiteral("rbCombine1"),
                        QStringLiteral("rbCombine2"), this);
    rgCombine0 = choices[0];
    rbCombine1 = choices[1];
    rbCombine2 = choices[2];
    m_model = new QStandardItemModel(this);
    gridCombine = new StatsTable(this);
    gridCombine->setObjectName(QStringLiteral("gridCombine"));
    gridCombine->setModel(m_model);
    chartCombine = makeChartView(QStringLiteral("chartCombine"), this);
    m_views = new QStackedWidget(this);
    m_views->addWidget(gridCombine);
    m_views->addWidget(chartCombine);
    SpeedButton4 = makeInfoButton(
        QStringLiteral("SpeedButton4"),
        QStringLiteral("This chart combines the Accessed, Created and Modified charts"), this);

    auto* choiceRow = new QHBoxLayout;
    for (QRadioButton* rb : choices) {
        choiceRow->addWidget(rb);
        connect(rb, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                viewClick();
        });
    }
    choiceRow->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(SpeedButton4);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choiceRow);
    layout->addWidget(m_views, 1);
    layout->addLayout(bottom);
    setTotals(StatsTotals{});
}

QList<QWidget*> CombinedPage::viewControls() const {
    return {rgCombine0, rbCombine1, rbCombine2};
}

bool CombinedPage::listingShown() const {
    return rgCombine0->isChecked();
}

void CombinedPage::setTotals(const StatsTotals& totals) {
    m_totals = totals;
    const QList<ClassRow> accessed = ageRows(totals, AgeKind::Accessed);
    const QList<ClassRow> created = ageRows(totals, AgeKind::Created);
    const QList<ClassRow> modified = ageRows(totals, AgeKind::Modified);
    QList<QStringList> rows;
    for (qsizetype i = 0; i < modified.size(); ++i)
        rows.append({modified[i].label, numberText(accessed[i].bytes),
                     numberText(accessed[i].count), numberText(created[i].bytes),
                     numberText(created[i].count), numberText(modified[i].bytes),
                     numberText(modified[i].count)});
    fillListing(*m_model,
                {QStringLiteral("Combined dates"), QStringLiteral("Access Size"),
                 QStringLiteral("Access # files"), QStringLiteral("Create Size"),
                 QStringLiteral("Create # files"), QStringLiteral("Modify Size"),
                 QStringLiteral("Modify # files")},
                rows);
    gridCombine->setColumnWidth(0, fontMetrics().horizontalAdvance(QLatin1Char('x')) * 18);
    gridCombine->horizontalHeader()->setStretchLastSection(true);
    viewClick();
}

void CombinedPage::viewClick() {
    if (rgCombine0->isChecked()) {
        m_views->setCurrentWidget(gridCombine);
        return;
    }
    const bool inBytes = rbCombine1->isChecked();
    QChart* chart = chartCombine->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(QStringLiteral("Combination Access/Created/Modified Chart"));

    const struct {
        AgeKind kind;
        const char* title;
        QColor colour;
    } kinds[] = {{AgeKind::Modified, "Modified", StatsColour::Yellow},
                 {AgeKind::Created, "Created", StatsColour::Green},
                 {AgeKind::Accessed, "Accessed", StatsColour::Red}};
    auto* series = new QHorizontalBarSeries;
    series->setBarWidth(0.8);
    double largest = 0;
    for (const auto& k : kinds) {
        auto* set = new QBarSet(QString::fromLatin1(k.title));
        for (int c = 0; c < kAgeClasses; ++c) {
            const auto kind = std::size_t(k.kind);
            const double v = inBytes ? double(m_totals.ageBytes[kind][std::size_t(c)]) / 1048576.0
                                     : double(m_totals.ageCount[kind][std::size_t(c)]);
            set->append(v);
            largest = qMax(largest, v);
        }
        series->append(set);
    }
    chart->addSeries(series);
    for (int i = 0; i < 3; ++i) {
        series->barSets()[i]->setColor(kinds[i].colour);
        series->barSets()[i]->setBorderColor(kinds[i].colour.darker(130));
    }
    QStringList labels;
    for (int c = 0; c < kAgeClasses; ++c)
        labels.append(chartText(ageClassLabel(c)));
    auto* categories = new QBarCategoryAxis;
    categories->append(labels);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    setValueRange(values, largest, inBytes);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->setReverseMarkers(true);
    m_views->setCurrentWidget(chartCombine);
}

}  // namespace vantrel
