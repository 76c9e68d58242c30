#pragma once

#include "platform/Drives.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace vantrel {

class PeVersionInfo;

// The texts the file details window shows, and the pieces the pair
// comparison window shares with it. No function here shows anything or
// raises; a file that cannot be read gives empty or "???" texts as noted.

// The version strings of a file, one line per key in this fixed order:
// "Company: ", "File description: ", "File version: ", "Internal name: ",
// "Copyright: ", "Trademarks: ", "Original filename: ", "Private build info: ",
// "Product name: ", "Product version: ", "Special build info: ".
// Each line is label + separator + value, where the separator is a tab when
// `withTab`, else nothing; the "Copyright: " line has the separator twice.
// Values come from the string table of the first translation, with leading
// blanks removed; a missing key gives an empty value, so a file with a
// translation always gets eleven lines. Empty when the file has no version
// resource or no translation (every file that is not a PE image).
[[nodiscard]] QStringList versionLines(const QByteArray& path, bool withTab);
[[nodiscard]] QStringList versionLines(const PeVersionInfo& info, bool withTab);

// "Cluster size: 4,096  Clusters used : 1": the whole clusters a file of
// `size` bytes fills, rounded up (0 for an empty file, 1 for 4,096 bytes on
// 4,096-byte clusters). Without a geometry, or with a cluster size of 0,
// "Cluster size: ???  Clusters used : ???" (nothing is divided by 0).
[[nodiscard]] QString clusterUseText(qint64 size, const std::optional<DiskGeometry>& geometry);
// The same with the geometry of the file system that holds the file's folder.
[[nodiscard]] QString wastedClusterSpace(const QByteArray& path, qint64 size);
// What the disk spends beside the cluster use: "Wasted : 4,095 bytes" (the
// unused rest of the last cluster, left out without a geometry), two
// blanks, then "On disk : 4,096 bytes", what the file system really
// allocates (st_blocks x 512), which a sparse file keeps far below its size.
[[nodiscard]] QString diskUseText(qint64 size, qint64 allocatedBytes,
                                  const std::optional<DiskGeometry>& geometry);

// " ReadOnly", " Hidden", " System", " VolumeID", " Directory", " Archive"
// for the FileAttribute bits 0x01 ... 0x20 that are set, in that order.
[[nodiscard]] QString attributeWords(quint32 attr);

// A packed file date as the details show it: the short date, two blanks and
// the relative date against `now` ("12/03/2024  Last week"); "???" for 0.
// With `withTime`, the long time follows the date after one blank
// ("12/03/2024 10:20:30 AM  Last week"), as the pair comparison shows the
// creation and modification dates.
[[nodiscard]] QString detailsDateText(quint32 packed, const QDateTime& now, bool withTime = false);

// The label texts of the details window for one file.
struct FileDetails {
    QString fileName;   // the path as text
    QString fileType;   // fileTypeDescription of the name's extension
    QString sizeBytes;  // "1,234 bytes"
    QString sizeK;      // wastedClusterSpace
    QString created;    // detailsDateText of each time
    QString modified;
    QString accessed;
    QString attributes;  // attributeWords
    quint32 attr = 0;
    qint64 size = 0;
    QString diskUse{};  // diskUseText: the waste and the real allocation
};

// The details of the file at `path` (not following a final symbolic link);
// nullopt when nothing is there any more.
[[nodiscard]] std::optional<FileDetails> readFileDetails(const QByteArray& path,
                                                         const QDateTime& now);

// True when `path` names a folder.
[[nodiscard]] bool isFolderPath(const QByteArray& path);

// The lines of the details printout, from the texts shown: name, type, size,
// cluster use (and the disk use beside it, after two blanks, when there is
// one), the three dates, the attributes and the version lines, with blank
// lines between the groups. `details.fileName` is printed as the name.
[[nodiscard]] QStringList detailsPrintLines(const FileDetails& details,
                                            const QStringList& versionLines);
// "File details of " + path.
[[nodiscard]] QString detailsPrintTitle(const QString& path);

}  // namespace vantrel
