#include "stats/ui/TypesPage.h"

#include "stats/StatsTables.h"
#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsColours.h"
#include "stats/ui/StatsTable.h"

#include <QAction>
#include <QActionGroup>
#include <QChart>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLegend>
#include <QPieSeries>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vantrel {

namespace {

constexpr int kPieSlices = 12;

}  // namespace

TypesPage::TypesPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageTypes"));
    const struct {
        QRadioButton** button;
        const char* text;
        const char* name;
    } choices[] = {{&rgTypes0, "Listing", "rgTypes0"},
                   {&rgTypes1, "Pie by Size", "rgTypes1"},
                   {&rgTypes2, "Pie by # Files", "rgTypes2"},
                   {&rgTypes3, "Pie by Average Size", "rgTypes3"}};
    auto* choiceRow = new QHBoxLayout;
    for (const auto& c : choices) {
        *c.button = new QRadioButton(QString::fromLatin1(c.text), this);
        (*c.button)->setObjectName(QString::fromLatin1(c.name));
        choiceRow->addWidget(*c.button);
        connect(*c.button, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                rgTypesClick();
        });
    }
    choiceRow->addStretch(1);

    m_model = new TypeTableModel(this);
    gridTypes = new StatsTable(this);
    gridTypes->setObjectName(QStringLiteral("gridTypes"));
    gridTypes->setToolTip(QStringLiteral("Right click on grid to sort"));
    gridTypes->setModel(m_model);
    const int x = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    const QList<int> widths = {x * 10, x * 44, x * 18, x * 12, x * 16};
    for (int c = 0; c < widths.size(); ++c)
        gridTypes->setColumnWidth(c, widths[c]);
    gridTypes->horizontalHeader()->setStretchLastSection(true);

    const struct {
        TypeSort sort;
        const char* text;
        const char* name;
    } sorts[] = {{TypeSort::Extension, "Sort by &Extension", "SortbyExtension"},
                 {TypeSort::Type, "Sort by &Type", "SortbyType"},
                 {TypeSort::Size, "Sort by &Size", "SortbySize"},
                 {TypeSort::Count, "Sort by &Number of files", "SortbyNumber"},
                 {TypeSort::Average, "Sort by &Average File Size", "SortbyAverage"}};
    m_sortGroup = new QActionGroup(this);
    m_sortGroup->setExclusive(true);
    for (const auto& s : sorts) {
        auto* action = new QAction(QString::fromLatin1(s.text), this);
        action->setObjectName(QString::fromLatin1(s.name));
        action->setCheckable(true);
        m_sortGroup->addAction(action);
        m_sortActions.append(action);
        const TypeSort sort = s.sort;
        connect(action, &QAction::triggered, this, [this, sort] { sortBy(sort); });
    }
    m_sortActions[0]->setChecked(true);
    gridTypes->setMenuActions(m_sortActions);

    chartPie = new RotatingPie(QStringLiteral("chartPie"), this);
    chartPie->chart()->legend()->setVisible(true);
    chartPie->chart()->legend()->setAlignment(Qt::AlignRight);
    m_views = new QStackedWidget(this);
    m_views->addWidget(gridTypes);
    m_views->addWidget(chartPie);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choiceRow);
    layout->addWidget(m_views, 1);
    rgTypes1->setChecked(true);
}

QList<QWidget*> TypesPage::viewControls() const {
    return {rgTypes0, rgTypes1, rgTypes2, rgTypes3};
}

bool TypesPage::listingShown() const {
    return rgTypes0->isChecked();
}

void TypesPage::setTypes(const QHash<QByteArray, TypeTotals>& types) {
    m_model->setTypes(types);
    // After every run the listing is in extension order again.
    m_model->sortBy(TypeSort::Extension);
    m_sortActions[int(TypeSort::Extension)]->setChecked(true);
    rgTypesClick();
}

void TypesPage::sortBy(TypeSort sort) {
    if (m_model->rowCount() < 2) {
        m_sortActions[int(m_model->sortOrder())]->setChecked(true);
        return;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_model->sortBy(sort);
    QGuiApplication::restoreOverrideCursor();
    m_sortActions[int(sort)]->setChecked(true);
}

void TypesPage::rgTypesClick() {
    if (rgTypes0->isChecked()) {
        m_views->setCurrentWidget(gridTypes);
        return;
    }
    const TypeSort measure = rgTypes1->isChecked()   ? TypeSort::Size
                             : rgTypes2->isChecked() ? TypeSort::Count
                                                     : TypeSort::Average;
    sortBy(measure);
    fillPie(measure);
    m_views->setCurrentWidget(chartPie);
}

void TypesPage::fillPie(TypeSort measure) {
    QPieSeries* pie = chartPie->series();
    pie->clear();
    const int rows = qMin(kPieSlices, m_model->rowCount());
    double total = 0;
    for (int r = 0; r < rows; ++r)
        total += double(qMax<qint64>(m_model->measure(r, measure), 0));
    for (int r = 0; r < rows; ++r) {
        const double value = double(m_model->measure(r, measure));
        if (value <= 0)
            continue;
        QString label = m_model->description(r);
        if (label.isEmpty())
            label = QString::fromUtf8(m_model->extensionKey(r));
        const double share = value * 100.0 / total;
        QPieSlice* slice =
            pie->append(chartText(label + QStringLiteral("  ") + percentLabel(share, 1)), value);
        slice->setColor(slotColour(r));
        slice->setBorderColor(Qt::black);
        // Thin slices are named in the legend only, so no labels overlap.
        slice->setLabelVisible(share >= 3.0);
    }
}

QList<QStringList> TypesPage::reportRows() const {
    QList<QStringList> rows;
    rows.reserve(m_model->rowCount() + 1);
    rows.append(TypeTableModel::titles());
    for (int r = 0; r < m_model->rowCount(); ++r)
        rows.append(m_model->rowTexts(r));
    return rows;
}

}  // namespace vantrel
