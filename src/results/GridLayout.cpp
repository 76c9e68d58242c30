#include "results/GridLayout.h"

#include "text/Formats.h"

namespace vantrel {

ColumnKind GridLayout::kind(int column) const {
    return column >= 0 && column < kinds.size() ? kinds[column] : ColumnKind::Text;
}

int GridLayout::fieldOfColumn(int column) const {
    return column >= 0 && column < lineFields.size() ? lineFields[column] : column + 1;
}

int GridLayout::titleClickKey(int column) const {
    if (!sortingOffered || column < 0 || column >= titleClickKeys.size())
        return -1;
    const int key = titleClickKeys[column];
    return key >= 0 && key < sortKeys.size() ? key : -1;
}

GridLayout duplicatesLayout(int criterion) {
    GridLayout g;
    g.id = QStringLiteral("duplicates");
    g.titles = {QStringLiteral("Filename"), QStringLiteral("Size"),   QStringLiteral("Modified"),
                QStringLiteral("Time"),     QStringLiteral("Access"), QStringLiteral("Folder"),
                QStringLiteral("Type")};
    g.kinds = {ColumnKind::Text, ColumnKind::Number, ColumnKind::Date, ColumnKind::Text,
               ColumnKind::Date, ColumnKind::Text,   ColumnKind::Text};
    // Criteria 0-2 lead with the name, 3-5 with the size, 6 with the type.
    if (criterion >= 3 && criterion <= 5)
        g.lineFields = {2, 1, 3, 4, 5, 6, 7};
    else if (criterion == 6)
        g.lineFields = {4, 5, 2, 3, 6, 7, 1};
    else
        g.lineFields = {1, 2, 3, 4, 5, 6, 7};
    g.markColumn = 0;
    g.rightAligned = {1};
    // Duplicates are shown grouped; the grid is never re-sorted.
    g.sortingOffered = false;
    g.baseWidths = {93, 58, 64, 70, 70, 184};
    g.restOffset = 564;
    g.restRule = RestWidthRule::ClientMinusOffset;
    g.clipboard = ClipboardForm::ResultLines;
    return g;
}

GridLayout fileHogsLayout() {
    GridLayout g;
    g.id = QStringLiteral("fileHogs");
    g.titles = {QStringLiteral("Size"),   QStringLiteral("Modified"), QStringLiteral("Time"),
                QStringLiteral("Access"), QStringLiteral("FileName"), QStringLiteral("Type")};
    g.kinds = {ColumnKind::Number, ColumnKind::Date, ColumnKind::Text,
               ColumnKind::Date,   ColumnKind::Text, ColumnKind::Text};
    g.markColumn = 4;
    g.rightAligned = {0};
    g.sortKeys = {
        {QStringLiteral("&Size"), SortKind::Number, 0, true},
        {QStringLiteral("&Date"), SortKind::Date, 1, true},
        {QStringLiteral("&Access Date"), SortKind::Date, 3, true},
        {QStringLiteral("&Name"), SortKind::Text, 4, false},
        {QStringLiteral("&Type"), SortKind::Text, 5, false},
    };
    g.defaultSortKey = 0;
    g.titleClickKeys = {0, 1, -1, 2, 3, 4};  // "Time" does not sort
    g.baseWidths = {64, 64, 64, 64, 296};
    g.restOffset = 577;
    g.restRule = RestWidthRule::ClientMinusOffset;
    g.clipboard = ClipboardForm::ResultLines;
    return g;
}

QString markStatusText(const QString& format, qint64 count, qint64 bytes) {
    QString out = format;
    const qsizetype d = out.indexOf(QLatin1String("%d"));
    if (d >= 0)
        out.replace(d, 2, QString::number(count));
    const qsizetype s = out.indexOf(QLatin1String("%s"));
    if (s >= 0)
        out.replace(s, 2, numberText(bytes));
    return out;
}

}  // namespace vantrel
