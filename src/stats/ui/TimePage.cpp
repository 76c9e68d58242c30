#include "stats/ui/TimePage.h"

#include "stats/ui/ClassPage.h"
#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsColours.h"
#include "text/Formats.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLegend>
#include <QLineSeries>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace vantrel {

TimePage::TimePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageTime"));
    Chart4 = makeChartView(QStringLiteral("Chart4"), this);
    QChart* chart = Chart4->chart();
    Series10 = new QLineSeries;
    Series10->setName(QStringLiteral("Modified time"));
    Series10->setColor(StatsColour::Red);
    Series11 = new QLineSeries;
    Series11->setName(QStringLiteral("Created time"));
    Series11->setColor(StatsColour::Lime);
    for (QLineSeries* s : {Series10, Series11}) {
        QPen pen = s->pen();
        pen.setWidth(2);
        s->setPen(pen);
        s->setPointsVisible(true);
        chart->addSeries(s);
    }

    // One tick and label per hour, in the short time format.
    hourAxis = new QCategoryAxis;
    hourAxis->setObjectName(QStringLiteral("hourAxis"));
    hourAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const TextLocale& loc = TextLocale::current();
    for (int h = 0; h < kHours; ++h)
        hourAxis->append(loc.locale.toString(QTime(h, 0), QLocale::ShortFormat), h);
    hourAxis->setRange(0, kHours - 1);
    hourAxis->setLabelsAngle(-90);
    hourAxis->setTitleText(QStringLiteral(
        "Time of day file was modified/created (access time is not recorded by Win95)"));
    chart->addAxis(hourAxis, Qt::AlignBottom);
    auto* counts = new QValueAxis;
    counts->setTitleText(QStringLiteral("Numer of files"));
    counts->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(counts, Qt::AlignLeft);
    for (QLineSeries* s : {Series10, Series11}) {
        s->attachAxis(hourAxis);
        s->attachAxis(counts);
    }
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignTop);

    SpeedButton5 = makeInfoButton(
        QStringLiteral("SpeedButton5"),
        QStringLiteral("Note: Sometimes software vendors use the file modified time to indicate "
                       "the version number of a product. For example, a file with the time of "
                       "02:10 am would represent version 2.1 of a certain product."),
        this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(SpeedButton5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Chart4, 1);
    layout->addLayout(bottom);
    setTotals(StatsTotals{});
}

void TimePage::setTotals(const StatsTotals& totals) {
    qint64 largest = 0;
    const struct {
        QLineSeries* series;
        HourKind kind;
    } lines[] = {{Series10, HourKind::Modified}, {Series11, HourKind::Created}};
    for (const auto& l : lines) {
        QList<QPointF> points;
        for (int h = 0; h < kHours; ++h) {
            const qint64 n = totals.hourCount[std::size_t(l.kind)][std::size_t(h)];
            points.append(QPointF(h, double(n)));
            largest = qMax(largest, n);
        }
        l.series->replace(points);
    }
    auto* counts = qobject_cast<QValueAxis*>(Chart4->chart()->axes(Qt::Vertical).value(0));
    if (counts)
        setValueRange(counts, double(largest), false);
}

}  // namespace vantrel
