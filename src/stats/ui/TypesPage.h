#pragma once

#include "stats/StatsTotals.h"
#include "stats/TypeTableModel.h"

#include <QList>
#include <QWidget>

class QAction;
class QActionGroup;
class QRadioButton;
class QStackedWidget;

namespace vantrel {

class RotatingPie;
class StatsTable;

// The "Types" page: every extension of the last run with its type, bytes,
// files and average size, as a listing (sorted by one of five orders from
// its context menu) or as a pie of the twelve largest types by size, by
// number of files or by average size. The pie follows the listing: choosing
// a pie sorts the listing by that measure and takes its first twelve rows
// with a figure above 0, each slice labelled with the type and its share.
class TypesPage : public QWidget {
    Q_OBJECT
public:
    explicit TypesPage(QWidget* parent = nullptr);

    // doFileTypes: shows the types of a run, sorted by extension.
    void setTypes(const QHash<QByteArray, TypeTotals>& types);
    // rgTypesClick: the listing, or the pie of the chosen measure.
    void rgTypesClick();
    // SortbyExtensionClick and its four siblings; refused below two rows.
    void sortBy(TypeSort sort);
    [[nodiscard]] bool listingShown() const;
    // The listing as a printed report's rows (the title row first) and the
    // column widths it is printed with (in pixels, six to a character).
    [[nodiscard]] QList<QStringList> reportRows() const;
    // The controls a run disables.
    [[nodiscard]] QList<QWidget*> viewControls() const;

    TypeTableModel* model() const { return m_model; }
    QAction* sortAction(TypeSort sort) const { return m_sortActions.value(int(sort)); }

    QRadioButton* rgTypes0 = nullptr;  // "Listing"
    QRadioButton* rgTypes1 = nullptr;  // "Pie by Size"
    QRadioButton* rgTypes2 = nullptr;  // "Pie by # Files"
    QRadioButton* rgTypes3 = nullptr;  // "Pie by Average Size"
    StatsTable* gridTypes = nullptr;
    RotatingPie* chartPie = nullptr;

private:
    void fillPie(TypeSort measure);

    TypeTableModel* m_model = nullptr;
    QStackedWidget* m_views = nullptr;
    QActionGroup* m_sortGroup = nullptr;
    QList<QAction*> m_sortActions;
};

}  // namespace vantrel
