#include "cli/RowWriter.h"

#include "text/Utf8.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr qsizetype kFlushAt = 64 * 1024;
constexpr char kHex[] = "0123456789abcdef";

void appendHexByte(QByteArray& out, unsigned char b) {
    out.append("\\x");
    out.append(kHex[b >> 4]);
    out.append(kHex[b & 0xF]);
}

}  // namespace

CliField CliField::time(const FileTime& t) {
    if (!t.recorded)
        return missing();
    const time_t seconds = time_t(t.sec);
    struct tm local {};
    if (!localtime_r(&seconds, &local))
        return missing();
    char text[64];
    const size_t n = strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return CliField::text(QByteArray(text, qsizetype(n)));
}

CliField CliField::packedTime(quint32 p) {
    if (p == 0)
        return missing();
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u",
                                (p >> 25) + 1980u, (p >> 21) & 0xFu, (p >> 16) & 0x1Fu,
                                (p >> 11) & 0x1Fu, (p >> 5) & 0x3Fu, (p & 0x1Fu) * 2u);
    return CliField::text(QByteArray(text, n));
}

QByteArray escapeLineCell(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + 8);
    const auto* d = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = d[i];
        if (b == '\\') {
            out.append("\\\\");
        } else if (b == '\t') {
            out.append("\\t");
        } else if (b == '\n') {
            out.append("\\n");
        } else if (b == '\r') {
            out.append("\\r");
        } else if (b < 0x20 || b == 0x7F) {
            appendHexByte(out, b);
        } else {
            const int length = utf8SequenceLength(d + i, n - i);
            if (length == 0) {
                appendHexByte(out, b);
            } else {
                out.append(reinterpret_cast<const char*>(d + i), length);
                i += length;
                continue;
            }
        }
        ++i;
    }
    return out;
}

QByteArray jsonString(const QByteArray& bytes, bool* exact) {
    QByteArray out;
    out.reserve(bytes.size() + 2);
    out.append('"');
    bool valid = true;
    const auto* d = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = d[i];
        if (b == '"' || b == '\\') {
            out.append('\\');
            out.append(char(b));
        } else if (b == '\n') {
            out.append("\\n");
        } else if (b == '\t') {
            out.append("\\t");
        } else if (b == '\r') {
            out.append("\\r");
        } else if (b < 0x20 || b == 0x7F) {
            out.append("\\u00");
            out.append(kHex[b >> 4]);
            out.append(kHex[b & 0xF]);
        } else {
            const int length = utf8SequenceLength(d + i, n - i);
            if (length == 0) {
                valid = false;
                out.append("\xEF\xBF\xBD");  // U+FFFD
            } else {
                out.append(reinterpret_cast<const char*>(d + i), length);
                i += length;
                continue;
            }
        }
        ++i;
    }
    out.append('"');
    if (exact)
        *exact = valid;
    return out;
}

RowWriter::RowWriter(CliFormat format, int fd, const QStringList& columns, bool header)
    : m_format(format), m_fd(fd) {
    for (const QString& c : columns)
        m_columns.append(c.toUtf8());
    if (header && format != CliFormat::JsonLines)
        writeHeader();
}

RowWriter::~RowWriter() {
    flush();
}

void RowWriter::writeHeader() {
    const char separator = m_format == CliFormat::Csv ? ',' : '\t';
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (i > 0)
            m_buffer.append(separator);
        m_buffer.append(m_columns[i]);
    }
    m_buffer.append('\n');
}

bool RowWriter::write(const QList<CliField>& cells) {
    if (m_broken)
        return false;
    if (m_format == CliFormat::JsonLines) {
        m_buffer.append('{');
        for (qsizetype i = 0; i < cells.size() && i < m_columns.size(); ++i) {
            if (i > 0)
                m_buffer.append(',');
            m_buffer.append('"').append(m_columns[i]).append("\":");
            const CliField& c = cells[i];
            if (c.kind == CliField::Kind::Number) {
                m_buffer.append(QByteArray::number(c.number));
            } else if (c.kind == CliField::Kind::Missing) {
                m_buffer.append("null");
            } else {
                bool exact = true;
                m_buffer.append(jsonString(c.bytes, &exact));
                if (!exact) {
                    m_buffer.append(",\"").append(m_columns[i]).append("_bytes\":[");
                    for (qsizetype k = 0; k < c.bytes.size(); ++k) {
                        if (k > 0)
                            m_buffer.append(',');
                        m_buffer.append(QByteArray::number(uchar(c.bytes[k])));
                    }
                    m_buffer.append(']');
                }
            }
        }
        m_buffer.append("}\n");
    } else {
        const bool csv = m_format == CliFormat::Csv;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                m_buffer.append(csv ? ',' : '\t');
            const CliField& c = cells[i];
            if (c.kind == CliField::Kind::Number) {
                m_buffer.append(QByteArray::number(c.number));
            } else if (c.kind == CliField::Kind::Bytes) {
                QByteArray text = escapeLineCell(c.bytes);
                if (csv && (text.contains(',') || text.contains('"'))) {
                    text.replace("\"", "\"\"");
                    m_buffer.append('"').append(text).append('"');
                } else {
                    m_buffer.append(text);
                }
            }
        }
        m_buffer.append('\n');
    }
    ++m_rows;
    if (m_buffer.size() >= kFlushAt)
        return flush();
    return true;
}

bool RowWriter::flush() {
    if (m_broken) {
        m_buffer.clear();
        return false;
    }
    const char* p = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_broken = true;
            m_error = errno;
            break;
        }
        p += n;
        left -= n;
    }
    m_buffer.clear();
    return !m_broken;
}

}  // namespace vantrel
