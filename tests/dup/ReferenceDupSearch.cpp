#include "ReferenceDupSearch.h"

#include "text/Formats.h"

#include <algorithm>
#include <limits>

namespace vantrel::reference {

namespace {

// The fields of the line whose texts form the key of each criterion
// (1-based, in line order), and whether the modification time joins them.
struct KeyPlan {
    std::vector<int> fields;
    bool withTime = false;
};

const KeyPlan& keyPlan(DupCriterion c) {
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

ReferenceDupSearch::ReferenceDupSearch(const DupSearchOptions& options) : m_options(options) {}

bool ReferenceDupSearch::passes(qint64 size) const {
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

QString ReferenceDupSearch::folderText(const QByteArray& folder) {
    if (folder != m_lastFolder || m_lastFolderText.isNull()) {
        m_lastFolder = folder;
        m_lastFolderText = lineFieldText(folder);
    }
    return m_lastFolderText;
}

// Date and time texts depend on a few bits of the packed value only, so each
// distinct text is made once per search. Undecodable values all share the
// fallback texts; 0 (not recorded) gives empty texts.
QString ReferenceDupSearch::dateText(quint32 packed) {
    quint32 key = 0;
    if (packed != 0)
        key = decodeFileDate(packed, nullptr, nullptr) ? ((packed >> 16) | 0x10000u) : 0x20000u;
    auto it = m_dates.find(key);
    if (it == m_dates.end())
        it = m_dates.insert(key, fileDateText(packed));
    return *it;
}

QString ReferenceDupSearch::timeText(quint32 packed) {
    quint32 key = 0;
    if (packed != 0)
        key = decodeFileDate(packed, nullptr, nullptr) ? ((packed & 0xFFFFu) | 0x10000u) : 0x20000u;
    auto it = m_times.find(key);
    if (it == m_times.end())
        it = m_times.insert(key, fileTimeText(packed));
    return *it;
}

QString ReferenceDupSearch::typeText(const QString& name) {
    const QString ext = extensionOf(name);
    auto it = m_types.find(ext);
    if (it == m_types.end())
        it = m_types.insert(ext, fileTypeDescription(ext));
    return *it;
}

QString ReferenceDupSearch::lineFor(const FileRecord& record, const QString& name,
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

ReferenceDupSearch::Added ReferenceDupSearch::addFile(const FileRecord& record, const QByteArray& folder) {
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

std::vector<DupCandidate> ReferenceDupSearch::finish() {
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
            for (std::size_t k = i; k < j; ++k)
                rows.push_back(std::move(all[order[k].index]));
        }
        i = j;
    }
    return rows;
}

}  // namespace vantrel::reference
