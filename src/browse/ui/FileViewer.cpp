#include "browse/ui/FileViewer.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace vantrel {

namespace {

constexpr int kMargin = 3;
// The largest scroll bar range used; longer files scroll in steps of
// several lines per scroll bar unit.
constexpr qint64 kScrollLimit = qint64(1) << 30;

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

}  // namespace

FileViewer::FileViewer(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(defaultFont());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The document reports from its counting thread: queued to this thread.
    connect(&m_doc, &ViewerDocument::indexProgressed, this, &FileViewer::countProgressed,
            Qt::QueuedConnection);
    connect(&m_doc, &ViewerDocument::indexFinished, this, &FileViewer::countProgressed,
            Qt::QueuedConnection);
}

FileViewer::~FileViewer() {
    cancelSearch();
    m_doc.close();
}

QFont FileViewer::defaultFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setFamilies({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"),
                   QStringLiteral("Liberation Mono"), f.family()});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSize(9);
    return f;
}

// ---- file -------------------------------------------------------------------------

bool FileViewer::openFile(const QByteArray& path, QString* error) {
    cancelSearch();
    m_top = 0;
    m_caret = m_anchor = Position{};
    m_pending = PendingMove{};
    m_lastMatch = LastMatch{};
    m_widest = 0;
    const bool ok = m_doc.open(path, error);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
    changed();
    return ok;
}

void FileViewer::closeFile() {
    cancelSearch();
    m_doc.close();
    m_top = 0;
    m_caret = m_anchor = Position{};
    m_pending = PendingMove{};
    m_lastMatch = LastMatch{};
    updateScrollBars();
    viewport()->update();
    changed();
}

// ---- modes --------------------------------------------------------------------------

void FileViewer::setInHexMode(bool hex) {
    if (hex == m_hex)
        return;
    // Keep the caret on the same byte of the file.
    const qint64 offset = isOpen() ? offsetOf(m_caret) : 0;
    const qint64 screenRow = m_caret.line - m_top;
    m_hex = hex;
    m_pending = PendingMove{};
    m_lastMatch = LastMatch{};
    m_widest = 0;
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    Position p;
    if (isOpen()) {
        const qint64 line = hex ? offset / ViewerDocument::kHexBytesPerRow
                                : std::max<qint64>(0, m_doc.lineOfOffset(offset));
        p = positionOfOffset(offset, line);
    }
    setTop(p.line - std::clamp<qint64>(screenRow, 0, pageLines() - 1));
    setCaret(p, false);
    viewport()->update();
    changed();
}

void FileViewer::setExpandTabs(bool expand) {
    if (expand == m_expandTabs)
        return;
    m_expandTabs = expand;
    m_anchor = m_caret = Position{m_caret.line, 0};
    m_lastMatch = LastMatch{};
    viewport()->update();
    changed();
}

void FileViewer::setTabSize(int size) {
    if (size < 1 || size > 64 || size == m_tabSize)
        return;
    m_tabSize = size;
    m_anchor = m_caret = Position{m_caret.line, 0};
    m_lastMatch = LastMatch{};
    viewport()->update();
    changed();
}

// ---- lines ---------------------------------------------------------------------------

std::optional<qint64> FileViewer::lineCount() const {
    if (m_hex)
        return m_doc.hexRowCount();
    return m_doc.lineCount();
}

qint64 FileViewer::availableLines() const {
    if (m_hex)
        return m_doc.hexRowCount();
    return m_doc.lineCount().value_or(m_doc.knownLines());
}

qint64 FileViewer::lastLine() const {
    return std::max<qint64>(0, availableLines() - 1);
}

RenderedLine FileViewer::rendered(qint64 line) const {
    if (m_hex) {
        RenderedLine r;
        r.text = m_doc.hexRow(line);
        return r;
    }
    return m_doc.renderedLine(line, m_expandTabs, m_tabSize);
}

QString FileViewer::lineText(qint64 line) const {
    return rendered(line).text;
}

int FileViewer::lineLength(qint64 line) const {
    return int(rendered(line).text.size());
}

int FileViewer::pageLines() const {
    return std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()));
}

std::optional<FileViewer::Selection> FileViewer::selection() const {
    if (!hasSelection())
        return std::nullopt;
    auto before = [](const Position& a, const Position& b) {
        return a.line < b.line || (a.line == b.line && a.column < b.column);
    };
    if (before(m_anchor, m_caret))
        return Selection{m_anchor, m_caret};
    return Selection{m_caret, m_anchor};
}

// ---- caret and scrolling ---------------------------------------------------------------

void FileViewer::setCaret(Position p, bool extend) {
    p.line = std::clamp<qint64>(p.line, 0, lastLine());
    p.column = std::clamp(p.column, 0, lineLength(p.line));
    m_caret = p;
    if (!extend)
        m_anchor = p;
    ensureCaretVisible();
    viewport()->update();
    changed();
}

void FileViewer::moveCaretTo(qint64 line, int column) {
    m_pending = PendingMove{};
    const std::optional<qint64> count = lineCount();
    if (!count && line >= availableLines()) {
        m_pending = PendingMove{true, line, column, false};
        setCaret(Position{lastLine(), 0}, false);
        return;
    }
    setCaret(Position{line, column}, false);
}

void FileViewer::selectAll() {
    m_pending = PendingMove{};
    m_anchor = Position{};
    const qint64 last = lastLine();
    setCaret(Position{last, lineLength(last)}, true);
    if (!lineCount())
        m_pending = PendingMove{true, -1, -1, true};
}

void FileViewer::applyPending() {
    if (!m_pending.active)
        return;
    const bool known = lineCount().has_value();
    if (!known && (m_pending.line < 0 || m_pending.line >= availableLines()))
        return;
    const PendingMove move = m_pending;
    m_pending = PendingMove{};
    const qint64 line = move.line < 0 ? lastLine() : move.line;
    const int column = move.column < 0 ? lineLength(line) : move.column;
    setCaret(Position{line, column}, move.extend);
}

void FileViewer::ensureCaretVisible() {
    const int page = pageLines();
    if (m_caret.line < m_top)
        setTop(m_caret.line);
    else if (m_caret.line >= m_top + page)
        setTop(m_caret.line - page + 1);

    const QFontMetrics fm = fontMetrics();
    const QString text = rendered(m_caret.line).text;
    const int x = fm.horizontalAdvance(text.left(m_caret.column));
    const int width = viewport()->width() - 2 * kMargin;
    QScrollBar* bar = horizontalScrollBar();
    if (x < bar->value()) {
        bar->setValue(std::max(0, x - width / 4));
    } else if (x > bar->value() + width - fm.averageCharWidth()) {
        if (x + 4 * fm.averageCharWidth() > m_widest) {
            m_widest = x + 4 * fm.averageCharWidth();
            updateScrollBars();
        }
        bar->setValue(x - width * 3 / 4);
    }
}

qint64 FileViewer::maxTop() const {
    return std::max<qint64>(0, availableLines() - pageLines());
}

void FileViewer::setTop(qint64 top) {
    top = std::clamp<qint64>(top, 0, maxTop());
    if (top != m_top) {
        m_top = top;
        viewport()->update();
        changed();
    }
    const qint64 limit = maxTop();
    QScrollBar* bar = verticalScrollBar();
    const int value = limit <= kScrollLimit
                          ? int(m_top)
                          : int(double(m_top) / double(limit) * double(kScrollLimit));
    m_syncingScroll = true;
    bar->setValue(value);
    m_syncingScroll = false;
}

void FileViewer::updateScrollBars() {
    const qint64 limit = maxTop();
    QScrollBar* v = verticalScrollBar();
    m_syncingScroll = true;
    v->setRange(0, int(std::min(limit, kScrollLimit)));
    v->setPageStep(limit <= kScrollLimit ? pageLines() : 1);
    v->setSingleStep(1);
    m_syncingScroll = false;
    setTop(m_top);

    QScrollBar* h = horizontalScrollBar();
    const int width = viewport()->width() - 2 * kMargin;
    h->setRange(0, std::max(0, m_widest - width));
    h->setPageStep(std::max(1, width));
    h->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
}

void FileViewer::scrollContentsBy(int, int) {
    if (!m_syncingScroll) {
        const qint64 limit = maxTop();
        const int value = verticalScrollBar()->value();
        const qint64 top = limit <= kScrollLimit
                               ? qint64(value)
                               : qint64(double(value) / double(kScrollLimit) * double(limit));
        if (top != m_top) {
            m_top = std::clamp<qint64>(top, 0, limit);
            changed();
        }
    }
    viewport()->update();
}

void FileViewer::countProgressed() {
    updateScrollBars();
    applyPending();
    viewport()->update();
    changed();
}

void FileViewer::changed() {
    Q_EMIT statusChanged();
}

// ---- positions -----------------------------------------------------------------------

int FileViewer::hexByteOfColumn(int column) const {
    const int chars = m_doc.hexCharColumnOfByte(0);
    if (column >= chars - 1)
        return std::clamp(column - chars, 0, ViewerDocument::kHexBytesPerRow);
    for (int i = 0; i < ViewerDocument::kHexBytesPerRow; ++i) {
        if (column < m_doc.hexColumnOfByte(i) + 2)
            return i;
    }
    return ViewerDocument::kHexBytesPerRow;
}

qint64 FileViewer::offsetOf(Position p) const {
    if (m_hex) {
        const qint64 offset = p.line * ViewerDocument::kHexBytesPerRow + hexByteOfColumn(p.column);
        return std::min(offset, m_doc.size());
    }
    const DisplayLine dl = m_doc.lineAt(p.line);
    const RenderedLine r = renderLine(m_doc.bytes(dl), m_expandTabs, m_tabSize);
    const int column = std::clamp(p.column, 0, int(r.text.size()));
    return dl.start + r.byteOf[size_t(column)];
}

FileViewer::Position FileViewer::positionOfOffset(qint64 offset, qint64 textLine) const {
    if (m_hex) {
        const qint64 row = offset / ViewerDocument::kHexBytesPerRow;
        const int i = int(offset % ViewerDocument::kHexBytesPerRow);
        return Position{row, m_doc.hexColumnOfByte(i)};
    }
    const DisplayLine dl = m_doc.lineAt(textLine);
    const RenderedLine r = renderLine(m_doc.bytes(dl), m_expandTabs, m_tabSize);
    const qint64 within = std::clamp<qint64>(offset - dl.start, 0, dl.contentEnd - dl.start);
    return Position{textLine, r.columnOfByte(int(within))};
}

int FileViewer::columnAtX(const QString& text, int x) const {
    const QFontMetrics fm = fontMetrics();
    int lo = 0;
    int hi = int(text.size());
    // The last column whose left edge is at or before x.
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (fm.horizontalAdvance(text.left(mid)) <= x)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo < text.size()) {
        const int left = fm.horizontalAdvance(text.left(lo));
        const int right = fm.horizontalAdvance(text.left(lo + 1));
        if (x - left > right - x)
            ++lo;
    }
    return lo;
}

FileViewer::Position FileViewer::positionAt(const QPoint& point) const {
    const int lh = std::max(1, fontMetrics().lineSpacing());
    const int row = point.y() >= 0 ? point.y() / lh : -1;
    const qint64 line = std::clamp<qint64>(m_top + row, 0, lastLine());
    const QString text = rendered(line).text;
    const int x = point.x() - kMargin + horizontalScrollBar()->value();
    return Position{line, columnAtX(text, x)};
}

// ---- events ----------------------------------------------------------------------------

void FileViewer::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    if (!isOpen())
        return;
    const QFontMetrics fm = fontMetrics();
    const int lh = std::max(1, fm.lineSpacing());
    const int xoff = kMargin - horizontalScrollBar()->value();
    const int rows = viewport()->height() / lh + 1;
    const qint64 available = availableLines();
    const std::optional<Selection> sel = selection();
    const QPalette pal = palette();
    const int charWidth = std::max(1, fm.averageCharWidth());
    bool wider = false;

    DisplayLine dl;
    if (!m_hex && m_top < available)
        dl = m_doc.lineAt(m_top);
    for (int i = 0; i < rows; ++i) {
        const qint64 line = m_top + i;
        if (line >= available)
            break;
        QString text;
        if (m_hex) {
            text = m_doc.hexRow(line);
        } else {
            text = renderLine(m_doc.bytes(dl), m_expandTabs, m_tabSize).text;
            dl = m_doc.lineFrom(dl.next);
        }
        const int y = i * lh;
        const int estimate = int(text.size()) * charWidth + charWidth;
        if (estimate > m_widest) {
            m_widest = estimate;
            wider = true;
        }
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(xoff, y + fm.ascent(), text);
        if (sel && line >= sel->start.line && line <= sel->end.line) {
            const int c0 = line == sel->start.line ? sel->start.column : 0;
            const int c1 = line == sel->end.line ? sel->end.column : int(text.size());
            const int x0 = xoff + fm.horizontalAdvance(text.left(c0));
            int x1 = xoff + fm.horizontalAdvance(text.left(c1));
            if (line < sel->end.line)
                x1 += charWidth / 2;  // the line end is selected too
            const QRect band(x0, y, std::max(0, x1 - x0), lh);
            painter.fillRect(band, pal.color(QPalette::Highlight));
            painter.save();
            painter.setClipRect(band);
            painter.setPen(pal.color(QPalette::HighlightedText));
            painter.drawText(xoff, y + fm.ascent(), text);
            painter.restore();
        }
        if (line == m_caret.line && hasFocus()) {
            const int x = xoff + fm.horizontalAdvance(text.left(m_caret.column));
            painter.fillRect(QRect(x, y, 2, lh), pal.color(QPalette::Text));
        }
    }
    if (wider)
        QMetaObject::invokeMethod(this, &FileViewer::updateScrollBars, Qt::QueuedConnection);
}

void FileViewer::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    changed();
}

void FileViewer::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_widest = 0;
        updateScrollBars();
        ensureCaretVisible();
        viewport()->update();
    }
}

void FileViewer::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void FileViewer::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void FileViewer::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyToClipboard();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int page = pageLines();
    Position p = m_caret;
    switch (event->key()) {
        case Qt::Key_Left:
            if (p.column > 0) {
                --p.column;
            } else if (p.line > 0) {
                --p.line;
                p.column = lineLength(p.line);
            }
            break;
        case Qt::Key_Right:
            if (p.column < lineLength(p.line)) {
                ++p.column;
            } else if (p.line < lastLine()) {
                ++p.line;
                p.column = 0;
            }
            break;
        case Qt::Key_Up:
            --p.line;
            break;
        case Qt::Key_Down:
            ++p.line;
            break;
        case Qt::Key_PageUp:
            setTop(m_top - page);
            p.line -= page;
            break;
        case Qt::Key_PageDown:
            setTop(m_top + page);
            p.line += page;
            break;
        case Qt::Key_Home:
            p = ctrl ? Position{} : Position{p.line, 0};
            break;
        case Qt::Key_End:
            if (ctrl) {
                m_pending = PendingMove{};
                p.line = lastLine();
                p.column = lineLength(p.line);
                if (!lineCount()) {
                    setCaret(p, shift);
                    m_pending = PendingMove{true, -1, -1, shift};
                    return;
                }
            } else {
                p.column = lineLength(p.line);
            }
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    m_pending = PendingMove{};
    setCaret(p, shift);
}

void FileViewer::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_pending = PendingMove{};
    setCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void FileViewer::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        setCaret(positionAt(event->position().toPoint()), true);
}

void FileViewer::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const Position at = positionAt(event->position().toPoint());
    const QString text = rendered(at.line).text;
    int start = at.column;
    int end = at.column;
    while (start > 0 && isWordChar(text.at(start - 1)))
        --start;
    while (end < text.size() && isWordChar(text.at(end)))
        ++end;
    setCaret(Position{at.line, start}, false);
    setCaret(Position{at.line, end}, true);
}

void FileViewer::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 40;  // three lines a notch
    if (steps == 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    setTop(m_top - steps);
    event->accept();
}

// ---- search -----------------------------------------------------------------------------

bool FileViewer::startSearch(const QString& text, const ViewerDocument::FindOptions& options) {
    if (!isOpen() || text.isEmpty())
        return false;
    cancelSearch();
    const QByteArray needle = text.toUtf8();
    qint64 from = 0;
    const std::optional<Selection> sel = selection();
    if (m_lastMatch.valid && m_lastMatch.anchor == m_anchor && m_lastMatch.caret == m_caret)
        from = options.backward ? m_lastMatch.start : m_lastMatch.end;
    else if (sel)
        from = offsetOf(options.backward ? sel->start : sel->end);
    else
        from = offsetOf(m_caret);

    const quint64 generation = ++m_searchGeneration;
    const bool hex = m_hex;
    m_searchCancel.store(false);
    viewport()->setCursor(Qt::BusyCursor);
    m_searchThread = std::thread([this, needle, from, options, generation, hex, text] {
        SearchResult r;
        r.backward = options.backward;
        const std::optional<qint64> hit = m_doc.find(needle, from, options, &m_searchCancel);
        if (hit) {
            r.found = true;
            r.offset = *hit;
            r.length = needle.size();
            // The line numbers of a match the count has not reached yet
            // are known once it gets there: wait here, not in the window.
            if (!hex && m_doc.waitIndexedTo(r.offset + r.length - 1, m_searchCancel)) {
                r.startLine = m_doc.lineOfOffset(r.offset);
                r.endLine = m_doc.lineOfOffset(r.offset + r.length - 1);
            }
        }
        QMetaObject::invokeMethod(
            this, [this, generation, r, text] { searchDone(generation, r, text); },
            Qt::QueuedConnection);
    });
    return true;
}

void FileViewer::cancelSearch() {
    if (!m_searchThread.joinable())
        return;
    m_searchCancel.store(true);
    m_searchThread.join();
    ++m_searchGeneration;
    viewport()->setCursor(Qt::IBeamCursor);
}

void FileViewer::searchDone(quint64 generation, const SearchResult& result, const QString& text) {
    if (generation != m_searchGeneration)
        return;
    if (m_searchThread.joinable())
        m_searchThread.join();
    viewport()->setCursor(Qt::IBeamCursor);
    bool found = result.found;
    if (found) {
        const qint64 endOffset = result.offset + result.length;
        qint64 startLine = result.startLine;
        qint64 endLine = result.endLine;
        if (!m_hex && startLine < 0) {
            startLine = m_doc.lineOfOffset(result.offset);
            endLine = m_doc.lineOfOffset(endOffset - 1);
        }
        if (m_hex || (startLine >= 0 && endLine >= 0)) {
            const Position start = positionOfOffset(result.offset, startLine);
            Position end;
            if (m_hex) {
                end = positionOfOffset(endOffset - 1, 0);
                end.column += 2;
            } else {
                end = positionOfOffset(endOffset, endLine);
            }
            m_pending = PendingMove{};
            // Select the match with the caret on the side the search went.
            m_anchor = result.backward ? end : start;
            setCaret(result.backward ? start : end, true);
            m_lastMatch = LastMatch{true, m_anchor, m_caret, result.offset, endOffset};
        } else {
            found = false;
        }
    }
    Q_EMIT searchFinished(found, text);
}

}  // namespace vantrel
