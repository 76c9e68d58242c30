#include "results/GridLayout.h"

#include "text/Formats.h"

#include <algorithm>

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

int GridLayout::minimumWidth(int column) const {
    return column >= 0 && column < baseWidths.size() ? baseWidths[column] : kDefaultColumnMinimum;
}

bool GridLayout::stretches(int column) const {
    return stretchColumns.isEmpty() || stretchColumns.contains(column);
}

QList<int> fitColumnWidths(const QList<ColumnClaim>& columns, int available) {
    QList<int> widths(columns.size(), 0);
    bool anyStretches = false;
    for (const ColumnClaim& c : columns)
        anyStretches = anyStretches || c.stretches;
    QList<int> stretching;
    qint64 rest = available;  // what the fixed columns leave
    qint64 wantedSum = 0;
    for (int i = 0; i < columns.size(); ++i) {
        const ColumnClaim& c = columns[i];
        widths[i] = std::max(c.minimum, c.wanted);
        if (c.stretches || !anyStretches) {
            stretching.append(i);
            wantedSum += widths[i];
        } else {
            rest -= widths[i];
        }
    }
    if (stretching.isEmpty())
        return widths;

    qint64 given = 0;
    if (rest >= wantedSum) {
        // Room to spare: shared in proportion to what each wants.
        for (int i : stretching) {
            if (wantedSum > 0)
                widths[i] += int((rest - wantedSum) * widths[i] / wantedSum);
            given += widths[i];
        }
    } else {
        // Too little: the widest give way first. Every stretching column is
        // cut to one common width, the largest with which they fit, but not
        // below its minimum; a short name keeps its width while a long
        // folder is shortened.
        const auto cutTo = [&](qint64 cap) {
            qint64 sum = 0;
            for (int i : stretching)
                sum += std::max<qint64>(columns[i].minimum, std::min<qint64>(widths[i], cap));
            return sum;
        };
        qint64 low = 0;
        qint64 high = wantedSum;
        while (low < high) {
            const qint64 mid = (low + high + 1) / 2;
            if (cutTo(mid) <= rest)
                low = mid;
            else
                high = mid - 1;
        }
        for (int i : stretching) {
            widths[i] = int(std::max<qint64>(columns[i].minimum, std::min<qint64>(widths[i], low)));
            given += widths[i];
        }
    }
    // Whole pixels leave a few over; the widest stretching columns take one
    // each, so that the columns end exactly at the edge.
    QList<int> byWidth = stretching;
    std::stable_sort(byWidth.begin(), byWidth.end(),
                     [&widths](int a, int b) { return widths[a] > widths[b]; });
    for (qsizetype k = 0; given < rest && !byWidth.isEmpty(); k = (k + 1) % byWidth.size()) {
        ++widths[byWidth[k]];
        ++given;
    }
    return widths;
}

GridLayout duplicatesLayout(int criterion) {
    GridLayout g;
    g.id = QStringLiteral("duplicates");
    g.titles = {QStringLiteral("Filename"), QStringLiteral("Size"),   QStringLiteral("Modified"),
                QStringLiteral("Time"),     QStringLiteral("Access"), QStringLiteral("Folder"),
                QStringLiteral("Type")};
    g.kinds = {ColumnKind::Text, ColumnKind::Number, ColumnKind::Date, ColumnKind::Text,
               ColumnKind::Date, ColumnKind::Text,   ColumnKind::Text};
    // Criteria 0-2 lead with the name, 3-5 and 7 (contents) with the size,
    // 6 with the type.
    if ((criterion >= 3 && criterion <= 5) || criterion == 7)
        g.lineFields = {2, 1, 3, 4, 5, 6, 7};
    else if (criterion == 6)
        g.lineFields = {4, 5, 2, 3, 6, 7, 1};
    else
        g.lineFields = {1, 2, 3, 4, 5, 6, 7};
    g.markColumn = 0;
    g.rightAligned = {1};
    // Duplicates are shown grouped; the grid is never re-sorted.
    g.sortingOffered = false;
    // Name, folder and type share the width; sizes, dates and times keep
    // what they need.
    g.baseWidths = {93, 58, 64, 70, 70, 184};
    g.stretchColumns = {0, 5, 6};
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
    g.stretchColumns = {4, 5};
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
