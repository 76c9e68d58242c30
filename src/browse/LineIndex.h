#pragma once

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vantrel {

// The longest display line in bytes; a longer line goes on in the next one.
inline constexpr int kMaxLineBytes = 1024;

// Where a display line lies in the file: its text is [start, contentEnd), the
// next display line starts at `next` (after the line end, or straight after
// the text when a long line goes on in the next display line).
struct DisplayLine {
    qint64 start = 0;
    qint64 contentEnd = 0;
    qint64 next = 0;
};

// The display line that starts at `start` in the `size` bytes at `data`.
// Looks at no more than kMaxLineBytes + 2 bytes. `start` >= size gives an
// empty line at the end.
[[nodiscard]] DisplayLine displayLineAt(const uchar* data, qint64 size, qint64 start);

// Counts display lines in a byte stream fed in pieces of any size, keeping
// the start offset of every kStride-th line. The result does not depend on
// how the stream is cut.
class LineCounter {
public:
    static constexpr qint64 kStride = 1024;

    explicit LineCounter(std::deque<qint64>* checkpoints) : m_checkpoints(checkpoints) {}

    // The next `n` bytes of the stream.
    void feed(const uchar* p, qint64 n);
    // The end of the stream: counts a last line without a line feed.
    void finish();

    // Display lines known to be complete so far.
    [[nodiscard]] qint64 lines() const { return m_lines; }
    // Where the first display line not yet counted starts.
    [[nodiscard]] qint64 countedTo() const { return m_lineStart + m_emittedInLine * kMaxLineBytes; }

private:
    void emitLines(qint64 total);

    std::deque<qint64>* m_checkpoints;
    qint64 m_pos = 0;            // bytes fed so far
    qint64 m_lineStart = 0;      // start of the current line (up to its line feed)
    qint64 m_emittedInLine = 0;  // display lines of the current line counted so far
    qint64 m_lines = 0;
    uchar m_last = 0;  // the last byte fed
};

// The display lines of a mapped file, counted on a worker thread that reads
// the file through `fd` (its own reads, not the mapping). Starts counting in
// the constructor; the first part of the file is counted before it returns,
// so that the first page can be shown at once.
//
// Thread-safe: every const function may be called from any thread while the
// index exists. The destructor stops and joins the worker.
class LineIndex {
public:
    // `progress` is called from the worker at most about 30 times a second
    // with finished = false, and once with finished = true at the end (not
    // when cancelled). It must not call back into the index's destructor.
    LineIndex(int fd, const uchar* data, qint64 size, std::function<void(bool)> progress);
    ~LineIndex();
    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    // Stops the worker soon; the count stays unknown.
    void cancel();

    [[nodiscard]] std::optional<qint64> lineCount() const;
    [[nodiscard]] qint64 knownLines() const;
    [[nodiscard]] qint64 indexedBytes() const;
    // True when the file ended before its size (it shrank while counted).
    [[nodiscard]] bool endedEarly() const;

    // Display line n, for n < knownLines(); otherwise an empty line at the end.
    [[nodiscard]] DisplayLine lineAt(qint64 n) const;
    // The display line holding `offset`, or -1 while not counted that far.
    [[nodiscard]] qint64 lineOfOffset(qint64 offset) const;
    bool waitIndexedTo(qint64 offset, const std::atomic<bool>& cancel) const;
    void waitDone() const;

private:
    void run();
    // Reads and counts [from, to); false when cancelled or the file ended.
    bool countRange(LineCounter& counter, qint64 from, qint64 to, std::vector<uchar>& buffer);
    void publish(const LineCounter& counter, bool done);

    const int m_fd;
    const uchar* const m_data;
    const qint64 m_size;
    std::function<void(bool)> m_progress;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::deque<qint64> m_checkpoints;  // start of line k * kStride (guarded)
    qint64 m_known = 0;                // guarded
    qint64 m_countedTo = 0;            // guarded
    bool m_done = false;               // guarded
    bool m_endedEarly = false;         // guarded

    // Worker-only state.
    std::deque<qint64> m_pending;  // checkpoints found but not yet published
    std::unique_ptr<LineCounter> m_counter;
    qint64 m_readPos = 0;

    std::atomic<bool> m_cancel{false};
    std::thread m_worker;
};

}  // namespace vantrel
