#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>
#include <vector>

namespace vantrel {

// The pieces of the pair comparison that need no window: whether two
// neighbouring rows of the duplicates grid match, how to step from one
// matching pair to the next, and the CRC comparison of two files.

// The grid cells the comparison reads, as the duplicates grid lays its
// columns out for every criterion.
enum PairColumn : int {
    pcName = 0,
    pcSize = 1,
    pcDate = 2,
    pcTime = 3,
    pcAccess = 4,
    pcFolder = 5,
    pcType = 6,
};

// One row of the duplicates grid as pair matching reads it.
struct PairRow {
    QStringList cells;  // the cell texts, in grid column order; a missing cell is empty text
    // The row's exact path. Its last part is the name compared (the name
    // cell when there is no path), so names compare as the search compared
    // them: by their exact bytes, not by a lossy display text.
    QByteArray path;
    // The file's modification time in whole seconds, for the criteria with
    // a date; without one those criteria never match.
    std::optional<qint64> modified;
};

// Whether two rows match under a matching criterion of the duplicates
// window:
//   0 names equal ignoring case
//   1 names (ignoring case) and sizes
//   2 names (ignoring case), sizes and modification times
//   3 sizes
//   4 sizes and modification times
//   5 sizes and types
//   6 types and modification times
// Names ignore case as the duplicates search does (compareIgnoringCase of
// their exact texts, see DupSearch.h); sizes and types compare by exact cell
// text; dates and times by the real times, never by the two-digit-year texts
// of the date cells. Any other mode matches always. So a pair matches
// exactly when the search would have put both rows in one group.
[[nodiscard]] bool pairMatches(const PairRow& first, const PairRow& second, int mode);

// Whether a matching criterion compares modification times (2, 4 and 6).
[[nodiscard]] bool pairModeComparesTimes(int mode);

// A snapshot of a grid's rows: each row's cell texts and its exact path,
// kept compactly (one block of UTF-8 text for all rows), so that a copy of
// a grid of a million rows stays small. Rows are numbered from 0 as they
// were appended; the pair comparison appends the title row first so that
// its numbers are the grid's.
class GridRowsCopy {
public:
    void clear();
    void reserve(qsizetype rows);
    // Cells must not contain U+0000 (no name or formatted text does); a
    // path cannot contain a NUL byte.
    void append(const QStringList& cells, const QByteArray& path);

    [[nodiscard]] int rowCount() const { return int(m_rowStart.size()); }
    // Empty results for a row outside 0 .. rowCount() - 1.
    [[nodiscard]] QStringList cells(int row) const;
    [[nodiscard]] QString cell(int row, int column) const;
    [[nodiscard]] QByteArray path(int row) const;

private:
    QByteArrayView rowBytes(int row) const;

    QByteArray m_bytes;  // per row: cell NUL cell NUL ... NUL path, rows back to back
    std::vector<qsizetype> m_rowStart;
};

// Stepping through the pairs of a grid of `rowCount` rows (title row 0, data
// rows 1 .. rowCount - 1). The pair at `left` is rows left and left + 1;
// `matches(r)` says whether the pair at r matches.
//
// Next: when left >= rowCount - 2 there is no further pair and `left` is
// returned unchanged. Otherwise the first r > left whose pair matches, or
// the last pair, rowCount - 2, when none ahead does.
[[nodiscard]] int nextPairRow(int left, int rowCount, const std::function<bool(int)>& matches);
// Previous: when left < 2, `left` unchanged. Otherwise the first r below
// left, going down, whose pair matches, or 1 when none does.
[[nodiscard]] int prevPairRow(int left, const std::function<bool(int)>& matches);

// The left row to open on when the grid's current row is `current`: the
// current row, moved onto the last pair when it is the last data row (so
// that a right-hand row exists), and at least 1.
[[nodiscard]] int openingPairRow(int current, int rowCount);

// A CRC as the comparison shows it: upper-case hexadecimal digits,
// right-aligned in 8 characters and padded with blanks ("    1A2B").
[[nodiscard]] QString crcText(quint32 crc);
// " file contents are identical" or " file contents differ".
[[nodiscard]] QString crcComparisonSuffix(bool identical);

// The outcome of checksumming the two files of a pair.
struct PairCrc {
    bool ok = false;
    quint32 left = 0;
    quint32 right = 0;
    QString error;  // the message of the first failure when !ok

    // The two label texts: crcText + crcComparisonSuffix.
    [[nodiscard]] QString leftText() const;
    [[nodiscard]] QString rightText() const;
    [[nodiscard]] bool identical() const { return left == right; }
};

// Opens each file read-only and computes its CRC-32 through a mapping of the
// whole file (TCRC32Calc::CalcFileCRC, with a calculator of its own, so any
// thread may call this). The left file first; the first failure stops it and
// gives its message: "Could not open file " + path when the file cannot be
// opened, "Could not open file " + path + " (not a regular file)" for a
// fifo, device, socket or folder, else the checksum's own ("Could not
// create file mapping object" for an empty file). Paths are exact bytes.
// Opening never waits: a fifo without a writer (a listed file replaced by
// one) is refused at once instead of blocking in open().
[[nodiscard]] PairCrc pairCrc(const QByteArray& leftPath, const QByteArray& rightPath);

}  // namespace vantrel
