#include "stats/ui/SpacePage.h"

#include "scan/ui/DriveCheckList.h"
#include "stats/StatsTables.h"
#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsColours.h"
#include "text/Formats.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QLegend>
#include <QPieSeries>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace vantrel {

namespace {

QLabel* label(const QString& text, const QString& name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QFrame* swatch(const QColor& colour, const QString& name, QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(QFrame::Box);
    f->setFixedSize(18, 14);
    f->setAutoFillBackground(true);
    QPalette p = f->palette();
    p.setColor(QPalette::Window, colour);
    f->setPalette(p);
    return f;
}

}  // namespace

SpacePage::SpacePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageSpace"));
    pckStatDrive = new DriveCheckList(this);
    pckStatDrive->setObjectName(QStringLiteral("pckStatDrive"));
    pckStatDrive->setSelectAllOffered(true);
    pckStatDrive->setToolTip(QStringLiteral("Right click to select/deselect all"));
    pckStatDrive->setFixedWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 34);

    rgSpace1 = new QRadioButton(QStringLiteral("Pie - percent"), this);
    rgSpace1->setObjectName(QStringLiteral("rgSpace1"));
    rgSpace2 = new QRadioButton(QStringLiteral("Bar - totals"), this);
    rgSpace2->setObjectName(QStringLiteral("rgSpace2"));
    rgSpace2->setChecked(true);

    lblTotalC = label(QStringLiteral("Total Capacity:"), QStringLiteral("lblTotalC"), this);
    lblTotal = label(QString(), QStringLiteral("lblTotal"), this);
    lblTot = label(QString(), QStringLiteral("lblTot"), this);
    lblFreeC = label(QStringLiteral("Free Space:"), QStringLiteral("lblFreeC"), this);
    Panel1 = swatch(StatsColour::Fuchsia, QStringLiteral("Panel1"), this);
    lblFree = label(QString(), QStringLiteral("lblFree"), this);
    lblPct = label(QString(), QStringLiteral("lblPct"), this);
    Label26 = label(QStringLiteral("Used Space:"), QStringLiteral("Label26"), this);
    Panel2 = swatch(StatsColour::Blue, QStringLiteral("Panel2"), this);
    lblUsed = label(QString(), QStringLiteral("lblUsed"), this);
    lblPct2 = label(QString(), QStringLiteral("lblPct2"), this);
    lblReservedC = label(QStringLiteral("Reserved Space:"), QStringLiteral("lblReservedC"), this);
    lblReservedC->setToolTip(
        QStringLiteral("Blocks the file system keeps back for the system administrator"));
    Panel3 = swatch(StatsColour::Gray, QStringLiteral("Panel3"), this);
    lblReserved = label(QString(), QStringLiteral("lblReserved"), this);
    lblPct3 = label(QString(), QStringLiteral("lblPct3"), this);
    for (QLabel* l : {lblTotal, lblFree, lblUsed, lblReserved})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_figureLabels = {lblTotalC, lblFreeC, Label26, lblReservedC};

    chartSpaceBar = makeChartView(QStringLiteral("chartSpaceBar"), this);
    chartSpaceBar->chart()->setAnimationOptions(QChart::SeriesAnimations);
    chartSpaceBar->chart()->setAnimationDuration(600);
    chartSpacePie = new RotatingPie(QStringLiteral("chartSpacePie"), this);
    chartSpacePie->setAngle(60);
    m_charts = new QStackedWidget(this);
    m_charts->addWidget(chartSpaceBar);
    m_charts->addWidget(chartSpacePie);

    auto* figures = new QGridLayout;
    const struct {
        QLabel* caption;
        QFrame* colour;
        QLabel* figure;
        QLabel* unit;
    } rows[] = {{lblTotalC, nullptr, lblTotal, lblTot},
                {Label26, Panel2, lblUsed, lblPct2},
                {lblReservedC, Panel3, lblReserved, lblPct3},
                {lblFreeC, Panel1, lblFree, lblPct}};
    int r = 0;
    for (const auto& row : rows) {
        figures->addWidget(row.caption, r, 0);
        if (row.colour)
            figures->addWidget(row.colour, r, 1);
        figures->addWidget(row.figure, r, 2);
        figures->addWidget(row.unit, r, 3);
        ++r;
    }
    figures->setColumnMinimumWidth(
        2, fontMetrics().horizontalAdvance(QStringLiteral("9,999,999,999")));
    figures->setColumnStretch(4, 1);
    auto* choice = new QVBoxLayout;
    choice->addWidget(rgSpace2);
    choice->addWidget(rgSpace1);
    choice->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(figures, 1);
    top->addLayout(choice);
    auto* right = new QVBoxLayout;
    right->addLayout(top);
    right->addWidget(m_charts, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pckStatDrive);
    layout->addLayout(right, 1);

    connect(pckStatDrive, &DriveCheckList::tickedChanged, this, &SpacePage::doDiskSize);
    connect(rgSpace1, &QRadioButton::toggled, this, &SpacePage::rgSpaceClick);
    pckStatDrive->fillDriveList();
}

SpacePage::~SpacePage() {
    if (m_thread.joinable())
        m_thread.join();
}

void SpacePage::doDiskSize() {
    if (m_running) {
        m_again = true;
        return;
    }
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    m_again = false;
    QList<QByteArray> roots;
    for (const DriveEntry& d : pckStatDrive->tickedDrives())
        roots.append(d.root);
    m_thread = std::thread([this, roots, timeout = m_timeout] {
        const QList<VolumeProbe> probes = probeVolumes(roots, timeout);
        QMetaObject::invokeMethod(
            this, [this, roots, probes] { showFigures(roots, probes); }, Qt::QueuedConnection);
    });
}

void SpacePage::showFigures(const QList<QByteArray>& roots, const QList<VolumeProbe>& probes) {
    m_running = false;
    if (m_again) {
        doDiskSize();
        return;
    }
    QList<SpaceDrive> drives;
    for (qsizetype i = 0; i < roots.size() && i < probes.size(); ++i) {
        if (probes[i].ready())
            drives.append(SpaceDrive{displayText(roots[i]), probes[i].space});
    }
    m_figures = spaceFigures(drives);
    const SpaceFigures& f = m_figures;

    for (QLabel* l : {lblTotal, lblTot, lblFree, lblPct, lblUsed, lblPct2, lblReserved, lblPct3})
        l->clear();
    QChart* bars = chartSpaceBar->chart();
    bars->removeAllSeries();
    for (QAbstractAxis* axis : bars->axes())
        bars->removeAxis(axis);
    chartSpacePie->series()->clear();

    const bool shown = f.driveCount > 0 && f.capacityBytes > 0;
    for (QWidget* w : QList<QWidget*>{lblTotalC, lblFreeC, Label26, lblReservedC, Panel1, Panel2,
                                      Panel3, m_charts})
        w->setVisible(shown);
    if (shown) {
        const QString unit = f.unitText();
        lblTot->setText(unit);
        lblTotal->setText(numberText(qint64(f.inUnit(f.capacityBytes) + 0.005)));
        lblFree->setText(f.amountText(f.freeBytes));
        lblPct->setText(unit + QLatin1Char(' '));
        lblUsed->setText(f.amountText(f.usedBytes));
        lblPct2->setText(unit + QLatin1Char(' '));
        lblReserved->setText(f.amountText(f.reservedBytes));
        lblPct3->setText(unit + QLatin1Char(' '));
        const QColor warn =
            f.lowOnSpace() ? StatsColour::Red : palette().color(QPalette::WindowText);
        for (QLabel* l : {lblFree, lblPct}) {
            QPalette p = l->palette();
            p.setColor(QPalette::WindowText, warn);
            l->setPalette(p);
        }

        auto* used = new QBarSet(QStringLiteral("Used space"));
        used->setColor(StatsColour::Blue);
        auto* reserved = new QBarSet(QStringLiteral("Reserved space"));
        reserved->setColor(StatsColour::Gray);
        auto* free = new QBarSet(QStringLiteral("Free space"));
        free->setColor(StatsColour::Fuchsia);
        QStringList labels;
        for (const SpaceBar& b : f.bars) {
            labels.append(chartText(b.label));
            used->append(b.used);
            reserved->append(b.reserved);
            free->append(b.free);
        }
        auto* series = new QHorizontalStackedBarSeries;
        series->setObjectName(QStringLiteral("Series4"));
        series->append({used, reserved, free});
        bars->addSeries(series);
        auto* categories = new QBarCategoryAxis;
        categories->append(labels);
        bars->addAxis(categories, Qt::AlignLeft);
        series->attachAxis(categories);
        auto* values = new QValueAxis;
        bars->addAxis(values, Qt::AlignBottom);
        series->attachAxis(values);
        double largest = 0;
        for (const SpaceBar& b : f.bars)
            largest = qMax(largest, b.capacity());
        setValueRange(values, largest, false);
        values->setLabelFormat(QStringLiteral("%.0f ") + unit);
        bars->legend()->setVisible(true);
        bars->legend()->setAlignment(Qt::AlignBottom);

        QPieSeries* pie = chartSpacePie->series();
        const struct {
            const char* label;
            qint64 bytes;
            QColor colour;
        } slices[] = {{"Used space", f.usedBytes, StatsColour::Blue},
                      {"Reserved space", f.reservedBytes, StatsColour::Gray},
                      {"Free space", f.freeBytes, StatsColour::Fuchsia}};
        for (const auto& s : slices) {
            if (s.bytes <= 0)
                continue;
            QPieSlice* slice = pie->append(QString::fromLatin1(s.label), double(s.bytes));
            slice->setColor(s.colour);
            slice->setLabelVisible(true);
            slice->setLabel(
                chartText(QString::fromLatin1(s.label) + QStringLiteral("  ") +
                          percentLabel(double(s.bytes) * 100.0 / double(f.capacityBytes), 1)));
        }
    }
    rgSpaceClick();
    Q_EMIT refreshed();
}

void SpacePage::rgSpaceClick() {
    if (m_figures.driveCount == 0)
        return;
    if (rgSpace1->isChecked())
        showPie();
    else
        showBars();
}

void SpacePage::showPie() {
    m_charts->setCurrentWidget(chartSpacePie);
}

void SpacePage::showBars() {
    m_charts->setCurrentWidget(chartSpaceBar);
}

}  // namespace vantrel
