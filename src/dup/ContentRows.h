#pragma once

#include "dup/ContentSearch.h"
#include "dup/DupSearch.h"

#include <QString>

#include <vector>

namespace vantrel {

// Result rows of the duplicates window that say more than a walk lists:
// which rows are hard links, and what reading the files found.
//
// A note goes into the row's type field, after the type: "Text document
// (hard link)". The criteria key on the type before any note is added, so
// notes never change a grouping.

// The notes.
QString hardLinkNote();         // "hard link"
QString sameContentsNote();     // "same contents"
QString differsNote();          // "differs"
QString notReadNote();          // "not read"

// `line` (a candidate line of `criterion`) with " (note)" after its type.
QString lineWithNote(const QString& line, DupCriterion criterion, const QString& note);

// The rows of a contents search, group after group in the search's order
// (most wasted bytes first), in the field order of SameContents; a path that
// is a hard link of the row before it says so. `groupSizes` receives the
// rows of each group.
std::vector<DupCandidate> contentRows(const ContentSearch& search,
                                      const ContentSearch::Result& result,
                                      std::vector<int>& groupSizes);

// Hard links among the rows of the metadata criteria: within a group, every
// row whose file (device and inode, looked up now) appeared on an earlier
// row of the group is noted as a hard link; a group that is one file under
// several names is dropped, rows and size, since deleting any of its names
// frees nothing. A row that cannot be looked up stays as it is. `listed`,
// when given, receives what each kept row's file is now (path, size and
// modification time; size -1 for a file that cannot be looked up), so
// that a later check can tell a file that changed.
void noteHardLinks(std::vector<DupCandidate>& rows, std::vector<int>& groupSizes,
                   DupCriterion criterion, std::vector<ContentCheckFile>* listed = nullptr);

// How checking a group by contents went.
struct GroupCheck {
    std::vector<int> order;       // the group's rows (0-based within it) in their new order
    std::vector<int> groupSizes;  // the identical subsets, then one group per other row
    std::vector<QString> notes;   // per new row: same contents / differs / not read
    bool confirmed = false;       // every row of the group has the same contents
};
// Turns the subsets of one group (contentSubsets) into its new rows: each
// subset of two or more rows is a group of "same contents", in the order of
// its first row; rows that match no other ("differs") and rows that could
// not be read ("not read") follow, each a group of its own.
GroupCheck checkGroup(const std::vector<int>& subsets);

}  // namespace vantrel
