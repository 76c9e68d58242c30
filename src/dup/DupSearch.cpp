#include "dup/DupSearch.h"

#include "results/GridSort.h"
#include "results/ListCapacity.h"
#include "results/ResultGridModel.h"
#include "text/Formats.h"

#include <QHash>

#include <algorithm>
#include <charconv>
#include <limits>

namespace vantrel {

namespace {

// The texts that form the key of a criterion, in order, joined by tabs:
// the name's exact text, the size text, the type text, and the write time
// in whole seconds (never the two-digit-year text of the line).
enum class KeyField { Name, Size, Type, Time };
struct KeyPlan {
    std::array<KeyField, 3> fields;
    int count = 0;
    bool has(KeyField f) const {
        return std::find(fields.begin(), fields.begin() + count, f) != fields.begin() + count;
    }
};

const KeyPlan& keyPlan(DupCriterion c) {
    using K = KeyField;
    // Same contents starts from files of equal size.
    if (c == DupCriterion::SameContents)
        c = DupCriterion::SizeOnly;
    static const std::array<KeyPlan, 7> plans = {{
        {{K::Name}, 1},                   // name
        {{K::Name, K::Size}, 2},          // name, size
        {{K::Name, K::Size, K::Time}, 3},  // name, size, date and time
        {{K::Size}, 1},                   // size
        {{K::Size, K::Time}, 2},          // size, date and time
        {{K::Size, K::Type}, 2},          // size, type
        {{K::Type, K::Time}, 2},          // type, date and time
    }};
    return plans[std::size_t(c)];
}

constexpr qint64 kNoTime = CandidateStore::kNoTime;

// The first eight UTF-16 units of a text, case-folded as
// compareIgnoringCase folds them, packed a byte each so that comparing the
// words compares those units in order. A unit beyond ASCII (which may fold
// to ASCII, like the Kelvin sign) ends the exact part; so does the end of
// the text. Comparing the exact parts of two texts decides their order
// without reading the texts whenever they differ there.
struct SortEntry {
    quint64 prefix = 0;
    quint32 index = 0;
    quint8 exact = 0;  // how many leading units the word holds exactly
    bool exactLine = false;  // hogs: the text compared is not the row's own line
};

SortEntry sortEntry(QStringView text, quint32 index) {
    SortEntry e;
    e.index = index;
    const char16_t* p = text.utf16();
    const qsizetype n = std::min<qsizetype>(text.size(), 8);
    for (qsizetype i = 0; i < n; ++i) {
        char16_t u = p[i];
        if (u >= 0x80)
            break;
        if (u >= u'A' && u <= u'Z')
            u = char16_t(u + 32);
        e.prefix |= quint64(u) << (8 * (7 - i));
        e.exact = quint8(i + 1);
    }
    return e;
}

// -1, 0 or 1 as the exact parts order two texts; 0 when they cannot tell.
int comparePrefixes(const SortEntry& a, const SortEntry& b) {
    quint64 wa = a.prefix;
    quint64 wb = b.prefix;
    const int n = std::min(a.exact, b.exact);
    if (n < 8) {
        if (n == 0)
            return 0;
        const quint64 mask = ~quint64(0) << (8 * (8 - n));
        wa &= mask;
        wb &= mask;
    }
    if (wa == wb)
        return 0;
    return wa < wb ? -1 : 1;
}

// Two printable ASCII texts compared as compareIgnoringCase compares them.
int compareFoldedAscii(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char ca = a[i];
        char cb = b[i];
        if (ca == cb)
            continue;
        if (ca >= 'A' && ca <= 'Z')
            ca = char(ca + 32);
        if (cb >= 'A' && cb <= 'Z')
            cb = char(cb + 32);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Moves a vector's memory back to the heap at once.
template <typename T, typename A>
void release(std::vector<T, A>& v) {
    std::vector<T, A>().swap(v);
}

}  // namespace

// The texts of the lines and keys: the date, time, type and folder texts
// are made once per distinct value.
class DupSearch::Texts {
public:
    Texts(const CandidateStore& store, const DupSearchOptions& options)
        : m_store(store), m_options(options), m_separator(TextLocale::current().thousandsSeparator) {}

    // numberText(size), appended.
    void appendSize(QString& out, qint64 value) const {
        const bool negative = value < 0;
        const quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
        const qsizetype n = end - digits;
        if (negative)
            out += QLatin1Char('-');
        for (qsizetype i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                out += m_separator;
            out += QLatin1Char(digits[i]);
        }
    }

    QString sizeText(qint64 value) const {
        QString out;
        appendSize(out, value);
        return out;
    }

    // Date and time texts depend on a few bits of the packed value only.
    // Undecodable values all share the fallback texts; 0 (not recorded)
    // gives empty texts.
    QString dateText(quint32 packed) {
        quint32 key = 0;
        if (packed != 0)
            key = decodeFileDate(packed, nullptr, nullptr) ? ((packed >> 16) | 0x10000u) : 0x20000u;
        auto it = m_dates.find(key);
        if (it == m_dates.end())
            it = m_dates.insert(key, fileDateText(packed));
        return *it;
    }

    QString timeText(quint32 packed) {
        quint32 key = 0;
        if (packed != 0)
            key = decodeFileDate(packed, nullptr, nullptr) ? ((packed & 0xFFFFu) | 0x10000u) : 0x20000u;
        auto it = m_times.find(key);
        if (it == m_times.end())
            it = m_times.insert(key, fileTimeText(packed));
        return *it;
    }

    // The type text of a name (its display or its exact text) and a number
    // per distinct type text.
    quint32 typeId(const QString& name) {
        const QString ext = extensionOf(name);
        auto it = m_typeIds.find(ext);
        if (it == m_typeIds.end()) {
            it = m_typeIds.insert(ext, quint32(m_types.size()));
            m_types.push_back(fileTypeDescription(ext));
        }
        return *it;
    }
    const QString& type(quint32 id) const { return m_types[id]; }

    QString folderField(quint32 folder) {
        auto it = m_folders.find(folder);
        if (it == m_folders.end())
            it = m_folders.insert(folder, lineFieldText(m_store.folder(folder).toByteArray()));
        return *it;
    }

    // The line of a candidate whose name field is `name` (its display text,
    // or its exact text for the line that is compared).
    QString lineFor(const CandidateRecord& r, const QString& name, const QString& folderField) {
        const QString size = sizeText(r.size);
        const QString date = dateText(r.modified);
        const QString time = timeText(r.modified);
        const QString access = dateText(r.accessed);
        const QString type = this->type(typeId(name));
        // The fields in the order of dupLineFields, joined straight into one
        // string.
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

    // A candidate's line, and the line it is compared by when its name's
    // display text is not exact (else a null text).
    std::pair<QString, QString> lines(const CandidateRecord& r, const QByteArray& nameBytes,
                                      const QString& folder) {
        const QString name = lineFieldText(nameBytes);
        std::pair<QString, QString> out{lineFor(r, name, folder), QString()};
        if (!r.plainName) {
            const QString exact = exactNameText(nameBytes);
            if (exact != name)
                out.second = lineFor(r, exact, folder);
        }
        return out;
    }
    std::pair<QString, QString> lines(const CandidateRecord& r) {
        return lines(r, m_store.name(r).toByteArray(), folderField(r.folder));
    }

    void forgetFolders() { m_folders = {}; }

private:
    const CandidateStore& m_store;
    const DupSearchOptions& m_options;
    const QString m_separator;
    QHash<quint32, QString> m_dates;
    QHash<quint32, QString> m_times;
    QHash<QString, quint32> m_typeIds;
    std::vector<QString> m_types;
    QHash<quint32, QString> m_folders;
};

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

DupSearch::DupSearch(const DupSearchOptions& options)
    : m_options(options),
      m_store(options.duplicateMode && keyPlan(options.criterion).has(KeyField::Time)) {}

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

DupSearch::Added DupSearch::addFile(const FileRecord& record, const QByteArray& folder) {
    if (!passes(record.size))
        return Added::Skipped;
    if (candidateCount() >= m_options.capacity || m_bytes >= m_options.memoryCapacity)
        return Added::Full;
    const qsizetype folders = m_store.folderCount();
    m_store.add(record, folder);
    // What the candidate takes, roughly: its record and name, its folder
    // when it is the first of it, and the entry the sort needs.
    m_bytes += qint64(sizeof(CandidateRecord) + sizeof(SortEntry)) + record.name.size();
    if (m_store.folderCount() != folders)
        m_bytes += folder.size() + qint64(sizeof(quint64));
    if (m_options.duplicateMode) {
        const KeyPlan& plan = keyPlan(m_options.criterion);
        if (plan.has(KeyField::Time))
            m_bytes += qint64(sizeof(qint64));
        if (plan.has(KeyField::Type))
            m_bytes += qint64(sizeof(quint32));
    } else {
        // Every file hog becomes a row: its line (UTF-16, some 60 characters
        // beside the path) and the row that carries it and its path.
        m_bytes += qint64(sizeof(DupCandidate)) + 3 * (folder.size() + record.name.size()) + 160;
    }
    return Added::Kept;
}

std::vector<DupCandidate> DupSearch::finish() {
    m_groupSizes.clear();
    Texts texts(m_store, m_options);
    std::vector<DupCandidate> rows =
        m_options.duplicateMode ? finishDuplicates(texts) : finishHogs(texts);
    m_store.clear();
    m_bytes = 0;
    return rows;
}

// The candidate list is kept in ascending case-insensitive order of the
// whole line, and duplicates are its runs of two or more neighbours with
// equal keys. The same rows come from ordering the candidates by key alone
// (the key's texts are the leading fields of the line, or, where they are
// not, the list is ordered by key first): every run of equal keys is one
// group, groups follow in key order, and only the members of a group need
// their lines, to be ordered by them within the group.
std::vector<DupCandidate> DupSearch::finishDuplicates(Texts& texts) {
    const KeyPlan& plan = keyPlan(m_options.criterion);
    const auto n = quint32(m_store.size());

    // The type of each candidate's exact name, for the criteria that compare
    // types.
    std::vector<quint32> typeIds;
    if (plan.has(KeyField::Type)) {
        typeIds.resize(n);
        QString name;
        for (quint32 i = 0; i < n; ++i) {
            const QByteArrayView bytes = m_store.name(m_store.at(i));
            name.resize(0);
            appendExactNameText(name, bytes.data(), bytes.size());
            typeIds[i] = texts.typeId(name);
        }
    }

    auto appendKey = [&](QString& out, quint32 index) {
        out.resize(0);
        const CandidateRecord& r = m_store.at(index);
        for (int f = 0; f < plan.count; ++f) {
            if (f > 0)
                out += QLatin1Char('\t');
            switch (plan.fields[std::size_t(f)]) {
                case KeyField::Name: {
                    const QByteArrayView bytes = m_store.name(r);
                    if (r.plainName)
                        out += QLatin1StringView(bytes.data(), bytes.size());
                    else
                        appendExactNameText(out, bytes.data(), bytes.size());
                    break;
                }
                case KeyField::Size:
                    texts.appendSize(out, r.size);
                    break;
                case KeyField::Type:
                    out += texts.type(typeIds[index]);
                    break;
                case KeyField::Time: {
                    // A time that is not recorded gets a text no other
                    // candidate has, so it matches nothing.
                    const qint64 seconds = m_store.writeSeconds(index);
                    if (seconds == kNoTime)
                        out += QLatin1Char('?') + QString::number(index);
                    else
                        out += QString::number(seconds);
                    break;
                }
            }
        }
    };

    RowVector<SortEntry> order(n);
    QString keyA;
    QString keyB;
    for (quint32 i = 0; i < n; ++i) {
        appendKey(keyA, i);
        order[i] = sortEntry(keyA, i);
    }
    // Digits in a size's text: texts of as many digits order as the sizes.
    auto digits = [](qint64 v) {
        int d = 1;
        for (; v >= 10; v /= 10)
            ++d;
        return d;
    };
    const KeyField firstField = plan.fields[0];
    auto compareKeys = [&](const SortEntry& a, const SortEntry& b) {
        const int byPrefix = comparePrefixes(a, b);
        if (byPrefix != 0)
            return byPrefix;
        // Fast paths for the first field, where its texts are simple: plain
        // names compare as their bytes folded (a name that is a prefix of the
        // other is followed by a tab or nothing, so it comes first), sizes
        // of as many digits as their values.
        const CandidateRecord& ra = m_store.at(a.index);
        const CandidateRecord& rb = m_store.at(b.index);
        if (firstField == KeyField::Name && ra.plainName && rb.plainName) {
            const QByteArrayView na = m_store.name(ra);
            const QByteArrayView nb = m_store.name(rb);
            const int byName = compareFoldedAscii(na, nb);
            if (byName != 0 || plan.count == 1)
                return byName;
        } else if (firstField == KeyField::Size && ra.size >= 0 && rb.size >= 0 &&
                   digits(ra.size) == digits(rb.size)) {
            if (ra.size != rb.size)
                return ra.size < rb.size ? -1 : 1;
            if (plan.count == 1)
                return 0;
        }
        appendKey(keyA, a.index);
        appendKey(keyB, b.index);
        return compareIgnoringCase(keyA, keyB);
    };
    std::sort(order.begin(), order.end(),
              [&](const SortEntry& a, const SortEntry& b) { return compareKeys(a, b) < 0; });

    // Every maximal run of two or more equal keys is a group.
    std::vector<quint32> members;
    std::vector<std::size_t> groupEnds;
    std::size_t i = 0;
    while (i + 1 < n) {
        std::size_t j = i + 1;
        while (j < n && compareKeys(order[i], order[j]) == 0)
            ++j;
        if (j - i >= 2) {
            for (std::size_t k = i; k < j; ++k)
                members.push_back(order[k].index);
            groupEnds.push_back(members.size());
        }
        i = j;
    }
    release(order);
    release(typeIds);

    // What the rows are made of, taken out of the store so that it can go
    // before the lines are made: the lines of a few rows may take more than
    // the records of all candidates.
    struct Pending {
        CandidateRecord record;
        QByteArray path;
        QString folderField;  // shared by the rows of one folder
        quint16 nameLength = 0;
        ListedState listed;
    };
    std::vector<Pending> pending;
    pending.reserve(members.size());
    for (const quint32 index : members) {
        const CandidateRecord& r = m_store.at(index);
        pending.push_back({r, m_store.path(r), texts.folderField(r.folder),
                           quint16(m_store.name(r).size()), listedState(index)});
    }
    release(members);
    texts.forgetFolders();
    m_store.clear();

    // Within a group, the rows follow their lines as compared (exact names),
    // then their paths.
    struct Member {
        DupCandidate row;
        QString compared;  // null: the row's line
        const QString& text() const { return compared.isNull() ? row.line : compared; }
    };
    std::vector<DupCandidate> rows;
    rows.reserve(pending.size());
    std::vector<Member> group;
    std::size_t first = 0;
    for (const std::size_t end : groupEnds) {
        group.clear();
        for (std::size_t k = first; k < end; ++k) {
            Pending& p = pending[k];
            const CandidateRecord& r = p.record;
            auto [line, compared] =
                texts.lines(r, p.path.sliced(p.path.size() - p.nameLength), p.folderField);
            group.push_back({DupCandidate{std::move(line), std::move(p.path), r.size, r.modified,
                                          r.accessed, p.listed},
                             std::move(compared)});
            p.folderField = QString();
        }
        std::sort(group.begin(), group.end(), [](const Member& a, const Member& b) {
            const int byLine = compareIgnoringCase(a.text(), b.text());
            if (byLine != 0)
                return byLine < 0;
            return a.row.path < b.row.path;
        });
        for (Member& m : group)
            rows.push_back(std::move(m.row));
        m_groupSizes.push_back(int(end - first));
        first = end;
    }
    return rows;
}

// Every file hog is a row: the lines are made for all, and the rows follow
// them in reverse order (then reverse path order).
std::vector<DupCandidate> DupSearch::finishHogs(Texts& texts) {
    const auto n = quint32(m_store.size());
    std::vector<DupCandidate> all;
    all.reserve(n);
    QHash<quint32, QString> compared;  // the lines compared, where not the rows' own
    std::vector<SortEntry> order(n);
    for (quint32 i = 0; i < n; ++i) {
        const CandidateRecord& r = m_store.at(i);
        auto [line, exact] = texts.lines(r);
        order[i] = sortEntry(exact.isNull() ? line : exact, i);
        if (!exact.isNull()) {
            order[i].exactLine = true;
            compared.insert(i, std::move(exact));
        }
        all.push_back(DupCandidate{std::move(line), m_store.path(r), r.size, r.modified, r.accessed,
                                   listedState(i)});
    }
    m_store.clear();
    auto textOf = [&](const SortEntry& e) -> const QString& {
        return e.exactLine ? *compared.constFind(e.index) : all[e.index].line;
    };
    std::sort(order.begin(), order.end(), [&](const SortEntry& a, const SortEntry& b) {
        const int byPrefix = comparePrefixes(a, b);
        if (byPrefix != 0)
            return byPrefix < 0;
        const int byLine = compareIgnoringCase(textOf(a), textOf(b));
        if (byLine != 0)
            return byLine < 0;
        return all[a.index].path < all[b.index].path;
    });
    std::vector<DupCandidate> rows;
    rows.reserve(n);
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        rows.push_back(std::move(all[it->index]));
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

ListedState DupSearch::listedState(quint32 index) const {
    const CandidateRecord& r = m_store.at(index);
    if (m_store.keepsWriteSeconds()) {
        const qint64 seconds = m_store.writeSeconds(index);
        if (seconds != CandidateStore::kNoTime)
            return ListedState::wholeSeconds(r.size, seconds);
    }
    return ListedState::packedDate(r.size, r.modified);
}

void addDupRows(ResultGridModel& model, const std::vector<DupCandidate>& rows, bool duplicateMode) {
    const int sizeColumn = duplicateMode ? 1 : 0;
    const int modifiedColumn = duplicateMode ? 2 : 1;
    const int accessColumn = duplicateMode ? 4 : 3;
    model.beginBatch();
    for (const DupCandidate& c : rows) {
        model.addToGrid(c.line, c.path,
                        {SortValue{sizeColumn, double(c.size)},
                         SortValue{modifiedColumn, packedDateValue(c.modified)},
                         SortValue{accessColumn, packedDateValue(c.accessed)}},
                        c.listed);
    }
    model.endBatch();
}

}  // namespace vantrel
