// Copying and printing of the file viewer.

#include "browse/ui/FileViewer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>

namespace vantrel {

bool FileViewer::copyToClipboard() {
    const std::optional<Selection> sel = selection();
    if (!sel || !isOpen())
        return true;
    QString text;
    bool complete = true;
    if (m_hex) {
        // The rows as drawn, cut like a printed selection.
        const qint64 maxRows = kMaxCopyBytes / ViewerDocument::kHexBytesPerRow;
        qint64 last = sel->end.line;
        if (last - sel->start.line + 1 > maxRows) {
            last = sel->start.line + maxRows - 1;
            complete = false;
        }
        for (qint64 row = sel->start.line; row <= last; ++row) {
            QString line = m_doc.hexRow(row);
            if (row == sel->end.line)
                line.truncate(sel->end.column);
            if (row == sel->start.line)
                line = line.mid(sel->start.column);
            text += line;
            if (row < last)
                text += QLatin1Char('\n');
        }
    } else {
        // The file's own bytes between the two ends, line ends included.
        const qint64 from = offsetOf(sel->start);
        qint64 length = offsetOf(sel->end) - from;
        if (length > kMaxCopyBytes) {
            length = kMaxCopyBytes;
            complete = false;
        }
        text = plainText(m_doc.read(from, length));
    }
    QGuiApplication::clipboard()->setText(text);
    return complete;
}

bool FileViewer::print(QPrinter& printer, bool selectionOnly) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setFont(font());
    const QFontMetrics fm = painter.fontMetrics();
    const int lineHeight = std::max(1, fm.lineSpacing());
    const int pageHeight = painter.viewport().height();
    int y = fm.ascent();
    bool ok = true;
    auto printLine = [&](const QString& line) {
        if (y + fm.descent() > pageHeight) {
            if (!printer.newPage())
                return false;
            y = fm.ascent();
        }
        painter.drawText(0, y, line);
        y += lineHeight;
        return true;
    };

    const std::optional<Selection> sel = selection();
    if (selectionOnly && sel) {
        DisplayLine dl;
        if (!m_hex)
            dl = m_doc.lineAt(sel->start.line);
        for (qint64 line = sel->start.line; ok && line <= sel->end.line; ++line) {
            QString text;
            if (m_hex) {
                text = m_doc.hexRow(line);
            } else {
                text = renderLine(m_doc.bytes(dl), m_expandTabs, m_tabSize).text;
                dl = m_doc.lineFrom(dl.next);
            }
            if (line == sel->end.line)
                text.truncate(sel->end.column);
            if (line == sel->start.line)
                text.replace(0, sel->start.column, QString(sel->start.column, QLatin1Char(' ')));
            ok = printLine(text);
        }
    } else if (m_hex) {
        const qint64 rows = m_doc.hexRowCount();
        for (qint64 row = 0; ok && row < rows; ++row)
            ok = printLine(m_doc.hexRow(row));
    } else {
        // Every line to the end of the file, whether counted yet or not.
        for (qint64 start = 0; ok && start < m_doc.size();) {
            const DisplayLine dl = m_doc.lineFrom(start);
            ok = printLine(renderLine(m_doc.bytes(dl), m_expandTabs, m_tabSize).text);
            start = dl.next;
        }
    }
    ok = painter.end() && ok;
    return ok && printer.printerState() != QPrinter::Error;
}

}  // namespace vantrel
