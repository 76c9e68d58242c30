#pragma once

#include "dup/PairMatch.h"
#include "dup/ui/DupCompareSource.h"

#include <QByteArray>
#include <QColor>
#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPainter;
class QPrinter;
class QPushButton;
class QToolButton;

namespace vantrel {

// "Compare file pairs": two neighbouring rows of the duplicates grid side by
// side (name, folder, type, size, the three dates with their age,
// attributes, icon, version strings and, on request, a CRC-32 of each
// file's contents). Facts that differ are painted aqua. PgDn and PgUp step
// to the next or previous pair that matches under the search's criterion.
// Either file can be marked in the duplicates grid, run or viewed, and the
// window can be printed (without the highlighting).
//
// One window lives for the whole run and is shown without blocking. The
// duplicates window hands itself over with showFor() each time "P&airs" is
// clicked; the window then takes a copy of that grid (cell texts and exact
// paths) whenever it becomes visible and does not follow later changes of
// the grid until it is shown again. While it has a source it is parented
// to the source's window (a separate top-level window that stays usable
// while the source runs modally), and goes back to its own parent when
// the source closes.
//
// Opening on the last data row starts on the last pair instead (the row
// above it and the last row), so that both sides show a file; a grid with
// one data row shows it on the left and leaves the right side blank, a grid
// without data rows leaves both blank. A side whose file has gone keeps
// showing the file it showed before (only its CRC value is cleared), and
// Run, View and Compute act on that shown file. Buttons of a side that
// shows no file at all are disabled.
//
// Pairs match as the search grouped them; under a criterion with a date
// the files' modification times are compared (read from the files when a
// pair first needs them), never the two-digit-year texts of the grid.
//
// The CRC values are computed on a worker thread. Meanwhile the window has
// the hour-glass cursor and stays responsive, but its buttons and the page
// keys do nothing; Close still hides it at once, and a result that arrives
// for a window closed or shown again meanwhile is dropped. Neither closing
// nor destroying the window ever waits for that thread. Only regular files
// are checksummed: a listed file replaced by a fifo or a device is refused
// at once. A file that cannot be opened or checksummed (an empty file
// among them) shows the failure's message in an error box and leaves both
// CRC values as they were.
class TfrmDupCompare : public QDialog, public DupCompareView {
    Q_OBJECT
public:
    // Runs a file with its associated application; false when none could
    // be started. Replaceable for tests.
    using Launcher = std::function<bool(const QByteArray& path)>;

    explicit TfrmDupCompare(QWidget* parent = nullptr);
    ~TfrmDupCompare() override;

    // DupCompareView
    void showFor(DupCompareSource& source) override;
    void sourceClosing(DupCompareSource& source) override;

    [[nodiscard]] DupCompareSource* source() const { return m_source; }
    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

    // The copy of the grid: its row count (title row included), the left
    // row L of the pair on view, and the file each side shows (empty while
    // a side has shown none).
    [[nodiscard]] int gridRowCount() const { return m_rows.rowCount(); }
    [[nodiscard]] int leftRow() const { return m_left; }
    [[nodiscard]] QByteArray shownPath(int side) const;
    [[nodiscard]] bool crcRunning() const { return m_crcRunning; }

    // Aqua, the colour of a difference.
    [[nodiscard]] static QColor highlightColor() { return QColor(0, 255, 255); }
    // The normal background of the window and its labels.
    [[nodiscard]] QColor normalBackground() const;
    // Whether version line `index` is painted aqua.
    [[nodiscard]] bool versionLineDiffers(int index) const;

    // Draws the window as the printout shows it (white, no aqua) with
    // `painter`, which is set up for the window's own pixel size; the
    // highlighting is back afterwards.
    void renderForPrint(QPainter& painter);

    // Handlers and work methods, named after control and event.
    void FormShow();
    void GetLeftValues(int row);
    void GetRightValues(int row);
    [[nodiscard]] bool qPairMatches(int row) const;
    [[nodiscard]] int GetNextDupRow() const;
    [[nodiscard]] int GetPrevDupRow() const;
    void sbR1Click();
    void sbL1Click();
    void FormKeyUp(int key);
    void btComputeClick();
    void HighlightDifferences();
    void changeBackgroundColor(const QColor& colour);
    void resizeIt();
    void tlBox1DrawItem(QPainter* painter, const QListWidget* list, int index,
                        const QRect& rect) const;
    void btMark1Click();
    void btMark2Click();
    void btLaunch1Click();
    void btLaunch2Click();
    void btView1Click();
    void btView2Click();
    void btPrintClick();
    void btCloseClick();

    // The controls (owned by the window).
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* lblFolder1 = nullptr;
    QLabel* lblFolder2 = nullptr;
    QLabel* lblType1 = nullptr;
    QLabel* lblTYpe2 = nullptr;
    QLabel* lblSizeBytes1 = nullptr;
    QLabel* lblSizebytes2 = nullptr;
    QLabel* lblCreate1 = nullptr;
    QLabel* lblCreate2 = nullptr;
    QLabel* lblModify1 = nullptr;
    QLabel* lblModify2 = nullptr;
    QLabel* lblAccess1 = nullptr;
    QLabel* lblAccess2 = nullptr;
    QLabel* lblAttributes1 = nullptr;
    QLabel* lblAttributes2 = nullptr;
    QLabel* lblCRC1 = nullptr;
    QLabel* lblCRC2 = nullptr;
    QListWidget* tlBox1 = nullptr;
    QListWidget* tlBox2 = nullptr;
    QPushButton* btMark1 = nullptr;
    QPushButton* btMark2 = nullptr;
    QPushButton* btLaunch1 = nullptr;
    QPushButton* btLaunch2 = nullptr;
    QPushButton* btView1 = nullptr;
    QPushButton* btView2 = nullptr;
    QFrame* Panel1 = nullptr;
    QToolButton* sbL1 = nullptr;
    QToolButton* sbR1 = nullptr;
    QPushButton* btCompute = nullptr;
    QPushButton* btPrint = nullptr;
    QPushButton* btClose = nullptr;

Q_SIGNALS:
    // A CRC computation has ended (its result shown, reported or dropped).
    void crcFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The controls of one side.
    struct Side {
        QGroupBox* group = nullptr;
        QLabel* image = nullptr;
        QLabel* folder = nullptr;
        QLabel* type = nullptr;
        QLabel* size = nullptr;
        QLabel* create = nullptr;
        QLabel* modify = nullptr;
        QLabel* access = nullptr;
        QLabel* attributes = nullptr;
        QLabel* crc = nullptr;
        QListWidget* versions = nullptr;
        QPushButton* mark = nullptr;
        QPushButton* launch = nullptr;
        QPushButton* view = nullptr;
        QByteArray shownPath;
    };

    void buildForm();
    QGroupBox* buildSide(int index, Side& side);
    void wireControls();
    void fillSide(Side& side, int row);
    void moveTo(int row);
    void markRow(int row);
    // Row `row` of the copy as pair matching reads it, with its file's
    // modification time when the criterion compares times.
    [[nodiscard]] PairRow pairRow(int row) const;
    // The row of the duplicates grid that holds the file of row `row` of the
    // copy, or -1 (no source, no file, or no longer listed).
    [[nodiscard]] int sourceRowOf(int row) const;
    void launch(const Side& side);
    void view(const Side& side);
    void updateButtons();
    void setLabelBackground(QLabel* label, const QColor& colour);
    void forgetSource();
    void crcDone(quint64 generation, const PairCrc& result);
    // A checksum still running is of no use any more (the window was hidden
    // or shows a new copy): the window lets go of it at once, since it may
    // be waiting on a file that never answers, and drops its result.
    void abandonCrc();
    QPrinter& printer();

    Side m_sides[2];
    DupCompareSource* m_source = nullptr;
    QPointer<QWidget> m_sourceWindow;
    QPointer<QWidget> m_home;  // the parent the window goes back to
    GridRowsCopy m_rows;       // the copy of the duplicates grid, title row 0
    int m_left = 1;
    int m_mode = -1;  // the source's matching criterion when the copy was taken
    // Per row of the copy: its file's modification time in whole seconds,
    // read when a pair first needs it.
    static constexpr qint64 kTimeNotRead = std::numeric_limits<qint64>::min();
    static constexpr qint64 kTimeUnknown = std::numeric_limits<qint64>::min() + 1;
    mutable std::vector<qint64> m_modified;
    Launcher m_launcher;
    QColor m_background;
    bool m_lineHighlight = true;
    std::unique_ptr<QPrinter> m_printer;

    // What a checksum thread shares with the window: the window, cleared
    // under the lock when it is destroyed, so that a thread that outlives it
    // posts nothing.
    struct CrcMailbox {
        std::mutex lock;
        TfrmDupCompare* window = nullptr;
    };
    std::shared_ptr<CrcMailbox> m_crcMailbox;
    bool m_crcRunning = false;
    QPointer<QWidget> m_focusBeforeCrc;
    quint64 m_generation = 0;  // bumped whenever a running result goes stale
};

}  // namespace vantrel
