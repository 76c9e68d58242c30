#pragma once

// The duplicates and file-hogs search as it was when every candidate kept its
// whole text line: the rows the compact search must reproduce exactly. Kept
// for the equivalence tests only.

#include "dup/DupSearch.h"

namespace vantrel::reference {

// Collects candidates during a walk and turns them into result rows. Not
// thread-safe: one search belongs to one scan job.
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
class ReferenceDupSearch {
public:
    explicit ReferenceDupSearch(const DupSearchOptions& options);

    const DupSearchOptions& options() const { return m_options; }

    // Whether a size passes the size condition.
    bool passes(qint64 size) const;

    using Added = DupSearch::Added;
    // Builds and keeps the candidate of one listed file when its size passes.
    // Full: the capacity is reached and the file was not kept; the caller
    // stops the walk and shows the resource message.
    Added addFile(const FileRecord& record, const QByteArray& folder);

    qsizetype candidateCount() const { return qsizetype(m_candidates.size()); }

    // Sorts the candidates and returns the result rows in row order:
    // duplicates as runs of two or more neighbours with equal keys (a line
    // with no equal neighbour is not shown); file hogs every candidate, in
    // reverse line order (the window then sorts them by size, largest first).
    std::vector<DupCandidate> finish();

private:
    // The line of a file whose name field is `name` (its display text, or
    // its exact text for the line that is compared).
    QString lineFor(const FileRecord& record, const QString& name, const QString& folder,
                    quint32 written, quint32 accessed);
    // The texts come by value: a later insertion into a cache may move the
    // cached ones, and a line takes several of them at once.
    QString folderText(const QByteArray& folder);
    QString dateText(quint32 packed);
    QString timeText(quint32 packed);
    QString typeText(const QString& name);

    DupSearchOptions m_options;
    std::deque<DupCandidate> m_candidates;  // no regrowth copies, no slack
    // The line as it is compared, by candidate index, for the few whose
    // name's display text is not exact (see exactNameText).
    QHash<quint32, QString> m_exactLines;
    // Modification times in whole seconds, by candidate index, for the
    // criteria that compare them (kNoTime: not recorded).
    std::deque<qint64> m_writeSeconds;
    qint64 m_bytes = 0;                     // estimated heap use of the candidates
    QByteArray m_lastFolder;
    QString m_lastFolderText;
    QHash<quint32, QString> m_dates;
    QHash<quint32, QString> m_times;
    QHash<QString, QString> m_types;
};

}  // namespace vantrel::reference
