#pragma once

#include "cli/CliArguments.h"
#include "platform/FileRecord.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace vantrel {

// One cell of a command-line row.
struct CliField {
    enum class Kind { Bytes, Number, Missing };
    Kind kind = Kind::Missing;
    QByteArray bytes;  // Bytes: exact bytes (a path, a name, a label)
    qint64 number = 0;

    static CliField text(const QByteArray& b) { return {Kind::Bytes, b, 0}; }
    static CliField text(const QString& s) { return {Kind::Bytes, s.toUtf8(), 0}; }
    static CliField text(const char* s) { return text(QByteArray(s)); }
    static CliField integer(qint64 n) { return {Kind::Number, {}, n}; }
    static CliField missing() { return {}; }
    // A file time as local "YYYY-MM-DD HH:MM:SS"; missing when not recorded.
    static CliField time(const FileTime& t);
    // A packed local file date (seconds in steps of two); missing when 0.
    static CliField packedTime(quint32 packed);
};

// Writes rows to a file descriptor in one of the three formats, buffered.
//
// TSV and CSV: a title line of the column names (unless switched off), then
// one line per row. Every row is exactly one line: in a text cell a
// backslash is written "\\", a tab "\t", a line feed "\n", a carriage return
// "\r", any other control character and every byte that is not part of valid
// UTF-8 "\xHH" (two lower-case hex digits), so a name's exact bytes can be
// recovered from the cell. CSV then quotes a cell that holds a comma or a
// double quote ("" inside), as RFC 4180 does.
//
// JSON Lines: one object per row, keyed by the column names; numbers as
// numbers, missing cells as null, text as a JSON string. A text cell whose
// bytes are not valid UTF-8 shows each such byte as U+FFFD in its string
// and carries its exact bytes in a second key, the column name followed by
// "_bytes", as an array of numbers 0-255.
//
// A write that fails (the reader of a pipe is gone: EPIPE) makes the writer
// broken; it then drops everything and says so, so that the caller can stop
// without a message. SIGPIPE must be ignored by the process.
class RowWriter {
public:
    RowWriter(CliFormat format, int fd, const QStringList& columns, bool header);
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // Writes one row (as many cells as columns). False once broken.
    bool write(const QList<CliField>& cells);
    // Writes out what is buffered. False once broken.
    bool flush();

    [[nodiscard]] bool broken() const { return m_broken; }
    // The errno of the failed write (EPIPE when the reader went away).
    [[nodiscard]] int error() const { return m_error; }
    [[nodiscard]] qint64 rowsWritten() const { return m_rows; }

private:
    void writeHeader();

    CliFormat m_format;
    int m_fd;
    QList<QByteArray> m_columns;
    QByteArray m_buffer;
    qint64 m_rows = 0;
    bool m_broken = false;
    int m_error = 0;
};

// The escaped text of a TSV or CSV cell (before CSV's quoting).
[[nodiscard]] QByteArray escapeLineCell(const QByteArray& bytes);
// A JSON string literal (with its quotes) of bytes; invalid UTF-8 as U+FFFD.
// `exact` tells whether the bytes were valid UTF-8.
[[nodiscard]] QByteArray jsonString(const QByteArray& bytes, bool* exact = nullptr);

}  // namespace vantrel
