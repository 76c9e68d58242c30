// Text search in a viewed file: read through the file's own buffers in large
// pieces that overlap by the length of the text less one byte, so that a
// match across two pieces is found, and the search never maps or keeps more
// of the file than one piece.

#include "browse/ViewerDocument.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace vantrel {

namespace {

constexpr qint64 kPieceBytes = 4 * 1024 * 1024;

const std::array<uchar, 256>& lowerTable() {
    static const std::array<uchar, 256> table = [] {
        std::array<uchar, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = uchar(i >= 'A' && i <= 'Z' ? i + ('a' - 'A') : i);
        return t;
    }();
    return table;
}

void lower(uchar* p, qint64 n) {
    const auto& t = lowerTable();
    for (qint64 i = 0; i < n; ++i)
        p[i] = t[p[i]];
}

// Reads [offset, offset + length) into out; returns the bytes read (fewer
// at the end of the file, or when it shrank).
qint64 readAt(int fd, qint64 offset, qint64 length, uchar* out) {
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, out + done, size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

// The last match of pattern in buffer, or -1.
qint64 lastMatch(const uchar* buffer, qint64 length, const uchar* pattern, qint64 n) {
    qint64 limit = length - n;  // the last start that fits
    while (limit >= 0) {
        const void* hit = ::memrchr(buffer, pattern[0], size_t(limit + 1));
        if (!hit)
            return -1;
        const qint64 at = static_cast<const uchar*>(hit) - buffer;
        if (std::memcmp(buffer + at, pattern, size_t(n)) == 0)
            return at;
        limit = at - 1;
    }
    return -1;
}

}  // namespace

std::optional<qint64> ViewerDocument::findRange(const QByteArray& needle, qint64 lo, qint64 hi,
                                                bool backward, bool matchCase,
                                                const std::atomic<bool>* cancel) const {
    const qint64 n = needle.size();
    if (n == 0 || hi - lo < n)
        return std::nullopt;
    QByteArray pattern = needle;
    auto* pat = reinterpret_cast<uchar*>(pattern.data());
    if (!matchCase)
        lower(pat, n);
    const qint64 span = kPieceBytes + n - 1;
    std::vector<uchar> buffer(size_t(std::min(span, hi - lo)));
    auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

    if (!backward) {
        for (qint64 pos = lo; pos + n <= hi;) {
            if (cancelled())
                return std::nullopt;
            const qint64 want = std::min(span, hi - pos);
            const qint64 got = readAt(m_fd, pos, want, buffer.data());
            if (got < n)
                return std::nullopt;
            if (!matchCase)
                lower(buffer.data(), got);
            if (const void* hit = ::memmem(buffer.data(), size_t(got), pat, size_t(n)))
                return pos + (static_cast<const uchar*>(hit) - buffer.data());
            if (got < want)
                return std::nullopt;
            pos += got - (n - 1);
        }
        return std::nullopt;
    }

    for (qint64 end = hi; end - lo >= n;) {
        if (cancelled())
            return std::nullopt;
        const qint64 start = std::max(lo, end - span);
        const qint64 got = readAt(m_fd, start, end - start, buffer.data());
        if (!matchCase)
            lower(buffer.data(), got);
        const qint64 at = lastMatch(buffer.data(), got, pat, n);
        if (at >= 0)
            return start + at;
        if (start == lo)
            break;
        end = start + n - 1;
    }
    return std::nullopt;
}

std::optional<qint64> ViewerDocument::find(const QByteArray& needle, qint64 from,
                                           const FindOptions& options,
                                           const std::atomic<bool>* cancel) const {
    const qint64 n = needle.size();
    if (m_fd < 0 || n == 0 || m_size < n)
        return std::nullopt;
    from = std::clamp<qint64>(from, 0, m_size);
    std::optional<qint64> hit;
    if (!options.backward) {
        hit = findRange(needle, from, m_size, false, options.matchCase, cancel);
        if (!hit && options.wholeFile)
            hit = findRange(needle, 0, std::min(m_size, from + n - 1), false, options.matchCase,
                            cancel);
    } else {
        hit = findRange(needle, 0, std::min(m_size, from + n - 1), true, options.matchCase, cancel);
        if (!hit && options.wholeFile)
            hit = findRange(needle, from, m_size, true, options.matchCase, cancel);
    }
    if (cancel && cancel->load())
        return std::nullopt;
    return hit;
}

}  // namespace vantrel
