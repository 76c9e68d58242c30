#pragma once

#include "platform/Drives.h"
#include "scan/FolderIdSet.h"
#include "scan/Walker.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace vantrel {

// The folder-hogs survey: how much space folders take, from one walk of
// each ticked drive.
//
// Two modes:
// - MainFolders: one row per folder directly under a drive's root, measured
//   with everything below it (the sum that `du -sxb FOLDER` prints). The
//   files lying in the root itself belong to no row.
// - AllFolders: one row per folder of the drive, the root included, each
//   measured by its own entries only (what `du -Sxb` prints per folder). A
//   root that holds nothing at all gets no row.
//
// What counts, as `du -x` counts it: every entry on the root's file system,
// hidden ones included (hidden folders are entered: a home folder's .cache
// and a project's .git are often the biggest), each by its apparent size
// (st_size: a sparse file counts what it reads as, a symbolic link the length
// of its target, a folder the size of its own listing). A file with several
// hard links counts its bytes once per survey, under the first of its names
// that the walk reaches; every name counts as a file. A folder of another
// file system (a mount point) is neither entered nor counted, and nothing is
// ever followed through a symbolic link. So a drive's total (SurveyedRoot::
// total) equals `du -sxb ROOT`, and the rows of a drive never add up to more.
//
// A row's figures: bytes, files (every entry that is not a folder), sub-
// folders (MainFolders: every folder below it at any depth; AllFolders: its
// own sub-folders) and the latest access time (atime) among its files; all
// 64-bit. A folder that cannot be read is still counted with its own size
// (and reported by the walk as an error), but it has no row of its own.
//
// Rows are kept as numbers in compact records (about 50 bytes a folder plus
// its name; a row's path is put together from its parents when asked), in
// the order the walk enters the folders: by drive, then depth first in
// bytewise order of the names, a folder before its sub-folders.
//
// A survey holds at most `capacity` rows: the row beyond it is not made, the
// survey calls onFull once and sets scanAborted, and the walk ends with the
// rows gathered so far.
//
// Not thread-safe: the walk fills it on its own thread, and it is read once
// the walk is over.

enum class SurveyMode { MainFolders, AllFolders };

// A drive's capacity in bytes (statvfs: f_frsize * f_blocks), or nothing
// when it cannot be read.
using CapacityQuery = std::function<std::optional<qint64>(const QByteArray& root)>;

struct SurveyOptions {
    SurveyMode mode = SurveyMode::MainFolders;
    // Rows kept before the survey stops with the resource message.
    qsizetype capacity = 20'000'000;
    // The drives' capacities; diskGeometry's when empty (tests give sizes).
    CapacityQuery capacityOf;
};

// No file counted, so no access time.
inline constexpr qint64 kNoAccessTime = std::numeric_limits<qint64>::min();

struct FolderFigures {
    qint64 bytes = 0;
    qint64 files = 0;
    qint64 subFolders = 0;
    qint64 latestAccess = kNoAccessTime;  // seconds since the epoch

    void addFile(qint64 size, qint64 accessTime) {
        bytes += size;
        ++files;
        if (accessTime > latestAccess)
            latestAccess = accessTime;
    }
    bool operator==(const FolderFigures&) const = default;
};

struct SurveyedRoot {
    DriveEntry drive;
    qint64 capacity = 0;   // bytes; 0 when unknown
    bool noAtime = false;  // mounted noatime: access times are not kept
    // Everything under the root on its file system, the root folder itself
    // included (its sub-folders in subFolders): `du -sxb ROOT`.
    FolderFigures total;
    qsizetype firstRow = 0;  // its rows are firstRow .. endRow - 1
    qsizetype endRow = 0;
};

// The resource message shown when the survey is full.
QString surveyFullMessage();

// True when the file system that holds `path` is mounted noatime.
bool mountedNoAtime(const QByteArray& path);

class FolderSurvey final : public WalkVisitor {
public:
    explicit FolderSurvey(const SurveyOptions& options = {});
    ~FolderSurvey() override;
    FolderSurvey(const FolderSurvey&) = delete;
    FolderSurvey& operator=(const FolderSurvey&) = delete;

    const SurveyOptions& options() const { return m_options; }
    // How the survey walks: every entry, hidden folders entered.
    static WalkOptions walkOptions();

    // Called once, on the walking thread, when the survey is full (before
    // scanAborted is set).
    void setOnFull(std::function<void()> onFull) { m_onFull = std::move(onFull); }

    // Surveys the drives (ScanAllDrives: not ready ones skipped, every folder
    // walked once) and adds their rows to what this survey holds.
    WalkReport run(const QList<DriveEntry>& drives, ScanControl& control);
    // Surveys one folder as a drive of type "folder".
    WalkReport run(const QByteArray& root, ScanControl& control);

    // ---- Results ----------------------------------------------------------
    qsizetype rowCount() const { return qsizetype(m_rows.size()); }
    const FolderFigures& figures(qsizetype row) const { return m_rows[size_t(row)].figures; }
    // The folder's path, exact bytes.
    QByteArray path(qsizetype row) const;
    // The drive whose walk made the row.
    const SurveyedRoot& rootOf(qsizetype row) const;
    const QList<SurveyedRoot>& roots() const { return m_roots; }
    bool full() const { return m_full; }
    // Bytes held for the rows and their names (not the walk's own).
    qsizetype memoryUsed() const;

    // The rows in the order the grid first shows them: largest first, equal
    // sizes by path.
    std::vector<qsizetype> bySizeDescending() const;

    // ---- WalkVisitor ------------------------------------------------------
    void driveStarted(const DriveEntry& drive) override;
    void folderEntered(const QByteArray& folder, int depth) override;
    void entry(const QByteArray& folder, const FileRecord& record) override;
    void folderDone(const QByteArray& folder, int depth) override;

private:
    static constexpr quint32 kNone = std::numeric_limits<quint32>::max();

    struct Row {
        FolderFigures figures;
        quint32 parent = kNone;  // kNone: the row lies directly in its root
        quint32 nameOffset = 0;  // in m_names
        quint16 nameLength = 0;  // 0: the root itself
    };
    // The folder being walked at one depth.
    struct Level {
        quint32 row = kNone;            // where its entries count (kNone: nowhere but the total)
        std::vector<quint32> children;  // rows of its sub-folders, in walk (byte) order
        std::size_t cursor = 0;         // the next child to match with an entry
    };

    quint32 addRow(quint32 parent, const char* name, qsizetype length);
    QByteArrayView nameOf(quint32 row) const;
    // The row of the sub-folder `name` of `level`, if the walk made one.
    quint32 matchChild(Level& level, QByteArrayView name) const;
    void startRoot(const DriveEntry& drive);

    SurveyOptions m_options;
    std::function<void()> m_onFull;
    ScanControl* m_control = nullptr;
    std::deque<Row> m_rows;
    std::vector<char> m_names;
    QList<SurveyedRoot> m_roots;
    std::vector<Level> m_levels;  // by depth, for the folders on the current path
    int m_depth = -1;             // depth of the folder whose entries come next
    quint64 m_rootDevice = 0;
    bool m_rootOpen = false;  // driveStarted seen, folderEntered(depth 0) not yet
    FolderIdSet m_linked;     // (device, inode) of hard-linked files counted
    bool m_full = false;
};

}  // namespace vantrel
