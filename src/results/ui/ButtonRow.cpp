#include "results/ui/ButtonRow.h"

#include "results/ui/ResultGrid.h"
#include "text/ui/Controls.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QWidget>

namespace vantrel {

ButtonRow::ButtonRow(QWidget* window) : m_panel(new QWidget(window)) {
    m_panel->setObjectName(QStringLiteral("pnlButtons"));
    m_row = new QHBoxLayout(m_panel);
    m_row->setContentsMargins(kButtonGap, 0, kButtonGap, 0);
    m_row->setSpacing(kButtonGap);
    m_row->addStretch(1);
}

QPushButton* ButtonRow::add(const QString& text, const char* name, const QString& hint) {
    QPushButton* b = pushButton(text, name, hint, m_panel);
    // Before the stretch that keeps the row to the left.
    m_row->insertWidget(m_row->count() - 1, b);
    return b;
}

QPushButton* ButtonRow::addStart(const char* name, const QString& hint) {
    QPushButton* b = add(QStringLiteral("&Start"), name, hint);
    b->setDefault(true);
    return b;
}

QPushButton* ButtonRow::addClose() {
    return add(QStringLiteral("Close"), "btClose", QStringLiteral("Close window"));
}

QPushButton* ButtonRow::addAbort() {
    return add(QStringLiteral("&Abort"), "btAbort");
}

ResultButtons ButtonRow::addResultButtons() {
    ResultButtons b;
    b.mark = add(QStringLiteral("&Mark"), "btMark",
                 QStringLiteral("Mark file for deletion (double click on grid also works)"));
    b.remove = add(QStringLiteral("Delete"), "btDelete", QStringLiteral("Delete marked files"));
    b.print = add(QStringLiteral("&Print"), "btPrint", QStringLiteral("Print list of files"));
    b.clipboard = add(QStringLiteral("C&lipboard"), "btClip",
                      QStringLiteral("Copy list of files to clipboard"));
    b.browse =
        add(QStringLiteral("&Browse"), "btBrowse", QStringLiteral("Browse this file and folder"));
    b.details =
        add(QStringLiteral("&Details"), "btDetails", QStringLiteral("View more file details"));
    return b;
}

void relayToGrid(const ResultButtons& buttons, ResultGrid* grid,
                 std::function<QString()> printTitle) {
    if (buttons.mark)
        QObject::connect(buttons.mark, &QPushButton::clicked, grid, &ResultGrid::DeleteAllFiles);
    if (buttons.remove) {
        QObject::connect(grid, &ResultGrid::deleteEnabledChanged, buttons.remove,
                         &QPushButton::setEnabled);
        buttons.remove->setEnabled(grid->deleteEnabled());
    }
    if (buttons.print) {
        QObject::connect(buttons.print, &QPushButton::clicked, grid,
                         [grid, title = std::move(printTitle)] {
                             grid->btPrintClick(title ? title() : QString());
                         });
    }
    if (buttons.clipboard)
        QObject::connect(buttons.clipboard, &QPushButton::clicked, grid, &ResultGrid::btClipClick);
    if (buttons.browse) {
        QObject::connect(buttons.browse, &QPushButton::clicked, grid,
                         &ResultGrid::BrowseDirectory1Click);
    }
    if (buttons.details)
        QObject::connect(buttons.details, &QPushButton::clicked, grid, &ResultGrid::Details1Click);
}

}  // namespace vantrel
