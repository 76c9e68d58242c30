#pragma once

#include <QString>

#include <functional>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace vantrel {

class ResultGrid;

// Buttons of a tool window's row stand this far apart, and the first this
// far from the window's left edge (the top panel's contents start there too).
inline constexpr int kButtonGap = 3;

// The buttons that act on a result grid's rows, as the file-listing tools
// show them after a scan, in row order. A null button is one the window
// does not have.
struct ResultButtons {
    QPushButton* mark = nullptr;       // "&Mark"
    QPushButton* remove = nullptr;     // "Delete"
    QPushButton* print = nullptr;      // "&Print"
    QPushButton* clipboard = nullptr;  // "C&lipboard"
    QPushButton* browse = nullptr;     // "&Browse"
    QPushButton* details = nullptr;    // "&Details"
};

// The row of push buttons between a tool window's top panel and its grid:
// the panel "pnlButtons" (a child of the window; the window places it), its
// buttons side by side from the left in the order they are added, the rest
// of the row empty. Every button is made by pushButton (text/ui/Controls.h):
// named, never auto-default. The row object itself only builds; the panel
// and its buttons belong to the window.
class ButtonRow {
public:
    explicit ButtonRow(QWidget* window);

    [[nodiscard]] QWidget* panel() const { return m_panel; }

    // Appends a button; `hint` empty: no tool tip (yet).
    QPushButton* add(const QString& text, const char* name, const QString& hint = QString());
    // "&Start", the window's default button (Enter in a field starts the scan).
    QPushButton* addStart(const char* name, const QString& hint = QString());
    // "Close" with "Close window".
    QPushButton* addClose();
    // "&Abort" (the scan frame gives it its hint and shows it only while a
    // scan runs). Added just before the buttons that show only after a scan,
    // so that the two share one place and the row never has a gap there.
    QPushButton* addAbort();
    // Mark, Delete, Print, Clipboard, Browse and Details with the texts and
    // hints of a list of files (btMark, btDelete, btPrint, btClip, btBrowse,
    // btDetails).
    ResultButtons addResultButtons();

private:
    QWidget* m_panel = nullptr;
    QHBoxLayout* m_row = nullptr;
};

// Connects the buttons that only hand on to `grid`: Mark marks the current
// row (DeleteAllFiles), Print prints the grid under the title `printTitle`
// gives at the click, Clipboard copies it, Browse and Details ask for the
// current row's browser and details (the grid's signals); Delete is enabled
// while anything is marked (its click is the window's: what deleting does
// differs). Null buttons are left alone.
void relayToGrid(const ResultButtons& buttons, ResultGrid* grid,
                 std::function<QString()> printTitle);

}  // namespace vantrel
