#pragma once

#include <QByteArray>
#include <QString>

namespace vantrel {

// What the file system of a root to search keeps of its files' times.
struct RootTimes {
    // The file system records birth times (statx reports one for the root).
    bool birthTimes = true;
    // The root is mounted noatime: reading a file does not change its time
    // of last access.
    bool noAtime = false;
};

// Looks at `root` (exact bytes) once: a statx for the birth time and a
// statvfs for the mount flags. A root that cannot be looked at reports the
// defaults, and the walk then tells why it cannot be opened.
RootTimes rootTimesOf(const QByteArray& root);

// "/mnt/nfs does not record when files were created"
QString noBirthTimeMessage(const QByteArray& root);
// "/mnt/data is mounted noatime: opening a file there does not change its
// date of last access"
QString noAtimeMessage(const QByteArray& root);

}  // namespace vantrel
