#pragma once

#include "stats/StatsTables.h"

#include <QList>
#include <QString>
#include <QWidget>

class QChartView;
class QRadioButton;
class QStackedWidget;
class QStandardItemModel;
class QToolButton;

namespace vantrel {

class StatsTable;

// How one page of class figures is named and titled.
struct ClassPageSetup {
    QString pageName;    // object name of the page
    QString gridName;    // "gridSizes", "gridAccess", ...
    QString chartName;   // "Chart1", "chartAccess", ...
    QString choiceName;  // prefix of the three choices: "rgSize" gives rgSize0..rgSize2
    QString classTitle;  // the listing's first title: "File size", "Accessed Date", ...
    QString bytesTitle;  // the chart's title by size: "File Sizes in MB", ...
    QString countTitle;  // and by number of files: "Number of Files", ...
    QString infoName;    // the information button ("SpeedButton1"), or empty for none
    QString infoText;
};

// A page that shows files and bytes by class, the "Sizes" page and the three
// age pages: a listing of the classes from the largest or oldest down
// ("Total file size", "Number of files"), or a chart of horizontal bars, one
// per class in its own colour, by size in MB or by number of files. The
// first class (the smallest size, or "Not recorded") is the bottom bar, so
// the bars run like the listing's rows.
class ClassPage : public QWidget {
    Q_OBJECT
public:
    ClassPage(const ClassPageSetup& setup, QWidget* parent = nullptr);

    // The classes in listing order (largest or oldest first).
    void setRows(const QList<ClassRow>& rows);
    // rgSizesClick / rgAccessClick: listing, or the chart of the chosen figure.
    void viewClick();
    [[nodiscard]] QList<QWidget*> viewControls() const;
    [[nodiscard]] bool listingShown() const;

    StatsTable* grid = nullptr;
    QChartView* chart = nullptr;
    QRadioButton* listing = nullptr;  // "Listing"
    QRadioButton* bySize = nullptr;   // "Chart by Size (in MB)"
    QRadioButton* byCount = nullptr;  // "Chart by Number of Files"
    QToolButton* info = nullptr;

private:
    ClassPageSetup m_setup;
    QList<ClassRow> m_rows;
    QStandardItemModel* m_model = nullptr;
    QStackedWidget* m_views = nullptr;
};

// The three choices every class page offers, in a row; the named one
// checked. Shared by the combined page.
QList<QRadioButton*> makeViewChoices(const QString& listingName, const QString& sizeName,
                                     const QString& countName, QWidget* parent);
// The small information button at the bottom right of a page.
QToolButton* makeInfoButton(const QString& name, const QString& text, QWidget* parent);

}  // namespace vantrel
