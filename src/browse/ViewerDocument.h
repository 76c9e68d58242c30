#pragma once

#include "browse/LineIndex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

class GuardedMapping;

// One display line as text: `text` is what is drawn; byteOf[i] is the offset
// within the line's bytes of the byte that produced character i (a tab
// expanded to blanks maps every blank to the tab); byteOf has one more entry,
// the line's byte length, so that a column just past the end maps too.
struct RenderedLine {
    QString text;
    std::vector<int> byteOf;

    // The first column whose byte is at or after `byteIndex` (at most the
    // length of the text).
    [[nodiscard]] int columnOfByte(int byteIndex) const;
};

// A file opened for viewing: the whole file mapped read-only (never copied),
// split into display lines, and a dump of 16 bytes a hexadecimal row.
//
// Display lines: a line ends at a line feed; a carriage return right before
// it belongs to the line end. A line longer than kMaxLineBytes bytes goes on
// in further display lines of that many bytes each, so that every byte of a
// file with one enormous line can be reached and no line ever needs more than
// a bounded buffer. An empty file has no lines; a final line without a line
// feed is a line.
//
// The number of display lines is unknown until a worker thread, started by
// open(), has read the whole file (through its own reads, so the mapping does
// not grow the process while it counts). Lines already counted can be reached
// at once; lineCount() is empty until the count is done. indexProgressed()
// is emitted at most about 30 times a second and indexFinished() once, both
// from the worker thread (connect them queued or auto).
//
// A file that shrinks while it is mapped cannot crash the program: the pages
// past its new end read as zero bytes, and truncated() becomes true.
//
// Threads: open, close and every reading function that is not marked
// otherwise belong to the thread that opened the document. find(),
// lineOfOffset() and waitIndexedTo() may be called from another thread while
// the document stays open.
class ViewerDocument : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxLineBytes = vantrel::kMaxLineBytes;
    static constexpr int kHexBytesPerRow = 16;

    explicit ViewerDocument(QObject* parent = nullptr);
    ~ViewerDocument() override;
    ViewerDocument(const ViewerDocument&) = delete;
    ViewerDocument& operator=(const ViewerDocument&) = delete;

    // Opens `path` (exact bytes) read-only and starts counting its lines.
    // Closes what was open before. Only regular files can be opened; on
    // failure the document is closed and `error` (when given) says why.
    bool open(const QByteArray& path, QString* error = nullptr);
    // Stops the count, unmaps and closes. Safe to call twice.
    void close();

    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }
    [[nodiscard]] QByteArray path() const { return m_path; }
    [[nodiscard]] qint64 size() const { return m_size; }
    // True once part of the file was found missing (it shrank while open).
    [[nodiscard]] bool truncated() const;

    // ---- text lines
    // The number of display lines, once the count is done.
    [[nodiscard]] std::optional<qint64> lineCount() const;
    // Display lines counted so far (all of them once lineCount() is known).
    [[nodiscard]] qint64 knownLines() const;
    // Bytes of the file the count has passed, for progress.
    [[nodiscard]] qint64 indexedBytes() const;
    // Where display line n lies; n < knownLines(). Any other n gives an empty
    // line at the end of the file.
    [[nodiscard]] DisplayLine lineAt(qint64 n) const;
    // The display line that starts at `start` (start of a display line).
    [[nodiscard]] DisplayLine lineFrom(qint64 start) const;
    // The text bytes of a display line (at most kMaxLineBytes).
    [[nodiscard]] QByteArray bytes(const DisplayLine& line) const;
    // Display line n drawn as text: see renderLine().
    [[nodiscard]] RenderedLine renderedLine(qint64 n, bool expandTabs, int tabSize) const;
    // The display line that holds byte `offset` (a line end belongs to the
    // line before it), or -1 while the count has not reached it. Any thread.
    [[nodiscard]] qint64 lineOfOffset(qint64 offset) const;
    // Blocks the calling (worker) thread until the count has passed
    // `offset` or is done; false when `cancel` was set first. Any thread
    // other than the one that owns the document.
    bool waitIndexedTo(qint64 offset, const std::atomic<bool>& cancel) const;
    // Waits for the whole count (tests and tools; never on the UI thread).
    void waitForLineCount() const;

    // ---- hexadecimal rows
    [[nodiscard]] qint64 hexRowCount() const;
    // "0000ABC0  48 65 6C 6C 6F 20 77 6F  72 6C 64 0A 00 00 00 00  Hello world....."
    // The offset has 8 digits, more for files beyond 4 GiB.
    [[nodiscard]] QString hexRow(qint64 row) const;
    [[nodiscard]] int hexOffsetDigits() const;
    // Column of byte i (0..15) of a row in its hexadecimal part and in its
    // character part.
    [[nodiscard]] int hexColumnOfByte(int i) const;
    [[nodiscard]] int hexCharColumnOfByte(int i) const;

    // ---- search
    struct FindOptions {
        bool backward = false;
        bool matchCase = false;
        bool wholeFile = false;  // go on from the other end of the file
    };
    // The offset of the first match of `needle` after `from` (forward: a
    // match starting at or after `from`; backward: the last match starting
    // before `from`). With wholeFile the search goes on from the other end of
    // the file up to `from`. Without matchCase, ASCII letters match either
    // case. Empty when not found, when the needle is empty or when `cancel`
    // was set. Reads the file through its own buffers; any thread.
    [[nodiscard]] std::optional<qint64> find(const QByteArray& needle, qint64 from,
                                             const FindOptions& options,
                                             const std::atomic<bool>* cancel = nullptr) const;

    // Up to `length` bytes of the file from `offset` (fewer at its end), read
    // through the file, not the mapping; e.g. for copying.
    [[nodiscard]] QByteArray read(qint64 offset, qint64 length) const;

Q_SIGNALS:
    void indexProgressed();
    void indexFinished();

private:
    const uchar* data() const;
    std::optional<qint64> findRange(const QByteArray& needle, qint64 lo, qint64 hi, bool backward,
                                    bool matchCase, const std::atomic<bool>* cancel) const;

    int m_fd = -1;
    QByteArray m_path;
    qint64 m_size = 0;
    std::unique_ptr<GuardedMapping> m_map;
    std::unique_ptr<LineIndex> m_index;
};

// Bytes of one display line as text: printable ASCII as it is; a tab
// expanded to the next multiple of tabSize columns, or drawn as "»" when
// expandTabs is off; other control bytes as "·"; a valid UTF-8 sequence as
// its character; any other byte from 0xA0 up as that Latin-1 character, below
// that as "·".
[[nodiscard]] RenderedLine renderLine(QByteArrayView bytes, bool expandTabs, int tabSize);

// Bytes of the file as plain text, for the clipboard: tabs, carriage returns
// and line feeds kept, every other character as renderLine draws it.
[[nodiscard]] QString plainText(QByteArrayView bytes);

}  // namespace vantrel
