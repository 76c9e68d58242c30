#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QChart;
class QChartView;
class QPieSeries;
class QScrollBar;
class QTimer;
class QValueAxis;

namespace vantrel {

// A text as a chart shows it: charts read their labels as rich text, so
// "<= 7 days" must be escaped to show.
[[nodiscard]] QString chartText(const QString& text);

// A value axis from 0 to a round number at or above `largest`, labelled in
// whole numbers (one decimal below 10 when `fractions`).
void setValueRange(QValueAxis* axis, double largest, bool fractions);

// A chart view as the statistics pages use them: antialiased, white, no
// animation unless asked for, legend hidden unless a chart shows one.
QChartView* makeChartView(const QString& name, QWidget* parent);

// One bar in a chart of classes: its label, value and colour.
struct ClassBar {
    QString label;
    double value = 0;
    QColor colour;
};

// Fills `chart` with horizontal bars, one bar set per class so that each
// class has its own colour and its own line in the legend; the first bar is
// drawn at the bottom. Each bar is labelled with its value; the legend
// gives each class's share of the total ("0 - 16K  12.5 %"). Replaces what
// the chart showed before; `title` becomes its only title line.
void showClassBars(QChart* chart, const QString& title, const QList<ClassBar>& bars, int decimals);

// A pie that turns: a click on it starts or stops the turning (3 degrees
// every 150 ms); the scroll bar below it (0 .. 360) shows the angle and
// sets it when moved.
class RotatingPie : public QWidget {
    Q_OBJECT
public:
    RotatingPie(const QString& name, QWidget* parent = nullptr);

    QChartView* chartView() const { return m_view; }
    QChart* chart() const;
    QPieSeries* series() const { return m_series; }
    QScrollBar* scrollBar() const { return m_scroll; }
    QTimer* timer() const { return m_timer; }

    // Starts or stops the turning (what a click does).
    void toggleTurning();
    // Turns the pie to `degrees` (0 .. 360).
    void setAngle(int degrees);
    [[nodiscard]] int angle() const { return m_angle; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();

    QChartView* m_view = nullptr;
    QPieSeries* m_series = nullptr;
    QScrollBar* m_scroll = nullptr;
    QTimer* m_timer = nullptr;
    int m_angle = 0;
};

}  // namespace vantrel
