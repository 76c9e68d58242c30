#pragma once

#include <QObject>

class QEvent;
class QWidget;

namespace vantrel {

// What a result window guards against while the user works in it:
//  - Enter or Return in the grid never reaches the window's default button
//    (that would start a new scan and throw the rows and marks away); the
//    grid itself does nothing with them either;
//  - while hints are off (setHintsShown(false), for the time of a scan), no
//    widget of the window shows its tool tip; other windows keep theirs.
//
// The guard is a child of `window` and dies with it; hints that are off when
// it goes are back on. `grid` is any widget of the window (the result grid).
class ResultWindowGuard : public QObject {
    Q_OBJECT
public:
    ResultWindowGuard(QWidget* window, QWidget* grid);
    ~ResultWindowGuard() override;

    // Off: the guard watches every event of the application for tool tips
    // of the window's widgets, until hints are shown again.
    void setHintsShown(bool shown);
    [[nodiscard]] bool hintsShown() const { return m_hintsShown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QWidget* m_grid;
    bool m_hintsShown = true;
};

}  // namespace vantrel
