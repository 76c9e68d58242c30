#pragma once

#include "dirhog/FolderSurvey.h"
#include "results/GridLayout.h"
#include "results/ResultGridModel.h"

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

// The grid row of one surveyed folder: the six cells, the exact path, and
// the sort values of the size, count and date columns.
GridRow folderHogRow(const FolderSurvey& survey, qsizetype row);

// What the Size cell of a deleted or trashed folder's row reads.
QString folderGoneText(bool recycled);

}  // namespace vantrel
