#include "dup/DupSearch.h"

#include "results/GridSort.h"
#include "results/ListCapacity.h"
#include "results/ResultGridModel.h"
#include "text/Formats.h"

#include <algorithm>
#include <limits>

namespace vantrel {

namespace {

// The fields of the line whose texts form the key of each criterion
// (1-based, in line order), and whether the modification time joins them.
struct KeyPlan {
    std::vector<int> fields;
    bool withTime = false;
};

const KeyPlan& keyPlan(DupCriterion c) {
    if (c == DupCriterion::SameContents)
        c = DupCriterion::SizeOnly;
    static const std::array<KeyPlan, 7> plans = {{
        {{1}, false},     // name
        {{1, 2}, false},  // name, size
        {{1, 2}, true},   // name, size, date and time
        {{1}, false},     // size
        {{1}, true},      // size, date and time
        {{1, 7}, false},  // size, type
        {{1}, true},      // type, date and time
    }};
    return plans[std::size_t(c)];
}

// A criterion whose key is the line's leading fields: lines with equal keys
// are neighbours in line order by themselves. The others (a key field after
// the name, or the time, which the line holds only as text) are ordered by
// their key first.
bool keyIsLinePrefix(DupCriterion c) {
    const KeyPlan& plan = keyPlan(c);
    if (plan.withTime)
        return false;
    for (std::size_t i = 0; i < plan.fields.size(); ++i) {
        if (plan.fields[i] != int(i) + 1)
            return false;
    }
    return true;
}

constexpr qint64 kNoTime = std::numeric_limits<qint64>::min();

// The line up to (not including) the tab that ends field `fields`.
QStringView leadingFields(QStringView line, int fields) {
    qsizetype at = -1;
    for (int f = 0; f < fields; ++f) {
        at = line.indexOf(QLatin1Char('\t'), at + 1);
        if (at < 0)
            return line;
    }
    return line.first(at);
}

// Field n (1-based) of a line as it stands (not trimmed); empty beyond the
// last field.
QStringView rawField(QStringView line, int n) {
    for (int f = 1; f < n; ++f) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            return {};
        line = line.sliced(tab + 1);
    }
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    return tab < 0 ? line : line.first(tab);
}

// The key of a criterion that is ordered by its key: the named fields as
// they stand, then the time (a time that is not recorded gets a text no
// other candidate has, so it matches nothing).
QString keyOf(QStringView line, const KeyPlan& plan, qint64 writeSeconds, quint32 index) {
    QString key;
    for (std::size_t i = 0; i < plan.fields.size(); ++i) {
        if (i > 0)
            key += QLatin1Char('\t');
        key += rawField(line, plan.fields[i]);
    }
    if (plan.withTime) {
        key += QLatin1Char('\t');
        if (writeSeconds == kNoTime)
            key += QLatin1Char('?') + QString::number(index);
        else
            key += QString::number(writeSeconds);
    }
    return key;
}

// The first eight UTF-16 units of a line, case-folded as
// compareIgnoringCase folds them, packed so that comparing the two words
// compares those units in order. Units beyond ASCII that are surrogates
// (folded as whole code points) end the exact part; so does the end of the
// line. Comparing the exact parts of two lines decides their order without
// reading the lines themselves whenever they differ there.
struct SortEntry {
    quint64 high = 0;  // units 0-3
    quint64 low = 0;   // units 4-7
    quint32 index = 0;
    quint8 exact = 0;  // how many leading units the words hold exactly
    bool exactLine = false;  // the line compared is not the candidate's own (exactNameText)
};

SortEntry sortEntry(const QString& line, quint32 index) {
    SortEntry e;
    e.index = index;
    const char16_t* p = QStringView(line).utf16();
    const qsizetype n = std::min<qsizetype>(line.size(), 8);
    for (qsizetype i = 0; i < n; ++i) {
        char16_t u = p[i];
        if (u >= u'A' && u <= u'Z') {
            u = char16_t(u + 32);
        } else if (u >= 0x80) {
            if (QChar::isSurrogate(u))
                break;
            u = QChar::toCaseFolded(u);
        }
        quint64& word = i < 4 ? e.high : e.low;
        word |= quint64(u) << (16 * (3 - (i & 3)));
        e.exact = quint8(i + 1);
    }
    return e;
}

// -1, 0 or 1 as the exact parts order two lines; 0 when they cannot tell.
int comparePrefixes(const SortEntry& a, const SortEntry& b) {
    if (a.exact == 8 && b.exact == 8) {
        if (a.high != b.high)
            return a.high < b.high ? -1 : 1;
        if (a.low != b.low)
            return a.low < b.low ? -1 : 1;
        return 0;
    }
    const int n = std::min(a.exact, b.exact);
    for (int i = 0; i < n; ++i) {
        const quint64 wa = i < 4 ? a.high : a.low;
        const quint64 wb = i < 4 ? b.high : b.low;
        const int shift = 16 * (3 - (i & 3));
        const quint64 ua = (wa >> shift) & 0xFFFF;
        const quint64 ub = (wb >> shift) & 0xFFFF;
        if (ua != ub)
            return ua < ub ? -1 : 1;
    }
    return 0;
}

}  // namespace

int compareIgnoringCase(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = pa[i];
        char16_t cb = pb[i];
        if (ca == cb)
            continue;
        if ((ca | cb) < 0x80) {
            if (ca >= u'A' && ca <= u'Z')
                ca = char16_t(ca + 32);
            if (cb >= u'A' && cb <= u'Z')
                cb = char16_t(cb + 32);
            if (ca != cb)
                return ca < cb ? -1 : 1;
            continue;
        }
        // Beyond ASCII the folding is Qt's. Everything before position i
        // folds equal; starting one unit early keeps a surrogate pair whole.
        const qsizetype from = i > 0 ? i - 1 : 0;
        const int byQt = a.mid(from).compare(b.mid(from), Qt::CaseInsensitive);
        return byQt < 0 ? -1 : (byQt > 0 ? 1 : 0);
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

QStringList dupCriterionTexts() {
    return {QStringLiteral("Filename only"),
            QStringLiteral("Filename and size"),
            QStringLiteral("Filename, size and modify date/time"),
            QStringLiteral("Size only"),
            QStringLiteral("Size and modify date/time"),
            QStringLiteral("Size and type"),
            QStringLiteral("Type and modify date/time"),
            QStringLiteral("Same contents")};
}

QString lineFieldText(const QByteArray& bytes) {
    QString text = displayText(bytes);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

namespace {

// The length of the valid UTF-8 sequence at p (end excluded), or 0.
int utf8SequenceLength(const uchar* p, const uchar* end) {
    const uchar b = p[0];
    int length = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            low = 0xA0;  // no overlong forms
        else if (b == 0xED)
            high = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            low = 0x90;
        else if (b == 0xF4)
            high = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (end - p < length || p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    }
    return length;
}

bool isControl(uchar b) {
    return b < 0x20 || b == 0x7F;
}

}  // namespace

QString exactNameText(const QByteArray& name) {
    const auto* p = reinterpret_cast<const uchar*>(name.constData());
    const uchar* const end = p + name.size();
    QString text;
    text.reserve(name.size());
    const uchar* run = p;  // the start of the valid text not yet appended
    auto flush = [&](const uchar* upTo) {
        if (upTo > run)
            text += QString::fromUtf8(reinterpret_cast<const char*>(run), upTo - run);
    };
    while (p < end) {
        const int length = utf8SequenceLength(p, end);
        if (length > 0 && !(length == 1 && isControl(*p))) {
            p += length;
            continue;
        }
        flush(p);
        text += QChar(char16_t(0xDC00 + *p));
        run = ++p;
    }
    flush(p);
    return text;
}

QString candidateListFullMessage() {
    return resultListFullMessage();
}

QStringList dupLineFields(const QString& name, const QString& size, const QString& date,
                          const QString& time, const QString& access, const QString& folder,
                          const QString& type, bool duplicateMode, DupCriterion criterion) {
    if (!duplicateMode)
        return {size, date, time, access, joinPath(folder, name), type};
    switch (criterion) {
        case DupCriterion::FilenameOnly:
        case DupCriterion::FilenameAndSize:
        case DupCriterion::FilenameSizeAndDate:
            return {name, size, date, time, access, folder, type};
        case DupCriterion::SizeOnly:
        case DupCriterion::SizeAndDate:
        case DupCriterion::SizeAndType:
        case DupCriterion::SameContents:
            return {size, name, date, time, access, folder, type};
        case DupCriterion::TypeAndDate:
            return {type, date, time, name, size, access, folder};
    }
    return {};
}

QStringList dupGridCells(const DupCandidate& c, bool duplicateMode, DupCriterion criterion) {
    const QStringList f = c.line.split(QLatin1Char('\t'));
    auto field = [&f](int n) { return n - 1 < f.size() ? f[n - 1].trimmed() : QString(); };
    static const std::array<int, 7> identity = {1, 2, 3, 4, 5, 6, 7};
    static const std::array<int, 7> sizeFirst = {2, 1, 3, 4, 5, 6, 7};
    static const std::array<int, 7> typeFirst = {4, 5, 2, 3, 6, 7, 1};
    QStringList cells;
    if (!duplicateMode) {
        for (int n = 1; n <= 6; ++n)
            cells.append(field(n));
        return cells;
    }
    const std::array<int, 7>* order = &identity;
    if (criterion == DupCriterion::SizeOnly || criterion == DupCriterion::SizeAndDate ||
        criterion == DupCriterion::SizeAndType || criterion == DupCriterion::SameContents)
        order = &sizeFirst;
    else if (criterion == DupCriterion::TypeAndDate)
        order = &typeFirst;
    for (int n : *order)
        cells.append(field(n));
    return cells;
}

DupSearch::DupSearch(const DupSearchOptions& options) : m_options(options) {}

bool DupSearch::passes(qint64 size) const {
    switch (m_options.condition) {
        case SizeCondition::LargerOrEqual:
            return size >= m_options.limit1;
        case SizeCondition::SmallerOrEqual:
            return size <= m_options.limit1;
        case SizeCondition::Between:
            return size >= m_options.limit1 && size <= m_options.limit2;
    }
    return false;
}

QString DupSearch::folderText(const QByteArray& folder) {
    if (folder != m_lastFolder || m_lastFolderText.isNull()) {
        m_lastFolder = folder;
        m_lastFolderText = lineFieldText(folder);
    }
    return m_lastFolderText;
}

// Date and time texts depend on a few bits of the packed value only, so each
// distinct text is made once per search. Undecodable values all share the
// fallback texts; 0 (not recorded) gives empty texts.
QString DupSearch::dateText(quint32 packed) {
    quint32 key = 0;
    if (packed != 0)
        key = decodeFileDate(packed, nullptr, nullptr) ? ((packed >> 16) | 0x10000u) : 0x20000u;
    auto it = m_dates.find(key);
    if (it == m_dates.end())
        it = m_dates.insert(key, fileDateText(packed));
    return *it;
}

QString DupSearch::timeText(quint32 packed) {
    quint32 key = 0;
    if (packed != 0)
        key = decodeFileDate(packed, nullptr, nullptr) ? ((packed & 0xFFFFu) | 0x10000u) : 0x20000u;
    auto it = m_times.find(key);
    if (it == m_times.end())
        it = m_times.insert(key, fileTimeText(packed));
    return *it;
}

QString DupSearch::typeText(const QString& name) {
    const QString ext = extensionOf(name);
    auto it = m_types.find(ext);
    if (it == m_types.end())
        it = m_types.insert(ext, fileTypeDescription(ext));
    return *it;
}

QString DupSearch::lineFor(const FileRecord& record, const QString& name,
                           const QString& folderField, quint32 written, quint32 accessed) {
    const QString size = numberText(record.size);
    const QString date = dateText(written);
    const QString time = timeText(written);
    const QString access = dateText(accessed);
    const QString type = typeText(name);
    // The fields in the order of dupLineFields, joined straight into one
    // string: lines are made once per listed file.
    std::array<const QString*, 7> fields{};
    QString path;
    qsizetype count = 7;
    if (!m_options.duplicateMode) {
        path = joinPath(folderField, name);
        fields = {&size, &date, &time, &access, &path, &type, nullptr};
        count = 6;
    } else {
        switch (m_options.criterion) {
            case DupCriterion::FilenameOnly:
            case DupCriterion::FilenameAndSize:
            case DupCriterion::FilenameSizeAndDate:
                fields = {&name, &size, &date, &time, &access, &folderField, &type};
                break;
            case DupCriterion::SizeOnly:
            case DupCriterion::SizeAndDate:
            case DupCriterion::SizeAndType:
            case DupCriterion::SameContents:
                fields = {&size, &name, &date, &time, &access, &folderField, &type};
                break;
            case DupCriterion::TypeAndDate:
                fields = {&type, &date, &time, &name, &size, &access, &folderField};
                break;
        }
    }
    qsizetype length = count - 1;
    for (qsizetype i = 0; i < count; ++i)
        length += fields[std::size_t(i)]->size();
    QString line;
    line.reserve(length);
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0)
            line += QLatin1Char('\t');
        line += *fields[std::size_t(i)];
    }
    return line;
}

DupSearch::Added DupSearch::addFile(const FileRecord& record, const QByteArray& folder) {
    if (!passes(record.size))
        return Added::Skipped;
    if (candidateCount() >= m_options.capacity || m_bytes >= m_options.memoryCapacity)
        return Added::Full;
    DupCandidate c;
    c.modified = record.packedWriteTime();
    c.accessed = record.packedAccessTime();
    const QString name = lineFieldText(record.name);
    const QString folderField = folderText(folder);
    c.line = lineFor(record, name, folderField, c.modified, c.accessed);
    const auto index = quint32(m_candidates.size());
    // A name whose display text is lossy is compared by its exact text.
    const bool plain = std::all_of(record.name.cbegin(), record.name.cend(),
                                   [](char b) { return b >= 0x20 && b < 0x7F; });
    if (!plain) {
        const QString exact = exactNameText(record.name);
        if (exact != name) {
            const QString line = lineFor(record, exact, folderField, c.modified, c.accessed);
            m_exactLines.insert(index, line);
            m_bytes += 2 * line.size() + 64;
        }
    }
    if (m_options.duplicateMode && keyPlan(m_options.criterion).withTime) {
        m_writeSeconds.push_back(record.writeTime.recorded ? record.writeTime.sec : kNoTime);
        m_bytes += qint64(sizeof(qint64));
    }
    // joinPath, in one allocation.
    c.path.reserve(folder.size() + 1 + record.name.size());
    c.path += folder;
    if (!folder.endsWith('/'))
        c.path += '/';
    c.path += record.name;
    c.size = record.size;
    // What the candidate takes on the heap, roughly: the line (UTF-16), the
    // path, the list's entry, two block headers and the sort's index; the
    // sort by key needs room for the key as well.
    m_bytes += qint64(sizeof(DupCandidate)) + 2 * c.line.size() + c.path.size() + 88;
    if (m_options.duplicateMode && !keyIsLinePrefix(m_options.criterion))
        m_bytes += 96;
    m_candidates.push_back(std::move(c));
    return Added::Kept;
}

std::vector<DupCandidate> DupSearch::finish() {
    std::deque<DupCandidate> all = std::move(m_candidates);
    m_candidates = {};
    const QHash<quint32, QString> exactLines = std::move(m_exactLines);
    m_exactLines = {};
    const std::deque<qint64> writeSeconds = std::move(m_writeSeconds);
    m_writeSeconds = {};
    m_bytes = 0;
    const DupCriterion criterion = m_options.criterion;
    const KeyPlan& plan = keyPlan(criterion);

    // The text each candidate is sorted and grouped by: its line, or the
    // line with its name's exact text.
    auto textOf = [&](const SortEntry& e) -> const QString& {
        return e.exactLine ? *exactLines.constFind(e.index) : all[e.index].line;
    };

    // The candidate list is kept in ascending case-insensitive order of the
    // whole line. Where the key is not the line's leading fields (size with
    // date, size with type, and every key with the time) lines with equal
    // keys are made neighbours by ordering on the key first. The sort moves
    // small entries that carry the beginning of their line, so most
    // comparisons never touch the lines.
    std::vector<SortEntry> order;
    order.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto exact = exactLines.constFind(quint32(i));
        const bool hasExact = exact != exactLines.cend();
        order.push_back(sortEntry(hasExact ? *exact : all[i].line, quint32(i)));
        order.back().exactLine = hasExact;
    }
    const bool keyFirst = m_options.duplicateMode && !keyIsLinePrefix(criterion);
    std::vector<QString> keys;
    if (keyFirst) {
        keys.resize(all.size());
        for (const SortEntry& e : order) {
            const qint64 seconds = plan.withTime ? writeSeconds[e.index] : kNoTime;
            keys[e.index] = keyOf(textOf(e), plan, seconds, e.index);
        }
    }
    std::sort(order.begin(), order.end(), [&](const SortEntry& a, const SortEntry& b) {
        if (keyFirst) {
            const int byKey = compareIgnoringCase(keys[a.index], keys[b.index]);
            if (byKey != 0)
                return byKey < 0;
        }
        const int byPrefix = comparePrefixes(a, b);
        if (byPrefix != 0)
            return byPrefix < 0;
        const int byLine = compareIgnoringCase(textOf(a), textOf(b));
        if (byLine != 0)
            return byLine < 0;
        return all[a.index].path < all[b.index].path;
    });

    std::vector<DupCandidate> rows;
    m_groupSizes.clear();
    if (!m_options.duplicateMode) {
        rows.reserve(all.size());
        for (auto it = order.rbegin(); it != order.rend(); ++it)
            rows.push_back(std::move(all[it->index]));
        return rows;
    }

    // Every maximal run of two or more neighbours with equal keys becomes a
    // group of rows, in list order; each line's key is compared with the
    // first line of its run, by the comparison the sort used.
    const int keyFields = int(plan.fields.size());
    auto sameKey = [&](const SortEntry& a, const SortEntry& b) {
        if (keyFirst)
            return compareIgnoringCase(keys[a.index], keys[b.index]) == 0;
        return compareIgnoringCase(leadingFields(textOf(a), keyFields),
                                   leadingFields(textOf(b), keyFields)) == 0;
    };
    const std::size_t n = order.size();
    std::size_t i = 0;
    while (i + 1 < n) {
        std::size_t j = i + 1;
        while (j < n && sameKey(order[i], order[j]))
            ++j;
        if (j - i >= 2) {
            m_groupSizes.push_back(int(j - i));
            for (std::size_t k = i; k < j; ++k)
                rows.push_back(std::move(all[order[k].index]));
        }
        i = j;
    }
    return rows;
}

namespace {

// dateSortValue of a packed date without making a date-time of it: the
// common case, a decodable date, is only its day number.
double packedDateValue(quint32 packed) {
    QDate date;
    if (packed != 0 && decodeFileDate(packed, &date, nullptr))
        return dateSortValue(date);
    return dateSortValue(packed);
}

}  // namespace

void addDupRows(ResultGridModel& model, const std::vector<DupCandidate>& rows, bool duplicateMode) {
    const int sizeColumn = duplicateMode ? 1 : 0;
    const int modifiedColumn = duplicateMode ? 2 : 1;
    const int accessColumn = duplicateMode ? 4 : 3;
    model.beginBatch();
    for (const DupCandidate& c : rows) {
        model.addToGrid(c.line, c.path,
                        {SortValue{sizeColumn, double(c.size)},
                         SortValue{modifiedColumn, packedDateValue(c.modified)},
                         SortValue{accessColumn, packedDateValue(c.accessed)}});
    }
    model.endBatch();
}

}  // namespace vantrel
