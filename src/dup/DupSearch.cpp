#include "dup/DupSearch.h"

#include "results/GridSort.h"
#include "results/ResultGridModel.h"
#include "text/Formats.h"

#include <algorithm>

namespace vantrel {

namespace {

// Fields of the line that form the key of each criterion (1-based).
const std::array<std::vector<int>, 7>& keyFields() {
    static const std::array<std::vector<int>, 7> fields = {{
        {1},           // name
        {1, 2},        // name, size
        {1, 2, 3, 4},  // name, size, date, time
        {1},           // size
        {1, 3, 4},     // size, date, time
        {1, 7},        // size, type
        {1, 2, 3},     // type, date, time
    }};
    return fields;
}

QString asciiUpper(QString s) {
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QChar(char16_t(u - 32));
    }
    return s;
}

// Criteria whose key fields do not begin the line: equal keys are not
// neighbours in line order by themselves.
bool keyIsNotLinePrefix(DupCriterion c) {
    return c == DupCriterion::SizeAndDate || c == DupCriterion::SizeAndType;
}

}  // namespace

QStringList dupCriterionTexts() {
    return {QStringLiteral("Filename only"),
            QStringLiteral("Filename and size"),
            QStringLiteral("Filename, size and modify date/time"),
            QStringLiteral("Size only"),
            QStringLiteral("Size and modify date/time"),
            QStringLiteral("Size and type"),
            QStringLiteral("Type and modify date/time")};
}

QString lineFieldText(const QByteArray& bytes) {
    QString text = displayText(bytes);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

QString candidateListFullMessage() {
    return QStringLiteral(
        "Due to Windows resource limitations ... cannot process any more files.\n\n"
        "Try increasing the file size limits or file match and re-scan.");
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
            return {size, name, date, time, access, folder, type};
        case DupCriterion::TypeAndDate:
            return {type, date, time, name, size, access, folder};
    }
    return {};
}

QString dupKey(const QString& line, DupCriterion criterion) {
    QString key;
    bool first = true;
    for (int field : keyFields()[std::size_t(criterion)]) {
        if (!first)
            key += QLatin1Char('\t');
        key += tabField(line, field);
        first = false;
    }
    return asciiUpper(key);
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
        criterion == DupCriterion::SizeAndType)
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

QString DupSearch::lineFor(const FileRecord& record, const QByteArray& folder, QByteArray* path) {
    const QString name = lineFieldText(record.name);
    const quint32 written = record.packedWriteTime();
    const quint32 accessed = record.packedAccessTime();
    *path = joinPath(folder, record.name);
    const QStringList fields = dupLineFields(
        name, numberText(record.size), dateText(written), timeText(written), dateText(accessed),
        folderText(folder), typeText(name), m_options.duplicateMode, m_options.criterion);
    return fields.join(QLatin1Char('\t'));
}

DupSearch::Added DupSearch::addFile(const FileRecord& record, const QByteArray& folder) {
    if (!passes(record.size))
        return Added::Skipped;
    if (candidateCount() >= m_options.capacity)
        return Added::Full;
    DupCandidate c;
    c.line = lineFor(record, folder, &c.path);
    c.size = record.size;
    c.modified = record.packedWriteTime();
    c.accessed = record.packedAccessTime();
    m_candidates.push_back(std::move(c));
    return Added::Kept;
}

std::vector<DupCandidate> DupSearch::finish() {
    std::vector<DupCandidate> all = std::move(m_candidates);
    m_candidates.clear();
    const DupCriterion criterion = m_options.criterion;

    // The candidate list is kept in ascending case-insensitive order of the
    // whole line. Where the key's fields are not a prefix of the line (size
    // with date, size with type) lines with equal keys are made neighbours by
    // ordering on the key first.
    std::vector<qsizetype> order(all.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = qsizetype(i);
    const bool keyFirst = m_options.duplicateMode && keyIsNotLinePrefix(criterion);
    std::vector<QString> keys;
    if (m_options.duplicateMode) {
        keys.reserve(all.size());
        for (const DupCandidate& c : all)
            keys.push_back(dupKey(c.line, criterion));
    }
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        if (keyFirst) {
            const int byKey =
                QString::compare(keys[std::size_t(a)], keys[std::size_t(b)], Qt::CaseSensitive);
            if (byKey != 0)
                return byKey < 0;
        }
        const int byLine = QString::compare(all[std::size_t(a)].line, all[std::size_t(b)].line,
                                            Qt::CaseInsensitive);
        if (byLine != 0)
            return byLine < 0;
        return all[std::size_t(a)].path < all[std::size_t(b)].path;
    });

    std::vector<DupCandidate> rows;
    if (!m_options.duplicateMode) {
        rows.reserve(all.size());
        for (auto it = order.rbegin(); it != order.rend(); ++it)
            rows.push_back(std::move(all[std::size_t(*it)]));
        return rows;
    }

    // Every maximal run of two or more neighbours with equal keys becomes a
    // group of rows, in list order.
    std::size_t i = 0;
    while (i + 1 < order.size()) {
        const QString& key = keys[std::size_t(order[i])];
        std::size_t j = i + 1;
        while (j < order.size() && keys[std::size_t(order[j])] == key)
            ++j;
        if (j - i >= 2) {
            for (std::size_t k = i; k < j; ++k)
                rows.push_back(std::move(all[std::size_t(order[k])]));
        }
        i = j;
    }
    return rows;
}

void addDupRows(ResultGridModel& model, const std::vector<DupCandidate>& rows, bool duplicateMode) {
    const int sizeColumn = duplicateMode ? 1 : 0;
    const int modifiedColumn = duplicateMode ? 2 : 1;
    const int accessColumn = duplicateMode ? 4 : 3;
    model.beginBatch();
    for (const DupCandidate& c : rows) {
        model.addToGrid(c.line, c.path,
                        {SortValue{sizeColumn, double(c.size)},
                         SortValue{modifiedColumn, dateSortValue(c.modified)},
                         SortValue{accessColumn, dateSortValue(c.accessed)}});
    }
    model.endBatch();
}

}  // namespace vantrel
