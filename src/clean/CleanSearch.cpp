#include "clean/CleanSearch.h"

#include "results/GridSort.h"
#include "text/Formats.h"

namespace vantrel {

namespace {

// Display text of a name or folder for a cell: control characters (a line
// break or a tab in a name) become replacement characters.
QString cellText(const QByteArray& bytes) {
    QString text = displayText(bytes);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

}  // namespace

GridLayout cleanLayout() {
    GridLayout g;
    g.id = QStringLiteral("clean");
    g.titles = {QStringLiteral("Size"),   QStringLiteral("Modified"), QStringLiteral("Time"),
                QStringLiteral("Access"), QStringLiteral("FileName"), QStringLiteral("Type")};
    g.kinds = {ColumnKind::Number, ColumnKind::Date, ColumnKind::Text,
               ColumnKind::Date,   ColumnKind::Text, ColumnKind::Text};
    g.markColumn = 4;
    g.rightAligned = {0};
    g.sortKeys = {
        {QStringLiteral("&Size"), SortKind::Number, 0, true},
        {QStringLiteral("&Date"), SortKind::Date, 1, true},
        {QStringLiteral("&Access date"), SortKind::Date, 3, true},
        {QStringLiteral("&Name"), SortKind::Text, 4, false},
        {QStringLiteral("&Type"), SortKind::Text, 5, false},
    };
    g.defaultSortKey = 0;
    g.titleClickKeys = {0, 1, -1, 2, 3, 4};  // "Time" does not sort
    g.baseWidths = {64, 64, 64, 64, 296};
    g.stretchColumns = {4, 5};
    g.clipboard = ClipboardForm::TitleAndRowsTabbed;
    g.ignoreTitleDoubleClick = true;
    g.unmarkAllText = QStringLiteral("Unmark All");
    return g;
}

CleanSearch::CleanSearch(const QStringList& selectedLines)
    : m_matcher(std::make_shared<const TempFileMatcher>(selectedLines)) {}

WalkOptions CleanSearch::walkOptions() const {
    WalkOptions o;
    o.pattern = Wildcard();
    o.includeMask = faHidden;
    o.enterHiddenFolders = false;
    o.nameTest = [matcher = m_matcher](const char* name, qsizetype length) {
        return matcher->isThisFileTemporary(name, length);
    };
    return o;
}

QString CleanSearch::typeText(const QString& name) {
    const QString extension = extensionOf(name);
    auto it = m_types.find(extension);
    if (it == m_types.end())
        it = m_types.insert(extension, fileTypeDescription(extension));
    return *it;
}

GridRow CleanSearch::rowFor(const QByteArray& folder, const FileRecord& record) {
    if (folder != m_lastFolder || m_lastFolderText.isNull()) {
        m_lastFolder = folder;
        m_lastFolderText = cellText(folder);
    }
    const QString name = cellText(record.name);
    const quint32 written = record.packedWriteTime();
    const quint32 accessed = record.packedAccessTime();
    GridRow row;
    row.cells = {numberText(record.size),
                 fileDateText(written),
                 fileTimeText(written),
                 fileDateText(accessed),
                 joinPath(m_lastFolderText, name),
                 typeText(name)};
    row.path = joinPath(folder, record.name);
    row.values = {SortValue{0, double(record.size)}, SortValue{1, dateSortValue(written)},
                  SortValue{3, dateSortValue(accessed)}};
    row.listed = ListedState::exact(record.size, record.writeTime);
    return row;
}

}  // namespace vantrel
