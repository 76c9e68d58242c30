#pragma once

#include "mods/DateRange.h"
#include "platform/FileRecord.h"
#include "results/GridLayout.h"
#include "results/ResultGridModel.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <vector>

namespace vantrel {

struct ModsSearchOptions {
    DateField field = DateField::LastAccessed;
    DateRange range{DateRangeMode::InBetween, QDate::currentDate(), QDate::currentDate()};
    // How many rows the search keeps before it refuses more (the caller then
    // stops the walk with the resource message), and how much memory they
    // may take (an estimate from the lengths of their texts and paths):
    // the same limits as the duplicates search, so that "on or before today"
    // over a whole disk stops in good order instead of exhausting memory.
    qsizetype capacity = 4'000'000;
    qint64 memoryCapacity = 1'100'000'000;
};

// The files-by-date search: tests each file the walk hands on against the
// range and makes the grid row of each file in range, in the order the walk
// hands them on (no sort follows). Not thread-safe: one search belongs to one
// scan job, which takes the rows in batches with takeRows().
//
// A row's cells are those of filesByDateLayout(): the name, the local
// calendar day of the last access, the creation and the last change (in the
// four-digit-year format of the date fields, fieldDateText; empty when the
// time is not recorded), the size with thousands separators, the folder as
// the walk reports it and the type's description. Names and folders are
// display texts (bytes that are not UTF-8, and control characters, shown as
// U+FFFD); the row carries the file's exact byte path, and its date and size
// columns carry their sort values (day numbers of the true dates, also
// before 1980 and after 2107; no date sorts as kNoDateSortValue), so nothing
// is ever read back from a text.
class ModsSearch {
public:
    explicit ModsSearch(const ModsSearchOptions& options);

    const ModsSearchOptions& options() const { return m_options; }

    // Whether the record's chosen time lies in the range.
    [[nodiscard]] bool inRange(const FileRecord& record) const {
        return m_options.range.contains(timeOf(record, m_options.field));
    }

    enum class Added { Kept, Skipped, Full };
    // Makes the row of a listed file when its time lies in the range. Full:
    // the capacity is reached and the file was not kept; the caller stops
    // the walk and shows the resource message.
    Added addFile(const FileRecord& record, const QByteArray& folder);

    // Files kept so far.
    qsizetype found() const { return m_found; }
    // Rows made since the last takeRows().
    qsizetype pendingRows() const { return qsizetype(m_rows.size()); }
    // Hands over the rows made since the last call, in walk order.
    std::vector<GridRow> takeRows();

private:
    struct Day {
        QString text;
        double sortValue = 0.0;
    };
    Day dayOf(const FileTime& time);
    QString folderText(const QByteArray& folder);
    QString typeText(const QString& name);

    ModsSearchOptions m_options;
    std::vector<GridRow> m_rows;
    qsizetype m_found = 0;
    qint64 m_bytes = 0;  // estimated memory of the rows kept
    QString m_dateFormat;
    QHash<qint64, Day> m_days;  // by local day (see dayOf)
    Day m_noDay;
    QByteArray m_lastFolder;
    QString m_lastFolderText;
    QHash<QString, QString> m_types;
};

// The grid of the files-by-date window: "Filename", "Accessed", "Created",
// "Modified", "Size", "Folder", "Type"; the mark on the name; the size
// right-aligned; the sort entries "&Name" (checked at first), "Access
// &Date", "&Creation Date", "&Modification Date", "&Size", "&Folder" and
// "&Type", the dates first sorting newest first; a title click sorts by its
// column; "C&lipboard" copies the first five cells of each row in grid
// order, each followed by a tab; a double click on the title row marks
// nothing.
GridLayout filesByDateLayout();

// The printed list's title: "Files ", "Last accessed", "Created" or
// "Modified", a blank, then "before " and the start, "between ", the start,
// " and " and the end, or "after " and the start ("Files Last accessed
// between 5/1/2025 and 5/30/2025").
QString filesByDatePrintTitle(DateField field, DateRangeMode mode, const QString& start,
                              const QString& end);

// A name or folder as grid text: bytes that are not valid UTF-8 and control
// characters (tabs and line breaks among them) shown as U+FFFD.
QString gridText(const QByteArray& bytes);

}  // namespace vantrel
