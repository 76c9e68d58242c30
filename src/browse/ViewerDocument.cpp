#include "browse/ViewerDocument.h"

#include "browse/ViewerDocumentMapping.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr QChar kControlGlyph(0x00B7);  // ·
constexpr QChar kTabGlyph(0x00BB);      // »

}  // namespace

int RenderedLine::columnOfByte(int byteIndex) const {
    const auto it = std::lower_bound(byteOf.begin(), byteOf.end(), byteIndex);
    return int(std::min<qsizetype>(it - byteOf.begin(), text.size()));
}

namespace {

// Glyph: every control byte drawn, with the column-to-byte map;
// KeepLineEnds: tabs and line ends kept, no map (clipboard text).
enum class Controls { Glyph, KeepLineEnds };

RenderedLine decode(QByteArrayView bytes, bool expandTabs, int tabSize, Controls controls) {
    tabSize = std::max(1, tabSize);
    RenderedLine out;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    out.text.reserve(n);
    const bool map = controls == Controls::Glyph;
    if (map)
        out.byteOf.reserve(size_t(n) + 1);
    auto put = [&out, map](QChar c, int byte) {
        out.text.append(c);
        if (map)
            out.byteOf.push_back(byte);
    };
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        const int at = int(i);
        if (b == '\t') {
            if (controls == Controls::KeepLineEnds) {
                put(QLatin1Char('\t'), at);
            } else if (expandTabs) {
                const qsizetype pad = tabSize - out.text.size() % tabSize;
                for (qsizetype k = 0; k < pad; ++k)
                    put(QLatin1Char(' '), at);
            } else {
                put(kTabGlyph, at);
            }
            ++i;
        } else if (b >= 0x20 && b < 0x7F) {
            put(QLatin1Char(char(b)), at);
            ++i;
        } else if (b < 0x80) {
            const bool keep = controls == Controls::KeepLineEnds && (b == '\r' || b == '\n');
            put(keep ? QChar(char16_t(b)) : kControlGlyph, at);
            ++i;
        } else {
            char32_t code = 0;
            const int length = utf8SequenceLength(p + i, n - i, &code);
            if (length > 0) {
                if (QChar::requiresSurrogates(code)) {
                    put(QChar(QChar::highSurrogate(code)), at);
                    put(QChar(QChar::lowSurrogate(code)), at);
                } else {
                    put(QChar(char16_t(code)), at);
                }
                i += length;
            } else {
                put(b >= 0xA0 ? QChar(char16_t(b)) : kControlGlyph, at);
                ++i;
            }
        }
    }
    if (map)
        out.byteOf.push_back(int(n));
    return out;
}

}  // namespace

RenderedLine renderLine(QByteArrayView bytes, bool expandTabs, int tabSize) {
    return decode(bytes, expandTabs, tabSize, Controls::Glyph);
}

QString plainText(QByteArrayView bytes) {
    return decode(bytes, false, 1, Controls::KeepLineEnds).text;
}

// ---- ViewerDocument -----------------------------------------------------------

ViewerDocument::ViewerDocument(QObject* parent) : QObject(parent) {}

ViewerDocument::~ViewerDocument() {
    close();
}

bool ViewerDocument::open(const QByteArray& path, QString* error) {
    close();
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int why = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return fail(why == EISDIR ? QString::fromLocal8Bit(std::strerror(why))
                                  : QStringLiteral("Not a regular file"));
    }
    const qint64 size = st.st_size;
    std::unique_ptr<GuardedMapping> map;
    if (size > 0) {
        map = std::make_unique<GuardedMapping>(fd, size);
        if (!map->isValid()) {
            const int why = errno;
            ::close(fd);
            return fail(QString::fromLocal8Bit(std::strerror(why)));
        }
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_fd = fd;
    m_path = path;
    m_size = size;
    m_map = std::move(map);
    m_index = std::make_unique<LineIndex>(m_fd, data(), m_size, [this](bool finished) {
        if (finished)
            Q_EMIT indexFinished();
        else
            Q_EMIT indexProgressed();
    });
    if (m_index->lineCount())
        Q_EMIT indexFinished();
    return true;
}

void ViewerDocument::close() {
    m_index.reset();  // stops and joins the counting thread first
    m_map.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_path.clear();
}

const uchar* ViewerDocument::data() const {
    return m_map ? m_map->data() : nullptr;
}

bool ViewerDocument::truncated() const {
    return (m_map && m_map->faulted()) || (m_index && m_index->endedEarly());
}

std::optional<qint64> ViewerDocument::lineCount() const {
    return m_index ? m_index->lineCount() : std::optional<qint64>(0);
}

qint64 ViewerDocument::knownLines() const {
    return m_index ? m_index->knownLines() : 0;
}

qint64 ViewerDocument::indexedBytes() const {
    return m_index ? m_index->indexedBytes() : 0;
}

DisplayLine ViewerDocument::lineAt(qint64 n) const {
    return m_index ? m_index->lineAt(n) : DisplayLine{};
}

DisplayLine ViewerDocument::lineFrom(qint64 start) const {
    return displayLineAt(data(), m_size, start);
}

QByteArray ViewerDocument::bytes(const DisplayLine& line) const {
    const uchar* d = data();
    if (!d || line.start >= m_size || line.contentEnd <= line.start)
        return QByteArray();
    const qint64 end = std::min(line.contentEnd, m_size);
    return QByteArray(reinterpret_cast<const char*>(d + line.start), qsizetype(end - line.start));
}

RenderedLine ViewerDocument::renderedLine(qint64 n, bool expandTabs, int tabSize) const {
    const QByteArray b = bytes(lineAt(n));
    return renderLine(b, expandTabs, tabSize);
}

qint64 ViewerDocument::lineOfOffset(qint64 offset) const {
    return m_index ? m_index->lineOfOffset(offset) : -1;
}

bool ViewerDocument::waitIndexedTo(qint64 offset, const std::atomic<bool>& cancel) const {
    return m_index ? m_index->waitIndexedTo(offset, cancel) : false;
}

void ViewerDocument::waitForLineCount() const {
    if (m_index)
        m_index->waitDone();
}

QByteArray ViewerDocument::read(qint64 offset, qint64 length) const {
    if (m_fd < 0 || offset < 0 || offset >= m_size || length <= 0)
        return QByteArray();
    length = std::min(length, m_size - offset);
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(m_fd, out.data() + done, size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    out.truncate(qsizetype(done));
    return out;
}

// ---- hexadecimal rows -------------------------------------------------------------

qint64 ViewerDocument::hexRowCount() const {
    return (m_size + kHexBytesPerRow - 1) / kHexBytesPerRow;
}

int ViewerDocument::hexOffsetDigits() const {
    int digits = 8;
    for (quint64 last = quint64(std::max<qint64>(m_size - 1, 0)) >> 32; last; last >>= 4)
        ++digits;
    return digits;
}

int ViewerDocument::hexColumnOfByte(int i) const {
    return hexOffsetDigits() + 2 + i * 3 + (i >= 8 ? 1 : 0);
}

int ViewerDocument::hexCharColumnOfByte(int i) const {
    return hexOffsetDigits() + 2 + kHexBytesPerRow * 3 + 1 + 1 + i;
}

QString ViewerDocument::hexRow(qint64 row) const {
    const qint64 offset = row * kHexBytesPerRow;
    const uchar* d = data();
    if (!d || row < 0 || offset >= m_size)
        return QString();
    const int count = int(std::min<qint64>(kHexBytesPerRow, m_size - offset));
    static const char digits[] = "0123456789ABCDEF";
    const int width = hexOffsetDigits();
    QString out;
    out.reserve(width + 2 + kHexBytesPerRow * 4 + 4);
    for (int shift = (width - 1) * 4; shift >= 0; shift -= 4)
        out.append(QLatin1Char(digits[(quint64(offset) >> shift) & 0xF]));
    out.append(QLatin1String("  "));
    for (int i = 0; i < kHexBytesPerRow; ++i) {
        if (i == 8)
            out.append(QLatin1Char(' '));
        if (i < count) {
            const uchar b = d[offset + i];
            out.append(QLatin1Char(digits[b >> 4]));
            out.append(QLatin1Char(digits[b & 0xF]));
        } else {
            out.append(QLatin1String("  "));
        }
        out.append(QLatin1Char(' '));
    }
    out.append(QLatin1Char(' '));
    for (int i = 0; i < count; ++i) {
        const uchar b = d[offset + i];
        out.append(QLatin1Char(b >= 0x20 && b < 0x7F ? char(b) : '.'));
    }
    return out;
}

}  // namespace vantrel
