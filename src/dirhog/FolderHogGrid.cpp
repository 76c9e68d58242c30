#include "dirhog/FolderHogGrid.h"

#include "platform/FileRecord.h"
#include "results/GridSort.h"
#include "text/Formats.h"

namespace vantrel {

GridLayout folderHogsLayout() {
    GridLayout g;
    g.id = QStringLiteral("folderHogs");
    g.titles = {QStringLiteral("Size"),
                QStringLiteral("% Used"),
                QStringLiteral("# Files"),
                QStringLiteral("# Sub-folders"),
                QStringLiteral("Latest File Access"),
                QStringLiteral("Name")};
    g.kinds = {ColumnKind::Number, ColumnKind::Text, ColumnKind::Number,
               ColumnKind::Number, ColumnKind::Date, ColumnKind::Text};
    g.markColumn = -1;
    g.rightAligned = {0, 1, 2, 3};
    g.sortKeys = {
        {QStringLiteral("Sort by &Size"), SortKind::Number, 0, true},
        {QStringLiteral("Sort by # &Files"), SortKind::Number, 2, true},
        {QStringLiteral("Sort by # Sub-f&olders"), SortKind::Number, 3, true},
        {QStringLiteral("Sort by &Access Date"), SortKind::Date, 4, true},
        {QStringLiteral("Sort by &Name"), SortKind::Text, 5, false},
    };
    g.defaultSortKey = 0;
    g.titleClickKeys = {0, -1, 1, 2, 3, 4};  // "% Used" does not sort
    g.baseWidths = {80, 40, 40, 70, 90};
    g.stretchColumns = {5};
    g.clipboard = ClipboardForm::ResultLines;
    g.detailsOffered = false;
    g.marksOffered = false;
    g.runViewOffered = false;
    return g;
}

GridRow FolderHogRows::row(qsizetype row) {
    const FolderFigures& f = m_survey.figures(row);
    const SurveyedRoot& root = m_survey.rootOf(row);
    // The day of the latest access, as a packed date without its time.
    const quint32 day =
        f.latestAccess == kNoAccessTime ? 0 : packUnixTime(f.latestAccess) & 0xFFFF0000u;
    auto date = m_dates.find(day);
    if (date == m_dates.end())
        date = m_dates.insert(day, DateTexts{fileDateText(day), dateSortValue(day)});
    GridRow out;
    out.path = m_survey.path(row);
    out.cells = {numberText(f.bytes),
                 percentText(double(f.bytes), double(root.capacity)),
                 QString::number(f.files),
                 QString::number(f.subFolders),
                 date->text,
                 displayText(out.path)};
    out.values = {{0, double(f.bytes)},
                  {2, double(f.files)},
                  {3, double(f.subFolders)},
                  {4, date->sortValue}};
    return out;
}

QString folderHogsStatus(int rows, const QList<SurveyedRoot>& roots) {
    QString text = QStringLiteral("Folders : ") + QString::number(rows);
    QStringList noAtime;
    for (const SurveyedRoot& root : roots) {
        if (root.noAtime)
            noAtime.append(displayText(root.drive.root));
    }
    if (!noAtime.isEmpty())
        text += QStringLiteral("    (Latest File Access is not kept up to date on ") +
                noAtime.join(QStringLiteral(", ")) + QStringLiteral(": mounted noatime)");
    return text;
}

QString folderGoneText(bool recycled) {
    return recycled ? QStringLiteral("RECYCLED") : QStringLiteral("DELETED");
}

}  // namespace vantrel
