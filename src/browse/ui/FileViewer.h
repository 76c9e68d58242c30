#pragma once

#include "browse/ViewerDocument.h"

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QFont>

#include <atomic>
#include <optional>
#include <thread>

class QPrinter;

namespace vantrel {

// A read-only view of a file as text or as a hexadecimal dump, with a caret,
// a selection, search, copying and printing. It paints only the lines in
// sight, straight from the mapped file (ViewerDocument), so a file of any
// size opens at once. Positions are (line, column) from 0, where a line is a
// display line of the current mode (a text line of at most 1,024 bytes, or a
// row of 16 bytes) and a column counts the characters drawn (tabs expanded
// when tab expansion is on).
//
// In text mode the number of lines is unknown (lineCount() empty) until the
// document has counted them on its worker thread; the scroll range grows as
// the count goes on, and a move to a line not counted yet (go to line,
// Ctrl+End, select all) is carried out as soon as the count reaches it.
//
// Keys: arrows, Page Up/Down, Home/End, Ctrl+Home/End, with Shift to select;
// the mouse places the caret and drags a selection.
class FileViewer : public QAbstractScrollArea {
    Q_OBJECT
public:
    struct Position {
        qint64 line = 0;
        int column = 0;
        friend bool operator==(const Position&, const Position&) = default;
    };
    struct Selection {
        Position start;
        Position end;  // exclusive
    };
    // The most a copy puts on the clipboard.
    static constexpr qint64 kMaxCopyBytes = 16 * 1024 * 1024;

    explicit FileViewer(QWidget* parent = nullptr);
    ~FileViewer() override;

    // Opens the file (exact bytes) and shows its first page; on failure the
    // view is empty and `error` says why.
    bool openFile(const QByteArray& path, QString* error = nullptr);
    void closeFile();
    [[nodiscard]] bool isOpen() const { return m_doc.isOpen(); }
    [[nodiscard]] QByteArray fileName() const { return m_doc.path(); }
    [[nodiscard]] qint64 fileSize() const { return m_doc.size(); }
    [[nodiscard]] const ViewerDocument& document() const { return m_doc; }

    [[nodiscard]] bool inHexMode() const { return m_hex; }
    void setInHexMode(bool hex);
    [[nodiscard]] bool expandTabs() const { return m_expandTabs; }
    void setExpandTabs(bool expand);
    [[nodiscard]] int tabSize() const { return m_tabSize; }
    // 1 to 64; other sizes are ignored.
    void setTabSize(int size);
    // The font the lines are drawn (and printed) in.
    [[nodiscard]] QFont fixedFont() const { return font(); }
    void setFixedFont(const QFont& f) { setFont(f); }
    // The default: a fixed-pitch font of 9 points.
    static QFont defaultFont();

    // Lines of the current mode: empty while the text lines are counted.
    [[nodiscard]] std::optional<qint64> lineCount() const;
    // Lines that can be shown now (all of them once the count is known).
    [[nodiscard]] qint64 availableLines() const;
    [[nodiscard]] bool hasLines() const { return m_doc.size() > 0; }
    [[nodiscard]] Position caret() const { return m_caret; }
    [[nodiscard]] qint64 topLine() const { return m_top; }
    [[nodiscard]] bool hasSelection() const { return m_anchor != m_caret; }
    [[nodiscard]] std::optional<Selection> selection() const;
    // Line `line` as drawn (at most 1,024 bytes of the file in text mode).
    [[nodiscard]] QString lineText(qint64 line) const;

    // Moves the caret (the selection is dropped) and brings it into sight.
    // A line beyond the last is the last line; a line not counted yet is
    // reached when the count gets there.
    void moveCaretTo(qint64 line, int column);
    void selectAll();
    // Copies the selection (at most kMaxCopyBytes of the file; in hex mode
    // the rows as drawn). Returns false when the selection was cut short.
    bool copyToClipboard();

    // Searches from the caret on a worker thread; searchFinished() follows.
    // A match is selected and brought into sight. Returns false when nothing
    // was started (no file, empty text).
    bool startSearch(const QString& text, const ViewerDocument::FindOptions& options);
    [[nodiscard]] bool isSearching() const { return m_searchThread.joinable(); }
    void cancelSearch();

    // Prints every line, or the selected lines (the first without the
    // characters before the selection, the last cut at its end), in the
    // view's font. False when the printer failed.
    bool print(QPrinter& printer, bool selectionOnly);

Q_SIGNALS:
    // The caret, the top line, the line count, the size or the mode changed.
    void statusChanged();
    void searchFinished(bool found, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct PendingMove {
        bool active = false;
        qint64 line = 0;  // -1: the last line
        int column = 0;   // -1: the end of the line
        bool extend = false;
    };
    struct SearchResult {
        bool found = false;
        qint64 offset = 0;
        qint64 length = 0;
        qint64 startLine = -1;  // text lines of the match, when counted
        qint64 endLine = -1;
        bool backward = false;
    };
    // The match a search selected, so that the next search goes on from its
    // exact bytes while that selection stands.
    struct LastMatch {
        bool valid = false;
        Position anchor;
        Position caret;
        qint64 start = 0;
        qint64 end = 0;
    };

    RenderedLine rendered(qint64 line) const;
    int lineLength(qint64 line) const;
    int pageLines() const;
    qint64 lastLine() const;
    void setCaret(Position p, bool extend);
    void ensureCaretVisible();
    void setTop(qint64 top);
    void updateScrollBars();
    void countProgressed();
    void applyPending();
    Position positionAt(const QPoint& point) const;
    int columnAtX(const QString& text, int x) const;
    qint64 offsetOf(Position p) const;
    void searchDone(quint64 generation, const SearchResult& result, const QString& text);
    Position positionOfOffset(qint64 offset, qint64 textLine) const;
    qint64 maxTop() const;
    int hexByteOfColumn(int column) const;
    void changed();

    ViewerDocument m_doc;
    bool m_hex = false;
    bool m_expandTabs = true;
    int m_tabSize = 8;
    qint64 m_top = 0;
    Position m_caret;
    Position m_anchor;
    PendingMove m_pending;
    LastMatch m_lastMatch;
    int m_widest = 0;  // widest line drawn so far, in pixels
    bool m_syncingScroll = false;

    std::thread m_searchThread;
    std::atomic<bool> m_searchCancel{false};
    quint64 m_searchGeneration = 0;
};

}  // namespace vantrel
