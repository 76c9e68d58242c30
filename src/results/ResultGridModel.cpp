#include "results/ResultGridModel.h"

#include "platform/FileRecord.h"
#include "results/FileLookup.h"
#include "results/GridClipboard.h"
#include "results/SortDirections.h"
#include "text/Formats.h"

#include <QStringEncoder>
#include <QVarLengthArray>

#include <algorithm>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <numeric>

namespace vantrel {

ResultGridModel::ResultGridModel(const GridLayout& layout, QObject* parent)
    : QAbstractTableModel(parent), m_layout(layout), m_directions(&SortDirections::forRun(layout)) {
    resetStorage();
}

ResultGridModel::~ResultGridModel() = default;

void ResultGridModel::setGridLayout(const GridLayout& layout) {
    const bool sameTool = layout.id == m_layout.id;
    beginResetModel();
    m_layout = layout;
    if (!sameTool)
        m_directions = &SortDirections::forRun(layout);
    resetStorage();
    endResetModel();
    Q_EMIT marksChanged();
}

void ResultGridModel::setSortDirections(SortDirections* directions) {
    m_directions = directions ? directions : &SortDirections::forRun(m_layout);
}

void ResultGridModel::resetStorage() {
    m_columns = m_layout.columnCount();
    m_slotOfColumn.assign(size_t(m_columns), -1);
    m_fieldOfColumn.resize(size_t(m_columns));
    for (int c = 0; c < m_columns; ++c)
        m_fieldOfColumn[size_t(c)] = m_layout.fieldOfColumn(c);
    m_slots = 0;
    for (int c = 0; c < m_columns; ++c) {
        if (m_layout.kind(c) != ColumnKind::Text)
            m_slotOfColumn[size_t(c)] = m_slots++;
    }
    m_text.release();
    m_rows.release();
    m_ends.release();
    m_values.release();
    m_order.release();
    m_listed.release();
    m_shown = 0;
    m_exactLines.clear();
    m_marked.release();
    m_markTimes.clear();
    m_markedCount = 0;
    m_markedBytes = 0;
}

// ---- QAbstractItemModel -----------------------------------------------------

int ResultGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(m_shown, 1);
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row() + 1;
    const int column = index.column();
    const bool hasRow = index.row() < m_shown;
    switch (role) {
        case Qt::DisplayRole:
            return hasRow ? storedCell(storageIndex(row), column) : QString();
        case Qt::TextAlignmentRole: {
            const Qt::Alignment h =
                m_layout.isRightAligned(column) ? Qt::AlignRight : Qt::AlignLeft;
            return int(h | Qt::AlignTop);
        }
        case MarkedRole:
            return hasRow && column == m_layout.markColumn &&
                   m_rows[storageIndex(row)].markBytes != kUnmarked;
        case PathRole:
            return hasRow ? storedPath(storageIndex(row)) : QByteArray();
        default:
            return {};
    }
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // Titles are aligned like their columns.
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal)
        return int((m_layout.isRightAligned(section) ? Qt::AlignRight : Qt::AlignLeft) |
                   Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_columns ? m_layout.titles[section] : QVariant();
    return section + 1;
}

Qt::ItemFlags ResultGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

// ---- Filling ----------------------------------------------------------------

void ResultGridModel::ClearGrid() {
    beginResetModel();
    resetStorage();
    endResetModel();
    Q_EMIT marksChanged();
}

namespace {

// Writes `text` at `out` as UTF-8 and returns the end. Plain ASCII, nearly
// every cell, is copied here; the rest goes through the encoder (a surrogate
// pair never starts inside the ASCII part, so cutting there is safe).
char* writeUtf8(char* out, QStringView text, QStringEncoder& encoder) {
    const char16_t* chars = text.utf16();
    const qsizetype size = text.size();
    qsizetype k = 0;
#ifdef __SSE2__
    // Eight characters at a time while they are all ASCII, then four.
    const __m128i nonAscii = _mm_set1_epi16(short(0xFF80));
    for (; k + 8 <= size; k += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + k));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(eight, nonAscii),
                                              _mm_setzero_si128())) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(eight, eight));
    }
#endif
    for (; k + 4 <= size; k += 4) {
        std::uint64_t four;
        std::memcpy(&four, chars + k, sizeof four);
        if (four & 0xFF80FF80FF80FF80u)  // one test for all four
            break;
        out[k] = char(chars[k]);
        out[k + 1] = char(chars[k + 1]);
        out[k + 2] = char(chars[k + 2]);
        out[k + 3] = char(chars[k + 3]);
    }
    for (; k < size && chars[k] < 0x80; ++k)
        out[k] = char(chars[k]);
    if (k == size)
        return out + size;
    return encoder.appendToBuffer(out + k, text.mid(k));
}

// Calls `take` with each tab-separated field of `line`, in order (a line
// without tabs is one field).
template <typename Take>
void forEachTabField(QStringView line, Take&& take) {
    const char16_t* chars = line.utf16();
    const qsizetype size = line.size();
    qsizetype start = 0;
    qsizetype k = 0;
#ifdef __SSE2__
    // Eight characters a step; the tabs among them come out of a bit mask.
    const __m128i tab = _mm_set1_epi16(short('\t'));
    for (; k + 8 <= size; k += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + k));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(eight, tab)));
        while (mask != 0) {
            const qsizetype at = k + qsizetype(std::countr_zero(mask) / 2);
            take(QStringView(chars + start, at - start));
            start = at + 1;
            mask &= mask - 1;  // each character sets two bits
            mask &= mask - 1;
        }
    }
#endif
    for (; k < size; ++k) {
        if (chars[k] == u'\t') {
            take(QStringView(chars + start, k - start));
            start = k + 1;
        }
    }
    take(QStringView(chars + start, size - start));
}

bool isBlankOrControl(QChar c) {
    return c.unicode() <= 0x20 || c.unicode() == 0x7F;
}

// A field of a tab-separated line, trimmed as tabField trims it.
QStringView trimmedField(QStringView field) {
    qsizetype first = 0;
    qsizetype last = field.size();
    while (first < last && isBlankOrControl(field[first]))
        ++first;
    while (last > first && isBlankOrControl(field[last - 1]))
        --last;
    return field.mid(first, last - first);
}

}  // namespace

void ResultGridModel::appendStored(const QStringView* cells, qsizetype cellCount,
                                   const QByteArray& path, const QList<SortValue>& values) {
    Row row;
    row.offset = qsizetype(m_text.size());
    // One resize for the whole row: room for the longest UTF-8 form, cut
    // back to what was written.
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    qsizetype room = path.size();
    for (int c = 0; c < m_columns && c < cellCount; ++c)
        room += encoder.requiredSpace(cells[c].size());
    m_text.resize(size_t(row.offset + room));
    char* const start = m_text.data() + row.offset;
    char* out = start;
    std::uint32_t* const ends = m_ends.extend(size_t(m_columns) + 1);
    for (int c = 0; c < m_columns; ++c) {
        if (c < cellCount && !cells[c].isEmpty())
            out = writeUtf8(out, cells[c], encoder);
        ends[c] = std::uint32_t(out - start);
    }
    if (!path.isEmpty()) {
        std::memcpy(out, path.constData(), size_t(path.size()));
        out += path.size();
    }
    ends[m_columns] = std::uint32_t(out - start);
    m_text.resize(size_t(row.offset + (out - start)));

    double* const rowValues = m_values.extend(size_t(m_slots));
    for (int c = 0; c < m_columns; ++c) {
        const int slot = m_slotOfColumn[size_t(c)];
        if (slot < 0)
            continue;
        const auto given = std::find_if(values.cbegin(), values.cend(),
                                        [c](const SortValue& v) { return v.column == c; });
        const QStringView text = c < cellCount ? cells[c] : QStringView();
        double value;
        if (given != values.cend())
            value = given->value;
        else if (m_layout.kind(c) == ColumnKind::Number)
            value = numberSortValue(text);
        else
            value = dateSortValueFromText(text);
        rowValues[slot] = value;
    }
    m_order.push_back(std::uint32_t(m_rows.size()));
    m_rows.push_back(row);
}

void ResultGridModel::storeListed(const std::optional<ListedState>& listed) {
    // Called before the row itself is stored (the row's index is
    // m_rows.size()), once a row gives a state or some row before it did.
    if (!listed) {
        if (!m_listed.empty())
            m_listed.push_back(StoredListing{});
        return;
    }
    if (m_listed.size() < m_rows.size()) {
        // The first row with a state: the rows before it get none.
        const std::size_t missing = m_rows.size() - m_listed.size();
        std::fill_n(m_listed.extend(missing), missing, StoredListing{});
    }
    const ListedState& l = *listed;
    const bool packed = l.resolution == TimeResolution::PackedDate;
    m_listed.push_back(StoredListing{l.size, packed ? qint64(l.packedTime) : l.modified.sec,
                                     packed ? 0 : l.modified.nsec, quint8(1 + int(l.resolution)),
                                     packed || l.modified.recorded});
}

std::optional<ListedState> ResultGridModel::storedListed(std::uint32_t index) const {
    if (index >= m_listed.size() || m_listed[index].kind == 0)
        return std::nullopt;
    const StoredListing& s = m_listed[index];
    const auto resolution = TimeResolution(s.kind - 1);
    if (resolution == TimeResolution::PackedDate)
        return ListedState::packedDate(s.size, quint32(s.time));
    return ListedState{s.size, FileTime{s.time, s.nsec, s.recorded}, resolution, 0};
}

void ResultGridModel::addToGrid(const GridRow& row) {
    QVarLengthArray<QStringView, 16> cells;
    for (const QString& cell : row.cells)
        cells.append(cell);
    if (row.listed || !m_listed.empty())
        storeListed(row.listed);
    appendStored(cells.constData(), cells.size(), row.path, row.values);
    if (m_batchDepth == 0)
        announceRows();
}

void ResultGridModel::addToGrid(const QString& line, const QByteArray& path,
                                const QList<SortValue>& values,
                                const std::optional<ListedState>& listed) {
    QVarLengthArray<QStringView, 16> fields;
    bool trimmed = false;
    forEachTabField(line, [&](QStringView raw) {
        fields.append(trimmedField(raw));
        trimmed = trimmed || fields.back().size() != raw.size();
    });
    if (trimmed)
        m_exactLines.insert(std::uint32_t(m_rows.size()), line);
    QVarLengthArray<QStringView, 16> cells(m_columns);
    for (int c = 0; c < m_columns; ++c) {
        const int field = m_fieldOfColumn[size_t(c)];
        cells[c] = field >= 1 && field <= fields.size() ? fields[field - 1] : QStringView();
    }
    if (listed || !m_listed.empty())
        storeListed(listed);
    appendStored(cells.constData(), cells.size(), path, values);
    if (m_batchDepth == 0)
        announceRows();
}

void ResultGridModel::beginBatch() {
    ++m_batchDepth;
}

void ResultGridModel::endBatch() {
    if (m_batchDepth > 0 && --m_batchDepth == 0)
        announceRows();
}

void ResultGridModel::announceRows() {
    const int total = rowCounter();
    if (total == m_shown)
        return;
    if (m_shown == 0) {
        // The empty row of an empty grid becomes the first result row.
        m_shown = 1;
        Q_EMIT dataChanged(index(0, 0), index(0, std::max(m_columns - 1, 0)));
    }
    if (total > m_shown) {
        beginInsertRows(QModelIndex(), m_shown, total - 1);
        m_shown = total;
        endInsertRows();
    }
}

QByteArrayView ResultGridModel::storedCellBytes(std::uint32_t index, int column) const {
    if (column < 0 || column >= m_columns)
        return {};
    const Row& row = m_rows[index];
    const std::uint32_t* ends = &m_ends[size_t(index) * size_t(m_columns + 1)];
    const std::uint32_t start = column == 0 ? 0 : ends[column - 1];
    return QByteArrayView(m_text.data() + row.offset + start, qsizetype(ends[column] - start));
}

QString ResultGridModel::storedCell(std::uint32_t index, int column) const {
    return QString::fromUtf8(storedCellBytes(index, column));
}

QByteArray ResultGridModel::storedPath(std::uint32_t index) const {
    const Row& row = m_rows[index];
    const std::uint32_t* ends = &m_ends[size_t(index) * size_t(m_columns + 1)];
    const std::uint32_t start = m_columns == 0 ? 0 : ends[m_columns - 1];
    return QByteArray(m_text.data() + row.offset + start, qsizetype(ends[m_columns] - start));
}

bool ResultGridModel::samePath(std::uint32_t a, std::uint32_t b) const {
    if (a == b)
        return true;
    const auto span = [this](std::uint32_t i) {
        const std::uint32_t* ends = &m_ends[size_t(i) * size_t(m_columns + 1)];
        const std::uint32_t start = m_columns == 0 ? 0 : ends[m_columns - 1];
        return QByteArrayView(m_text.data() + m_rows[i].offset + start,
                              qsizetype(ends[m_columns] - start));
    };
    return span(a) == span(b);
}

double ResultGridModel::storedValue(std::uint32_t index, int column) const {
    const int slot = m_slotOfColumn[size_t(column)];
    return m_values[size_t(index) * size_t(m_slots) + size_t(slot)];
}

QString ResultGridModel::cellText(int row, int column) const {
    return isResultRow(row) ? storedCell(storageIndex(row), column) : QString();
}

QStringList ResultGridModel::longestCells(int column, int count) const {
    if (column < 0 || column >= m_columns || count <= 0)
        return {};
    // (length, row index) of the longest so far; a min-heap on the length.
    std::vector<std::pair<qsizetype, std::uint32_t>> longest;
    const auto longer = [](const auto& a, const auto& b) { return a.first > b.first; };
    for (std::uint32_t i = 0; i < std::uint32_t(m_rows.size()); ++i) {
        const qsizetype length = storedCellBytes(i, column).size();
        if (longest.size() < size_t(count)) {
            longest.emplace_back(length, i);
            std::push_heap(longest.begin(), longest.end(), longer);
        } else if (length > longest.front().first) {
            std::pop_heap(longest.begin(), longest.end(), longer);
            longest.back() = {length, i};
            std::push_heap(longest.begin(), longest.end(), longer);
        }
    }
    std::sort_heap(longest.begin(), longest.end(), longer);
    QStringList out;
    out.reserve(qsizetype(longest.size()));
    for (const auto& entry : longest)
        out.append(storedCell(entry.second, column));
    return out;
}

QStringList ResultGridModel::rowTexts(int row) const {
    QStringList out;
    out.reserve(m_columns);
    for (int c = 0; c < m_columns; ++c)
        out.append(cellText(row, c));
    return out;
}

QByteArray ResultGridModel::pathAt(int row) const {
    return isResultRow(row) ? storedPath(storageIndex(row)) : QByteArray();
}

void ResultGridModel::setCellText(int row, int column, const QString& text) {
    if (!isResultRow(row) || column < 0 || column >= m_columns)
        return;
    const std::uint32_t index = storageIndex(row);
    m_exactLines.remove(index);  // the line is rebuilt from the changed cells
    QStringList cells;
    for (int c = 0; c < m_columns; ++c)
        cells.append(c == column ? text : storedCell(index, c));
    const QByteArray path = storedPath(index);
    // Rewrite the row at the end of the text store; its old bytes stay unused.
    Row& stored = m_rows[index];
    stored.offset = qsizetype(m_text.size());
    std::uint32_t* ends = &m_ends[size_t(index) * size_t(m_columns + 1)];
    for (int c = 0; c < m_columns; ++c) {
        const QByteArray utf8 = cells[c].toUtf8();
        m_text.append(utf8.constData(), size_t(utf8.size()));
        ends[c] = std::uint32_t(qsizetype(m_text.size()) - stored.offset);
    }
    m_text.append(path.constData(), size_t(path.size()));
    ends[m_columns] = std::uint32_t(qsizetype(m_text.size()) - stored.offset);
    const int slot = m_slotOfColumn[size_t(column)];
    if (slot >= 0) {
        m_values[size_t(index) * size_t(m_slots) + size_t(slot)] =
            m_layout.kind(column) == ColumnKind::Number ? numberSortValue(text)
                                                        : dateSortValueFromText(text);
    }
    if (row <= m_shown)
        rowsChanged(row, row);
}

std::optional<ListedState> ResultGridModel::listedStateAt(int row) const {
    return isResultRow(row) ? storedListed(storageIndex(row)) : std::nullopt;
}

bool ResultGridModel::fileExists(int row) const {
    const QByteArray path = pathAt(row);
    if (path.isEmpty())
        return false;
    FileRecord record;
    return statPath(path, record) && !record.isDirectory();
}

// ---- Marks ------------------------------------------------------------------

bool ResultGridModel::isMarked(int row) const {
    return isResultRow(row) && m_rows[storageIndex(row)].markBytes != kUnmarked;
}

bool ResultGridModel::toggle(std::uint32_t index) {
    Row& row = m_rows[index];
    if (row.markBytes != kUnmarked) {
        if (row.markBytes >= 0) {
            m_markedCount -= 1;
            m_markedBytes -= row.markBytes;
        }
        row.markBytes = kUnmarked;
        m_markTimes.remove(index);
        const auto equal =
            std::find_if(m_marked.begin(), m_marked.end(),
                         [this, index](std::uint32_t m) { return samePath(m, index); });
        if (equal != m_marked.end())
            m_marked.erase(equal);
        return false;
    }
    FileRecord record;
    const QByteArray path = storedPath(index);
    if (!path.isEmpty() && statPath(path, record) && !record.isDirectory()) {
        row.markBytes = record.size;
        m_markTimes.insert(index, record.writeTime);
        m_markedCount += 1;
        m_markedBytes += record.size;
    } else {
        row.markBytes = kMarkedUncounted;
    }
    m_marked.push_back(index);
    return true;
}

ListedStates ResultGridModel::markedStates() const {
    ListedStates states;
    for (const std::uint32_t index : m_marked) {
        if (const std::optional<ListedState> listed = storedListed(index)) {
            states.insert(storedPath(index), *listed);
            continue;
        }
        const qint64 bytes = m_rows[index].markBytes;
        const auto time = m_markTimes.constFind(index);
        if (bytes >= 0 && time != m_markTimes.cend())
            states.insert(storedPath(index), ListedState{bytes, *time});
    }
    return states;
}

bool ResultGridModel::deleteOneFile(int row) {
    if (!isResultRow(row) || m_layout.markColumn < 0)
        return false;
    if (m_batchDepth == 0)
        announceRows();
    toggle(storageIndex(row));
    if (row <= m_shown)
        rowsChanged(row, row);
    Q_EMIT marksChanged();
    return true;
}

int ResultGridModel::markAll() {
    clearAllMarks();
    int toggled = 0;
    if (m_layout.markColumn < 0)
        return 0;
    const int last = gridRowCount() - 1;
    // Every row is unmarked now, so each toggle marks: the files are looked
    // up all at once (in parallel), then marked in row order as toggling
    // them one by one would.
    std::vector<std::uint32_t> indexes;
    indexes.reserve(std::size_t(std::max(last, 0)));
    for (int row = 1; row <= last; ++row) {
        if (isResultRow(row))
            indexes.push_back(storageIndex(row));
    }
    std::vector<qint64> sizes(indexes.size());
    lookUpFileSizes(
        indexes.size(),
        [this, &indexes](std::size_t i) {
            // storedPath's bytes, in place: the rows do not change meanwhile.
            const std::uint32_t index = indexes[i];
            const std::uint32_t* ends = &m_ends[size_t(index) * size_t(m_columns + 1)];
            const std::uint32_t start = m_columns == 0 ? 0 : ends[m_columns - 1];
            return QByteArrayView(m_text.data() + m_rows[index].offset + start,
                                  qsizetype(ends[m_columns] - start));
        },
        sizes.data());
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        Row& row = m_rows[indexes[i]];
        if (sizes[i] >= 0) {
            row.markBytes = sizes[i];
            m_markedCount += 1;
            m_markedBytes += sizes[i];
        } else {
            row.markBytes = kMarkedUncounted;
        }
        m_marked.push_back(indexes[i]);
        ++toggled;
    }
    if (toggled > 0) {
        rowsChanged(1, std::min(last, m_shown));
        Q_EMIT marksChanged();
    }
    return toggled;
}

void ResultGridModel::clearAllMarks() {
    const bool hadMarks =
        !m_marked.empty() || std::any_of(m_rows.cbegin(), m_rows.cend(),
                                         [](const Row& r) { return r.markBytes != kUnmarked; });
    m_markedCount = 0;
    m_markedBytes = 0;
    m_marked.clear();
    m_markTimes.clear();
    for (Row& row : m_rows)
        row.markBytes = kUnmarked;
    if (hadMarks && m_shown > 0)
        rowsChanged(1, m_shown);
    Q_EMIT marksChanged();
}

QList<QByteArray> ResultGridModel::markedPaths() const {
    QList<QByteArray> out;
    out.reserve(qsizetype(m_marked.size()));
    for (std::uint32_t index : m_marked)
        out.append(storedPath(index));
    return out;
}

QString ResultGridModel::statusText() const {
    return markStatusText(m_layout.statusFormat, m_markedCount, m_markedBytes);
}

void ResultGridModel::rowsChanged(int firstRow, int lastRow) {
    if (firstRow > lastRow || m_columns == 0)
        return;
    Q_EMIT dataChanged(index(firstRow - 1, 0), index(lastRow - 1, m_columns - 1));
}

// ---- Sorting ----------------------------------------------------------------

std::vector<double> ResultGridModel::valueKeys(SortKind kind, int first, int last,
                                               int column) const {
    std::vector<double> keys;
    keys.reserve(size_t(last - first + 1));
    const bool stored = m_slotOfColumn[size_t(column)] >= 0 &&
                        (m_layout.kind(column) == ColumnKind::Number) == (kind == SortKind::Number);
    for (int row = first; row <= last; ++row) {
        const std::uint32_t index = storageIndex(row);
        if (stored)
            keys.push_back(storedValue(index, column));
        else if (kind == SortKind::Number)
            keys.push_back(numberSortValue(storedCell(index, column)));
        else
            keys.push_back(dateSortValueFromText(storedCell(index, column)));
    }
    return keys;
}

void ResultGridModel::applyPermutation(int first, const std::vector<std::uint32_t>& perm) {
    RowVector<std::uint32_t> moved(perm.size());
    for (size_t p = 0; p < perm.size(); ++p)
        moved[p] = m_order[size_t(first) - 1 + perm[p]];
    std::copy(moved.cbegin(), moved.cend(), m_order.begin() + (first - 1));
}

void ResultGridModel::sortRows(SortKind kind, int first, int last, bool descending, int column) {
    if (column < 0 || column >= m_columns)
        return;
    if (m_batchDepth == 0)
        announceRows();
    first = std::max(first, 1);
    last = std::min(last, rowCounter());
    if (last - first < 1)
        return;
    if (kind == SortKind::Text && first == 1 && last == rowCounter()) {
        // Every row: read the cells in the order they were added, which walks
        // the row store front to back instead of jumping around it, and sort
        // the row indexes themselves, starting from the grid order (so the
        // result is the one the range sort below gives).
        TextSortKeys keys;
        keys.reserve(last, qsizetype(last) * 16);
        for (std::uint32_t index = 0; index < std::uint32_t(m_rows.size()); ++index) {
            const QByteArrayView cell = storedCellBytes(index, column);
            keys.appendUtf8(cell.data(), cell.size());
        }
        std::vector<std::uint32_t> order(m_order.cbegin(), m_order.cend());
        sortPermutationByText(order, keys, descending);
        std::copy(order.cbegin(), order.cend(), m_order.begin());
        rowsChanged(first, std::min(last, m_shown));
        return;
    }
    std::vector<std::uint32_t> perm(size_t(last - first + 1));
    std::iota(perm.begin(), perm.end(), 0u);
    if (kind == SortKind::Text) {
        TextSortKeys keys;
        keys.reserve(last - first + 1, qsizetype(last - first + 1) * 16);
        for (int row = first; row <= last; ++row) {
            const QByteArrayView cell = storedCellBytes(storageIndex(row), column);
            keys.appendUtf8(cell.data(), cell.size());
        }
        sortPermutationByText(perm, keys, descending);
    } else {
        const std::vector<double> keys = valueKeys(kind, first, last, column);
        sortPermutationByValue(perm, keys, descending);
    }
    applyPermutation(first, perm);
    rowsChanged(first, std::min(last, m_shown));
}

void ResultGridModel::sortByText(int first, int last, bool descending, int column) {
    sortRows(SortKind::Text, first, last, descending, column);
}

void ResultGridModel::sortByNumber(int first, int last, bool descending, int column) {
    sortRows(SortKind::Number, first, last, descending, column);
}

void ResultGridModel::sortByDate(int first, int last, bool descending, int column) {
    sortRows(SortKind::Date, first, last, descending, column);
}

bool ResultGridModel::sortByKey(int key) {
    if (!m_layout.sortingOffered || key < 0 || key >= m_layout.sortKeys.size())
        return false;
    const GridSortKey& k = m_layout.sortKeys[key];
    if (m_layout.flipBeforeSort)
        m_directions->flip(key);
    sortRows(k.kind, 1, gridRowCount() - 1, m_directions->descending(key), k.column);
    if (!m_layout.flipBeforeSort)
        m_directions->flip(key);
    return true;
}

bool ResultGridModel::sortByKeyAgain(int key) {
    if (!m_layout.sortingOffered || key < 0 || key >= m_layout.sortKeys.size())
        return false;
    const GridSortKey& k = m_layout.sortKeys[key];
    const bool descending =
        m_layout.flipBeforeSort ? m_directions->descending(key) : !m_directions->descending(key);
    sortRows(k.kind, 1, gridRowCount() - 1, descending, k.column);
    return true;
}

// ---- Exports ----------------------------------------------------------------

QStringList ResultGridModel::resultLines() const {
    int fields = 0;
    for (int c = 0; c < m_columns; ++c)
        fields = std::max(fields, m_layout.fieldOfColumn(c));
    std::vector<int> columnOfField(size_t(fields) + 1, -1);
    for (int c = 0; c < m_columns; ++c)
        columnOfField[size_t(m_layout.fieldOfColumn(c))] = c;
    QStringList out;
    out.reserve(rowCounter());
    for (std::uint32_t index = 0; index < m_rows.size(); ++index) {
        const auto exact = m_exactLines.constFind(index);
        if (exact != m_exactLines.cend()) {
            out.append(*exact);
            continue;
        }
        QString line;
        for (int f = 1; f <= fields; ++f) {
            if (f > 1)
                line += QLatin1Char('\t');
            const int c = columnOfField[size_t(f)];
            if (c >= 0)
                line += storedCell(index, c);
        }
        out.append(line);
    }
    return out;
}

QList<QStringList> ResultGridModel::gridRows() const {
    QList<QStringList> out;
    out.reserve(rowCounter());
    for (int row = 1; row <= rowCounter(); ++row)
        out.append(rowTexts(row));
    return out;
}

QList<QStringList> ResultGridModel::reportRows() const {
    QList<QStringList> out;
    out.reserve(gridRowCount());
    out.append(m_layout.titles);
    for (int row = 1; row < gridRowCount(); ++row)
        out.append(rowTexts(row));
    return out;
}

QString ResultGridModel::clipboardText() const {
    const ClipboardForm form = m_layout.clipboard;
    return vantrel::clipboardText(
        form, m_layout.titles,
        form == ClipboardForm::ResultLines ? QList<QStringList>() : gridRows(),
        form == ClipboardForm::ResultLines ? resultLines() : QStringList());
}

}  // namespace vantrel
