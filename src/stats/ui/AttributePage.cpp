#include "stats/ui/AttributePage.h"

#include "stats/StatsTables.h"
#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsColours.h"
#include "text/Formats.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace vantrel {

namespace {

const char* const kNames[kStatsAttributes] = {"Hidden", "ReadOnly", "System", "Archive"};

const QString kArchiveNote =
    QStringLiteral("Linux file systems keep no archive attribute, so no file counts here.");

// One set of bars, the first attribute at the top: the categories run
// bottom up from Archive to Hidden, as the rows of the table run top down.
void showShares(QChartView* view, const QString& title, const QList<AttributeRow>& rows,
                bool ofBytes, const QColor& colour) {
    QChart* chart = view->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(title);
    auto* set = new QBarSet(QString());
    QStringList labels;
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const double share = ofBytes ? rows[i].bytesPercent : rows[i].countPercent;
        set->append(std::round(share * 100.0) / 100.0);
        labels.append(chartText(rows[i].label));
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value %"));
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);
    set->setColor(colour);
    set->setBorderColor(colour.darker(130));
    set->setLabelColor(Qt::black);
    auto* categories = new QBarCategoryAxis;
    categories->append(labels);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    values->setRange(0, 100);
    values->setLabelFormat(QStringLiteral("%.0f %%"));
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
}

QLabel* figureLabel(const QString& name, QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("0"), parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

}  // namespace

AttributePage::AttributePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageAttribute"));
    auto* table = new QGridLayout;
    const QStringList heads = {QString(), QStringLiteral("# Files"),
                               QStringLiteral("% of total # files"), QStringLiteral("File Sizes"),
                               QStringLiteral("% of total size")};
    for (int c = 0; c < heads.size(); ++c) {
        auto* head = new QLabel(heads[c], this);
        QFont f = head->font();
        f.setBold(true);
        head->setFont(f);
        table->addWidget(head, 0, c, c == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }
    const int figureWidth = fontMetrics().horizontalAdvance(QStringLiteral("9,999,999,999,999"));
    for (int a = 0; a < kStatsAttributes; ++a) {
        const QString key = QString::fromLatin1(kNames[a]);
        auto* name = new QLabel(attributeLabel(StatsAttribute(a)), this);
        QLabel* figures[] = {figureLabel(QStringLiteral("lblN") + key, this),
                             figureLabel(QStringLiteral("lblPctN") + key, this),
                             figureLabel(QStringLiteral("lblSz") + key, this),
                             figureLabel(QStringLiteral("lblPctSz") + key, this)};
        table->addWidget(name, a + 1, 0);
        for (int c = 0; c < 4; ++c) {
            figures[c]->setMinimumWidth(figureWidth);
            table->addWidget(figures[c], a + 1, c + 1);
        }
        if (StatsAttribute(a) == StatsAttribute::Archive) {
            name->setToolTip(kArchiveNote);
            for (QLabel* l : figures)
                l->setToolTip(kArchiveNote);
        }
        lblN.append(figures[0]);
        lblPctN.append(figures[1]);
        lblSz.append(figures[2]);
        lblPctSz.append(figures[3]);
    }
    table->setHorizontalSpacing(24);
    table->setColumnStretch(5, 1);

    Chart2 = makeChartView(QStringLiteral("Chart2"), this);
    Chart3 = makeChartView(QStringLiteral("Chart3"), this);
    auto* charts = new QHBoxLayout;
    charts->addWidget(Chart2, 1);
    charts->addWidget(Chart3, 1);
    auto* note = new QLabel(
        QStringLiteral("Note it is possible that some files may have more than one attribute "
                       "set.  For example many system files are also hidden."),
        this);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(table);
    layout->addWidget(note);
    layout->addLayout(charts, 1);
    setTotals(StatsTotals{});
}

void AttributePage::setTotals(const StatsTotals& totals) {
    const QList<AttributeRow> rows = attributeRows(totals);
    for (int a = 0; a < kStatsAttributes; ++a) {
        lblN[a]->setText(numberText(rows[a].count));
        lblSz[a]->setText(numberText(rows[a].bytes));
        lblPctN[a]->setText(percentLabel(rows[a].countPercent, 2));
        lblPctSz[a]->setText(percentLabel(rows[a].bytesPercent, 2));
    }
    showShares(Chart2, QStringLiteral("% of total # files"), rows, false, StatsColour::Red);
    showShares(Chart3, QStringLiteral("% of total size"), rows, true, StatsColour::Blue);
}

}  // namespace vantrel
