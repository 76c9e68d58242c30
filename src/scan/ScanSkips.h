#pragma once

#include "scan/Walker.h"

#include <QString>
#include <QStringList>

namespace vantrel {

// What a finished walk could not read, told to the user once after the scan
// so that a result with holes never looks complete.
//
// Counted: folders that could not be opened or whose listing broke off part
// way (FolderNotOpened, FolderNotRead) and entries that were listed but could
// not be looked at (EntryNotRead). Not counted: drive roots that could not be
// opened (DriveNotOpened, which has its own "Can't open drive" box as soon as
// it happens), and folders that are one of their own parents (FolderLoop:
// what they hold is walked already, nothing is missing). Entries that vanished
// during the walk are no errors and are not counted either.
struct ScanSkips {
    qint64 folders = 0;
    qint64 files = 0;
    // One line per counted failure, in walk order: the path, a colon and the
    // system's reason ("/home/ann/private: Permission denied"). At most
    // kMaxLines; after that a last line tells how many more there are.
    QStringList lines;

    static constexpr int kMaxLines = 1000;

    static ScanSkips of(const WalkReport& report);
    [[nodiscard]] bool isEmpty() const { return folders == 0 && files == 0; }
    // "3 folders could not be read; the result is incomplete.", with "1
    // folder", "2 files" or "3 folders and 1 file" as the counts say. Empty
    // when nothing was skipped.
    [[nodiscard]] QString message() const;
    // The lines, one per line of text.
    [[nodiscard]] QString details() const { return lines.join(QLatin1Char('\n')); }
};

}  // namespace vantrel
