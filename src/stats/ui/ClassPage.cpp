#include "stats/ui/ClassPage.h"

#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsColours.h"
#include "stats/ui/StatsTable.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantrel {

QList<QRadioButton*> makeViewChoices(const QString& listingName, const QString& sizeName,
                                     const QString& countName, QWidget* parent) {
    QList<QRadioButton*> out;
    const QString texts[] = {QStringLiteral("Listing"), QStringLiteral("Chart by Size (in MB)"),
                             QStringLiteral("Chart by Number of Files")};
    const QString names[] = {listingName, sizeName, countName};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(texts[i], parent);
        rb->setObjectName(names[i]);
        out.append(rb);
    }
    out[1]->setChecked(true);
    return out;
}

QToolButton* makeInfoButton(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(QStringLiteral("i"));
    b->setToolTip(QStringLiteral("About these figures"));
    QObject::connect(b, &QToolButton::clicked, parent, [text, parent] { infoBox(text, parent); });
    return b;
}

ClassPage::ClassPage(const ClassPageSetup& setup, QWidget* parent)
    : QWidget(parent), m_setup(setup) {
    setObjectName(setup.pageName);
    const QList<QRadioButton*> choices =
        makeViewChoices(setup.choiceName + QLatin1Char('0'), setup.choiceName + QLatin1Char('1'),
                        setup.choiceName + QLatin1Char('2'), this);
    listing = choices[0];
    bySize = choices[1];
    byCount = choices[2];

    m_model = new QStandardItemModel(this);
    grid = new StatsTable(this);
    grid->setObjectName(setup.gridName);
    grid->setModel(m_model);
    chart = makeChartView(setup.chartName, this);
    m_views = new QStackedWidget(this);
    m_views->addWidget(grid);
    m_views->addWidget(chart);

    auto* choiceRow = new QHBoxLayout;
    for (QRadioButton* rb : choices) {
        choiceRow->addWidget(rb);
        connect(rb, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                viewClick();
        });
    }
    choiceRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choiceRow);
    layout->addWidget(m_views, 1);
    if (!setup.infoName.isEmpty()) {
        info = makeInfoButton(setup.infoName, setup.infoText, this);
        auto* bottom = new QHBoxLayout;
        bottom->addStretch(1);
        bottom->addWidget(info);
        layout->addLayout(bottom);
    }
    setRows({});
}

QList<QWidget*> ClassPage::viewControls() const {
    return {listing, bySize, byCount};
}

bool ClassPage::listingShown() const {
    return listing->isChecked();
}

void ClassPage::setRows(const QList<ClassRow>& rows) {
    m_rows = rows;
    QList<QStringList> cells;
    for (const ClassRow& r : rows)
        cells.append({r.label, numberText(r.bytes), numberText(r.count)});
    fillListing(
        *m_model,
        {m_setup.classTitle, QStringLiteral("Total file size"), QStringLiteral("Number of files")},
        cells);
    const int x = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    grid->setColumnWidth(0, x * 20);
    grid->setColumnWidth(1, x * 24);
    grid->horizontalHeader()->setStretchLastSection(true);
    viewClick();
}

void ClassPage::viewClick() {
    if (listing->isChecked()) {
        m_views->setCurrentWidget(grid);
        return;
    }
    const bool inBytes = bySize->isChecked();
    QList<ClassBar> bars;
    // The first class at the bottom: the listing's rows in reverse.
    for (qsizetype i = m_rows.size() - 1; i >= 0; --i) {
        const ClassRow& r = m_rows[i];
        const int slot = int(m_rows.size() - 1 - i);
        bars.append(ClassBar{r.label, inBytes ? double(r.bytes) / 1048576.0 : double(r.count),
                             slotColour(slot)});
    }
    showClassBars(chart->chart(), inBytes ? m_setup.bytesTitle : m_setup.countTitle, bars,
                  inBytes ? 2 : 0);
    m_views->setCurrentWidget(chart);
}

}  // namespace vantrel
