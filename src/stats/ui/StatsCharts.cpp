#include "stats/ui/StatsCharts.h"

#include "stats/StatsTables.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QHorizontalBarSeries>
#include <QLegend>
#include <QMouseEvent>
#include <QPieSeries>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace vantrel {

QString chartText(const QString& text) {
    return text.toHtmlEscaped();
}

void setValueRange(QValueAxis* axis, double largest, bool fractions) {
    axis->setRange(0, largest > 0 ? largest : 1);
    axis->applyNiceNumbers();
    axis->setMin(0);
    const bool small = axis->max() < 10;
    axis->setLabelFormat(fractions && small ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
}

QChartView* makeChartView(const QString& name, QWidget* parent) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundBrush(Qt::white);
    chart->legend()->hide();
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 240);
    return view;
}

void showClassBars(QChart* chart, const QString& title, const QList<ClassBar>& bars, int decimals) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(title);

    double total = 0;
    double largest = 0;
    for (const ClassBar& b : bars) {
        total += b.value;
        largest = qMax(largest, b.value);
    }
    auto* series = new QHorizontalBarSeries;
    series->setBarWidth(0.9);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsPrecision(decimals > 0 ? 10 : 15);
    for (const ClassBar& b : bars) {
        const double share = total > 0 ? b.value * 100.0 / total : 0.0;
        auto* set = new QBarSet(chartText(b.label + QStringLiteral("  ") + percentLabel(share, 1)));
        const double shown = decimals > 0 ? std::round(b.value * 100.0) / 100.0 : b.value;
        set->append(shown);
        series->append(set);
    }
    chart->addSeries(series);
    // After the chart's theme has dressed the series.
    const QList<QBarSet*> sets = series->barSets();
    for (qsizetype i = 0; i < sets.size() && i < bars.size(); ++i) {
        const QColor colour = bars[i].colour;
        sets[i]->setColor(colour);
        sets[i]->setBorderColor(colour == Qt::white ? QColor(Qt::black) : colour.darker(130));
        sets[i]->setLabelColor(Qt::black);
    }

    auto* categories = new QBarCategoryAxis;
    categories->append(QStringLiteral(" "));
    categories->setVisible(false);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    setValueRange(values, largest * 1.1, decimals > 0);

    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);
    // The first bar stands at the bottom; the legend lists from the top.
    chart->legend()->setReverseMarkers(true);
}

RotatingPie::RotatingPie(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name + QStringLiteral("Panel"));
    m_view = makeChartView(name, this);
    m_view->setToolTip(QStringLiteral("Click on pie to animate"));
    m_series = new QPieSeries;
    m_series->setPieSize(0.62);
    m_view->chart()->addSeries(m_series);
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName(name + QStringLiteral("ScrollBar"));
    m_scroll->setRange(0, 360);
    m_timer = new QTimer(this);
    m_timer->setInterval(150);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_scroll);
    m_view->viewport()->installEventFilter(this);
    connect(m_timer, &QTimer::timeout, this, &RotatingPie::tick);
    connect(m_scroll, &QScrollBar::valueChanged, this, &RotatingPie::setAngle);
}

QChart* RotatingPie::chart() const {
    return m_view->chart();
}

void RotatingPie::toggleTurning() {
    if (m_timer->isActive())
        m_timer->stop();
    else
        m_timer->start();
}

void RotatingPie::setAngle(int degrees) {
    m_angle = ((degrees % 360) + 360) % 360;
    m_series->setPieStartAngle(m_angle);
    m_series->setPieEndAngle(m_angle + 360);
    if (m_scroll->value() != m_angle && !(m_angle == 0 && m_scroll->value() == 360))
        m_scroll->setValue(m_angle);
}

void RotatingPie::tick() {
    if (!isVisible())
        return;
    setAngle(m_angle + 3);
}

bool RotatingPie::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        toggleTurning();
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantrel
