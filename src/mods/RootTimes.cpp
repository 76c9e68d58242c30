#include "mods/RootTimes.h"

#include "platform/FileRecord.h"
#include "text/Formats.h"

#include <sys/statvfs.h>

namespace vantrel {

RootTimes rootTimesOf(const QByteArray& root) {
    RootTimes times;
    FileRecord record;
    if (statPath(root, record))
        times.birthTimes = record.creationTime.recorded;
    struct statvfs vfs;
    if (::statvfs(root.constData(), &vfs) == 0)
        times.noAtime = (vfs.f_flag & ST_NOATIME) != 0;
    return times;
}

QString noBirthTimeMessage(const QByteArray& root) {
    return displayText(root) + QStringLiteral(" does not record when files were created");
}

QString noAtimeMessage(const QByteArray& root) {
    return displayText(root) +
           QStringLiteral(
               " is mounted noatime: opening a file there does not change its date of "
               "last access");
}

}  // namespace vantrel
