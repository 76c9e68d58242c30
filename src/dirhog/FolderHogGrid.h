#pragma once

#include "dirhog/FolderSurvey.h"
#include "results/GridLayout.h"
#include "results/ResultGridModel.h"

#include <QHash>
#include <QString>

namespace vantrel {

// How the folder-hogs window's result grid looks and what its rows say.
//
// Columns: "Size" (numberText of the bytes), "% Used" (percentText of the
// bytes over the drive's capacity: "???" when the folder is as large as the
// capacity or the capacity is unknown), "# Files", "# Sub-folders" (plain
// decimals), "Latest File Access" (the short date of the latest access time,
// empty when no file was counted) and "Name" (the folder's path as display
// text; the row carries the exact bytes). The first four are right-aligned.
// Sorting: "Sort by &Size", "Sort by # &Files", "Sort by # Sub-f&olders"
// (numbers), "Sort by &Access Date" (dates), "Sort by &Name" (text); the
// first four start descending, the name ascending; a click on a title sorts
// by its entry, "% Used" excepted. No marks: folders are deleted one at a
// time.
GridLayout folderHogsLayout();

// Makes the grid rows of a survey's folders: the six cells, the exact path,
// and the sort values of the size, count and date columns. Remembers the
// date texts it has made, since the latest access dates of a survey fall on
// comparatively few days and a date text costs more than the rest of a row.
class FolderHogRows {
public:
    explicit FolderHogRows(const FolderSurvey& survey) : m_survey(survey) {}
    GridRow row(qsizetype row);

private:
    struct DateTexts {
        QString text;
        double sortValue = 0;
    };
    const FolderSurvey& m_survey;
    QHash<quint32, DateTexts> m_dates;  // by packed date, its time of day cut off
};

// The status line after a survey: "Folders : " and the number of rows, then
// the roots mounted noatime, whose latest access dates are not kept up to
// date: "Folders : 12    (Latest File Access is not kept up to date on
// /data: mounted noatime)".
QString folderHogsStatus(int rows, const QList<SurveyedRoot>& roots);

// What the Size cell of a deleted or trashed folder's row reads.
QString folderGoneText(bool recycled);

}  // namespace vantrel
