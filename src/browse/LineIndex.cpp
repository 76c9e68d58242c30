#include "browse/LineIndex.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <unistd.h>

namespace vantrel {

namespace {

// The part of a file counted before the constructor returns: enough for the
// first pages, small enough to take well under a millisecond.
constexpr qint64 kHeadBytes = 256 * 1024;
constexpr qint64 kChunkBytes = 1024 * 1024;
constexpr auto kProgressInterval = std::chrono::milliseconds(33);

qint64 ceilLines(qint64 bytes) {
    return (bytes + kMaxLineBytes - 1) / kMaxLineBytes;
}

}  // namespace

DisplayLine displayLineAt(const uchar* data, qint64 size, qint64 start) {
    if (start >= size || !data)
        return DisplayLine{size, size, size};
    const qint64 window = std::min(size, start + kMaxLineBytes + 2);
    const auto* lf =
        static_cast<const uchar*>(std::memchr(data + start, '\n', size_t(window - start)));
    if (lf) {
        const qint64 at = lf - data;
        qint64 end = at;
        if (end > start && data[end - 1] == '\r')
            --end;
        if (end - start <= kMaxLineBytes)
            return DisplayLine{start, end, at + 1};
    } else if (size - start <= kMaxLineBytes) {
        return DisplayLine{start, size, size};
    }
    return DisplayLine{start, start + kMaxLineBytes, start + kMaxLineBytes};
}

// ---- LineCounter --------------------------------------------------------------

void LineCounter::emitLines(qint64 total) {
    for (qint64 j = m_emittedInLine; j < total; ++j) {
        if (m_lines % kStride == 0)
            m_checkpoints->push_back(m_lineStart + j * kMaxLineBytes);
        ++m_lines;
    }
    m_emittedInLine = std::max(m_emittedInLine, total);
}

void LineCounter::feed(const uchar* p, qint64 n) {
    const uchar* cur = p;
    const uchar* const end = p + n;
    while (cur < end) {
        const auto* lf = static_cast<const uchar*>(std::memchr(cur, '\n', size_t(end - cur)));
        if (!lf)
            break;
        const qint64 at = m_pos + (lf - p);
        qint64 content = at - m_lineStart;
        if (content > 0 && (lf > p ? lf[-1] : m_last) == '\r')
            --content;
        emitLines(content == 0 ? 1 : ceilLines(content));
        m_lineStart = at + 1;
        m_emittedInLine = 0;
        cur = lf + 1;
    }
    m_pos += n;
    if (n > 0)
        m_last = p[n - 1];
    // A line still open is at least this long (its last byte may be the
    // carriage return of its line end): its full display lines so far are
    // final, which keeps one huge line from hiding everything until its end.
    const qint64 atLeast = m_pos - m_lineStart - 1;
    if (atLeast >= 1)
        emitLines((atLeast - 1) / kMaxLineBytes);
}

void LineCounter::finish() {
    const qint64 rest = m_pos - m_lineStart;
    if (rest > 0)
        emitLines(ceilLines(rest));
    m_lineStart = m_pos;
    m_emittedInLine = 0;
}

// ---- LineIndex ------------------------------------------------------------------

LineIndex::LineIndex(int fd, const uchar* data, qint64 size, std::function<void(bool)> progress)
    : m_fd(fd), m_data(data), m_size(size), m_progress(std::move(progress)) {
    m_counter = std::make_unique<LineCounter>(&m_pending);
    std::vector<uchar> buffer(size_t(std::min(kHeadBytes, std::max<qint64>(size, 1))));
    const qint64 head = std::min(kHeadBytes, m_size);
    const bool whole = countRange(*m_counter, 0, head, buffer) && head == m_size;
    if (whole || m_readPos < head) {
        // Done already, or the file ended before its size.
        if (m_readPos < m_size) {
            std::lock_guard lock(m_mutex);
            m_endedEarly = true;
        }
        m_counter->finish();
        publish(*m_counter, true);
        return;
    }
    publish(*m_counter, false);
    m_worker = std::thread([this] { run(); });
}

LineIndex::~LineIndex() {
    cancel();
    if (m_worker.joinable())
        m_worker.join();
}

void LineIndex::cancel() {
    m_cancel.store(true, std::memory_order_relaxed);
    m_changed.notify_all();
}

bool LineIndex::countRange(LineCounter& counter, qint64 from, qint64 to,
                           std::vector<uchar>& buffer) {
    m_readPos = from;
    while (m_readPos < to) {
        if (m_cancel.load(std::memory_order_relaxed))
            return false;
        const size_t want = size_t(std::min<qint64>(qint64(buffer.size()), to - m_readPos));
        const ssize_t got = ::pread(m_fd, buffer.data(), want, off_t(m_readPos));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        counter.feed(buffer.data(), got);
        m_readPos += got;
    }
    return true;
}

void LineIndex::run() {
    std::vector<uchar> buffer(static_cast<size_t>(kChunkBytes));
    auto last = std::chrono::steady_clock::now();
    while (m_readPos < m_size) {
        const qint64 from = m_readPos;
        const qint64 to = std::min(m_size, from + 8 * kChunkBytes);
        const bool complete = countRange(*m_counter, from, to, buffer);
        if (m_cancel.load(std::memory_order_relaxed))
            return;
        if (!complete) {
            std::lock_guard lock(m_mutex);
            m_endedEarly = true;
            break;
        }
        publish(*m_counter, false);
        const auto now = std::chrono::steady_clock::now();
        if (now - last >= kProgressInterval) {
            last = now;
            if (m_progress)
                m_progress(false);
        }
    }
    m_counter->finish();
    publish(*m_counter, true);
    if (m_progress)
        m_progress(true);
}

void LineIndex::publish(const LineCounter& counter, bool done) {
    {
        std::lock_guard lock(m_mutex);
        for (qint64 offset : m_pending)
            m_checkpoints.push_back(offset);
        m_known = counter.lines();
        m_countedTo = counter.countedTo();
        m_done = done;
    }
    m_pending.clear();
    m_changed.notify_all();
}

std::optional<qint64> LineIndex::lineCount() const {
    std::lock_guard lock(m_mutex);
    if (!m_done)
        return std::nullopt;
    return m_known;
}

qint64 LineIndex::knownLines() const {
    std::lock_guard lock(m_mutex);
    return m_known;
}

qint64 LineIndex::indexedBytes() const {
    std::lock_guard lock(m_mutex);
    return m_done ? m_size : m_countedTo;
}

bool LineIndex::endedEarly() const {
    std::lock_guard lock(m_mutex);
    return m_endedEarly;
}

DisplayLine LineIndex::lineAt(qint64 n) const {
    qint64 start = 0;
    {
        std::lock_guard lock(m_mutex);
        if (n < 0 || n >= m_known)
            return DisplayLine{m_size, m_size, m_size};
        start = m_checkpoints[size_t(n / LineCounter::kStride)];
    }
    DisplayLine line = displayLineAt(m_data, m_size, start);
    for (qint64 k = n % LineCounter::kStride; k > 0; --k)
        line = displayLineAt(m_data, m_size, line.next);
    return line;
}

qint64 LineIndex::lineOfOffset(qint64 offset) const {
    qint64 line = 0;
    qint64 start = 0;
    qint64 known = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_known == 0 || offset < 0)
            return m_known == 0 && m_done ? 0 : -1;
        if (!m_done && offset >= m_countedTo)
            return -1;
        auto it = std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), offset);
        const auto index = std::max<qint64>(0, (it - m_checkpoints.begin()) - 1);
        start = m_checkpoints[size_t(index)];
        line = index * LineCounter::kStride;
        known = m_known;
    }
    while (line + 1 < known) {
        const DisplayLine dl = displayLineAt(m_data, m_size, start);
        if (dl.next > offset || dl.next <= start)
            break;
        start = dl.next;
        ++line;
    }
    return line;
}

bool LineIndex::waitIndexedTo(qint64 offset, const std::atomic<bool>& cancel) const {
    std::unique_lock lock(m_mutex);
    while (!m_done && m_countedTo <= offset) {
        if (cancel.load() || m_cancel.load())
            return false;
        m_changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    return !cancel.load();
}

void LineIndex::waitDone() const {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_done || m_cancel.load(); });
}

}  // namespace vantrel
