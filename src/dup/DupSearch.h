#pragma once

#include "dup/CandidateStore.h"
#include "dup/NameText.h"
#include "platform/FileRecord.h"
#include "results/Deletion.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <deque>
#include <optional>
#include <vector>

namespace vantrel {

// The ways duplicate files are matched, in the order of the "Duplicates
// matching on" choice. The first seven compare what a walk lists (names,
// sizes, dates, types); SameContents compares the files' bytes
// (ContentSearch), and a DupSearch given it groups by size only, the
// contents' first stage.
enum class DupCriterion {
    FilenameOnly = 0,
    FilenameAndSize = 1,
    FilenameSizeAndDate = 2,
    SizeOnly = 3,
    SizeAndDate = 4,
    SizeAndType = 5,
    TypeAndDate = 6,
    SameContents = 7,
};
QStringList dupCriterionTexts();

enum class SizeCondition { LargerOrEqual, SmallerOrEqual, Between };

struct DupSearchOptions {
    bool duplicateMode = true;  // false: file hogs
    DupCriterion criterion = DupCriterion::FilenameOnly;
    SizeCondition condition = SizeCondition::LargerOrEqual;
    qint64 limit1 = 256000;  // bytes
    qint64 limit2 = 256000;  // bytes, "in between" only
    // How many candidates the search keeps before it refuses more (the
    // caller then aborts the scan), and how much memory they may take (an
    // estimate from the sizes of their records, names and folders).
    // Whichever comes first fills the list. A candidate is kept as numbers
    // and its name's bytes, some 100 bytes with typical paths, so the limits
    // admit 10 million files in about 1.2 GB.
    qsizetype capacity = 10'000'000;
    qint64 memoryCapacity = 1'200'000'000;
};

// One kept file: its candidate line (the field texts joined by tabs, in the
// order of the mode and criterion: seven fields for duplicates, six for file
// hogs; what the clipboard copies), its exact byte path and the values the
// grid sorts and totals by.
struct DupCandidate {
    QString line;
    QByteArray path;
    qint64 size = 0;
    quint32 modified = 0;  // packed write time
    quint32 accessed = 0;  // packed access time
    // The file as the scan saw it, as exactly as the search kept its time;
    // a row without one is compared with its file as it was when marked.
    std::optional<ListedState> listed;
};

// The candidate line's fields for a mode and criterion, in line order.
QStringList dupLineFields(const QString& name, const QString& size, const QString& date,
                          const QString& time, const QString& access, const QString& folder,
                          const QString& type, bool duplicateMode, DupCriterion criterion);

// The grid cells of a candidate, in column order: "Filename", "Size",
// "Modified", "Time", "Access", "Folder", "Type" for duplicates; "Size",
// "Modified", "Time", "Access", "FileName", "Type" for file hogs.
QStringList dupGridCells(const DupCandidate& c, bool duplicateMode, DupCriterion criterion);

// Collects candidates during a walk and turns them into result rows. Not
// thread-safe: one search belongs to one scan job.
//
// A candidate is kept as numbers (CandidateStore); its line is made only
// when it becomes a row. The rows, their order and their groups are those of
// a list of every candidate's line kept in the order described here:
//
// Sorting and grouping use one comparison, compareIgnoringCase, so that
// lines with equal keys are always neighbours and every run of them is one
// group:
// - A key is made of the fields the criterion names, as they stand (not
//   trimmed: "a.txt " is another name than "a.txt"), kept apart, so a file
//   "a1" of size "23" never matches a file "a12" of size "3". Two keys are
//   equal when compareIgnoringCase finds them equal, so "été" matches "ÉTÉ"
//   as "readme" matches "README".
// - Names are compared by their exact bytes (exactNameText), not by their
//   display text: two names that are not UTF-8 and show alike stay apart,
//   while ASCII case variants of them still match.
// - Modification date and time are compared as the files' real times in
//   whole seconds, never as the two-digit-year text of the line; a time that
//   is not recorded matches nothing.
class DupSearch {
public:
    explicit DupSearch(const DupSearchOptions& options);

    const DupSearchOptions& options() const { return m_options; }

    // Whether a size passes the size condition.
    bool passes(qint64 size) const;

    enum class Added { Kept, Skipped, Full };
    // Builds and keeps the candidate of one listed file when its size passes.
    // Full: the capacity is reached and the file was not kept; the caller
    // stops the walk and shows the resource message.
    Added addFile(const FileRecord& record, const QByteArray& folder);

    qsizetype candidateCount() const { return qsizetype(m_store.size()); }
    // What the candidates take on the heap so far, roughly (the figure the
    // memory capacity is checked against).
    qint64 candidateBytes() const { return m_bytes; }

    // Sorts the candidates and returns the result rows in row order:
    // duplicates as runs of two or more neighbours with equal keys (a line
    // with no equal neighbour is not shown); file hogs every candidate, in
    // reverse line order (the window then sorts them by size, largest first).
    std::vector<DupCandidate> finish();
    // How many rows each group of the last finish() has, in row order
    // (duplicates only).
    const std::vector<int>& groupSizes() const { return m_groupSizes; }

private:
    class Texts;
    std::vector<DupCandidate> finishDuplicates(Texts& texts);
    std::vector<DupCandidate> finishHogs(Texts& texts);
    // What the store kept of a candidate's state: its write time in whole
    // seconds where the search keeps them, else its packed write time.
    ListedState listedState(quint32 index) const;

    DupSearchOptions m_options;
    CandidateStore m_store;
    qint64 m_bytes = 0;  // estimated heap use of the candidates
    std::vector<int> m_groupSizes;
};

class ResultGridModel;

// Appends result rows to a grid of duplicatesLayout() or fileHogsLayout(),
// as one batch: each row with its exact path, the sort values of its size
// and date columns (so that no sort reads them back from the texts) and its
// listed state, when it has one.
void addDupRows(ResultGridModel& model, const std::vector<DupCandidate>& rows, bool duplicateMode);

// The resource message shown when the candidate list is full.
QString candidateListFullMessage();

}  // namespace vantrel
