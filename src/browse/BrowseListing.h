#pragma once

#include "browse/FolderStream.h"
#include "results/GridLayout.h"
#include "results/ResultGridModel.h"
#include "scan/Wildcard.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

namespace vantrel {

// The browser's grid: "Modified", "Time", "Access", "Size", "Filename",
// "Type"; marks on "Filename", sizes right-aligned, the status text
// "Marked for deletion: %d files %s bytes". Its "Sort" menu: "Name",
// "Modified &Date", "&Access Date", "&Size", "&Type" ("Name" checked at
// first). Each choice flips its direction flag and then sorts (a set flag
// sorts descending; every flag starts clear and keeps its value for the
// whole run). A title click sorts by its column; "Time" does not sort. No
// clipboard and no "Resize" entries.
GridLayout browseGridLayout();

// The browser's columns and sort keys.
enum BrowseColumn { kColModified, kColTime, kColAccess, kColSize, kColFilename, kColType };
enum BrowseSortKey { kSortName, kSortModified, kSortAccess, kSortSize, kSortType };

// What a listing of one folder shows.
struct FolderListingRequest {
    QByteArray folder;  // exact bytes, absolute
    Wildcard mask;      // names listed ("*.*": all)
    bool showHidden = false;
    // Whether a symbolic link given as the folder is followed (the tree's
    // root may be given through one; a folder below it never is).
    bool followLink = false;
    // The order the rows come in: by name as the grid's Name sort orders
    // them, ascending or descending.
    bool namesDescending = false;
};

// Reads the files that the browser lists in one folder: regular files whose
// names match the mask, hidden ones (a leading dot) only when asked; never
// folders, symbolic links, devices, fifos or sockets, and nothing is ever
// opened (an entry is only looked at, relative to the open folder). Names
// are exact bytes; each row carries the folder joined with the name as its
// path.
//
// Two steps, so that a big folder shows its first rows early: readNames()
// reads the listing and sorts the candidate names; nextRows() then looks at
// the next names and makes their rows. A name that is gone or is no longer a
// regular file by then gets no row. Totals are 64-bit.
class FolderFileReader {
public:
    explicit FolderFileReader(FolderListingRequest request);
    ~FolderFileReader();
    FolderFileReader(const FolderFileReader&) = delete;
    FolderFileReader& operator=(const FolderFileReader&) = delete;

    // False when the folder cannot be opened or read (error() is the errno)
    // or `cancel` was set.
    bool readNames(const std::atomic<bool>* cancel = nullptr);
    [[nodiscard]] qsizetype nameCount() const { return qsizetype(m_order.size()); }
    [[nodiscard]] bool atEnd() const { return m_next >= m_order.size(); }
    // Rows for the next `count` names, appended to `rows`.
    void nextRows(qsizetype count, std::vector<GridRow>& rows);

    [[nodiscard]] int error() const { return m_error; }
    [[nodiscard]] qint64 files() const { return m_files; }
    [[nodiscard]] qint64 bytes() const { return m_bytes; }

private:
    QString dateText(quint32 packed);
    QString timeText(quint32 packed);
    QString typeText(const QString& name);

    FolderListingRequest m_request;
    std::unique_ptr<FolderStream> m_stream;
    // The names back to back, each ended by a zero byte, and where each one
    // starts, in row order: one allocation for a folder of any size.
    QByteArray m_nameBytes;
    std::vector<quint32> m_order;
    size_t m_next = 0;
    int m_error = 0;
    qint64 m_files = 0;
    qint64 m_bytes = 0;
    QHash<quint32, QString> m_dates;
    QHash<quint32, QString> m_times;
    QHash<QString, QString> m_types;
};

// The whole listing at once: every row in name order, with the totals.
struct FolderFiles {
    std::vector<GridRow> rows;
    qint64 files = 0;
    qint64 bytes = 0;
    int error = 0;  // errno when the folder could not be read
};
FolderFiles readFolderFiles(const FolderListingRequest& request);

}  // namespace vantrel
