#include "mods/ModsSearch.h"

#include "mods/FieldDate.h"
#include "results/GridSort.h"
#include "text/Formats.h"

namespace vantrel {

namespace {

// Grid columns.
constexpr int kAccessedColumn = 1;
constexpr int kCreatedColumn = 2;
constexpr int kModifiedColumn = 3;
constexpr int kSizeColumn = 4;

// What a kept row costs besides its texts: the grid's per-row index, cell
// ends, sort values and the state the file was listed with.
constexpr qint64 kRowOverhead = 144;

// Days that a packed local date can hold are keyed by its date bits; every
// other day (before 1980, after 2107) by its day number, above them.
constexpr qint64 kOtherDayKeys = qint64(1) << 32;

}  // namespace

QString gridText(const QByteArray& bytes) {
    QString text = displayText(bytes);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

ModsSearch::ModsSearch(const ModsSearchOptions& options)
    : m_options(options), m_dateFormat(fieldDateFormat()) {
    m_noDay.sortValue = kNoDateSortValue;
}

ModsSearch::Day ModsSearch::dayOf(const FileTime& time) {
    if (!time.recorded)
        return m_noDay;
    // Packing is cached per quarter hour (FileRecord), so the date bits of
    // the packed value are the cheap way to the local day of the common
    // times; the others are converted on their own.
    const quint32 packed = packUnixTime(time.sec);
    QDate date;
    qint64 key = 0;
    if (packed != 0) {
        key = qint64(packed >> 16);
    } else {
        date = localDayOf(time.sec);
        if (!date.isValid())
            return m_noDay;
        key = kOtherDayKeys + dayNumber(date);
    }
    auto it = m_days.find(key);
    if (it == m_days.end()) {
        if (packed != 0)
            date =
                QDate(int(packed >> 25) + 1980, int((packed >> 21) & 15), int((packed >> 16) & 31));
        Day day;
        day.text = TextLocale::current().locale.toString(date, m_dateFormat);
        day.sortValue = dateSortValue(date);
        it = m_days.insert(key, day);
    }
    return *it;
}

QString ModsSearch::folderText(const QByteArray& folder) {
    if (folder != m_lastFolder || m_lastFolderText.isNull()) {
        m_lastFolder = folder;
        m_lastFolderText = gridText(folder);
    }
    return m_lastFolderText;
}

QString ModsSearch::typeText(const QString& name) {
    const QString ext = extensionOf(name);
    auto it = m_types.find(ext);
    if (it == m_types.end())
        it = m_types.insert(ext, fileTypeDescription(ext));
    return *it;
}

ModsSearch::Added ModsSearch::addFile(const FileRecord& record, const QByteArray& folder) {
    if (!record.isRegular() || !inRange(record))
        return Added::Skipped;
    if (m_found >= m_options.capacity || m_bytes >= m_options.memoryCapacity)
        return Added::Full;

    // By value: a later insertion into the cache may move the days cached.
    const Day accessed = dayOf(record.accessTime);
    const Day created = dayOf(record.creationTime);
    const Day modified = dayOf(record.writeTime);
    GridRow row;
    const QString name = gridText(record.name);
    row.cells = {name,          accessed.text,           created.text,
                 modified.text, numberText(record.size), folderText(folder),
                 typeText(name)};
    row.path = joinPath(folder, record.name);
    row.values = {{kAccessedColumn, accessed.sortValue},
                  {kCreatedColumn, created.sortValue},
                  {kModifiedColumn, modified.sortValue},
                  {kSizeColumn, double(record.size)}};
    row.listed = ListedState::exact(record.size, record.writeTime);

    qint64 bytes = kRowOverhead + row.path.size();
    for (const QString& cell : row.cells)
        bytes += cell.size();
    m_bytes += bytes;
    ++m_found;
    m_rows.push_back(std::move(row));
    return Added::Kept;
}

std::vector<GridRow> ModsSearch::takeRows() {
    std::vector<GridRow> rows;
    rows.swap(m_rows);
    return rows;
}

GridLayout filesByDateLayout() {
    GridLayout g;
    g.id = QStringLiteral("filesByDate");
    g.titles = {QStringLiteral("Filename"), QStringLiteral("Accessed"), QStringLiteral("Created"),
                QStringLiteral("Modified"), QStringLiteral("Size"),     QStringLiteral("Folder"),
                QStringLiteral("Type")};
    g.kinds = {ColumnKind::Text,   ColumnKind::Date, ColumnKind::Date, ColumnKind::Date,
               ColumnKind::Number, ColumnKind::Text, ColumnKind::Text};
    g.markColumn = 0;
    g.rightAligned = {kSizeColumn};
    g.sortKeys = {
        {QStringLiteral("&Name"), SortKind::Text, 0, false},
        {QStringLiteral("Access &Date"), SortKind::Date, kAccessedColumn, true},
        {QStringLiteral("&Creation Date"), SortKind::Date, kCreatedColumn, true},
        {QStringLiteral("&Modification Date"), SortKind::Date, kModifiedColumn, true},
        {QStringLiteral("&Size"), SortKind::Number, kSizeColumn, false},
        {QStringLiteral("&Folder"), SortKind::Text, 5, false},
        {QStringLiteral("&Type"), SortKind::Text, 6, false},
    };
    g.defaultSortKey = 0;
    g.titleClickKeys = {0, 1, 2, 3, 4, 5, 6};
    // Name, folder and type share the width; dates and sizes keep what they
    // need.
    g.baseWidths = {110, 68, 68, 68, 65, 189};
    g.stretchColumns = {0, 5, 6};
    g.clipboard = ClipboardForm::FirstFiveCellsTabbed;
    g.ignoreTitleDoubleClick = true;
    return g;
}

QString filesByDatePrintTitle(DateField field, DateRangeMode mode, const QString& start,
                              const QString& end) {
    QString title = QStringLiteral("Files ");
    switch (field) {
        case DateField::LastAccessed:
            title += QStringLiteral("Last accessed");
            break;
        case DateField::Created:
            title += QStringLiteral("Created");
            break;
        case DateField::LastModified:
            title += QStringLiteral("Modified");
            break;
    }
    title += QLatin1Char(' ');
    switch (mode) {
        case DateRangeMode::OnOrBefore:
            return title + QStringLiteral("before ") + start;
        case DateRangeMode::InBetween:
            return title + QStringLiteral("between ") + start + QStringLiteral(" and ") + end;
        case DateRangeMode::OnOrAfter:
            break;
    }
    return title + QStringLiteral("after ") + start;
}

}  // namespace vantrel
