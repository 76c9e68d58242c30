#include "app/AppPaths.h"

#include "text/Formats.h"

#include <QDir>
#include <QFileInfo>

namespace vantrel {

QString helpFilePath(const QString& executableFolder) {
    return joinPath(executableFolder, QStringLiteral("vantrel.hlp"));
}

QString findHelpFile(const QString& executableFolder) {
    const QString beside = helpFilePath(executableFolder);
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed = QDir::cleanPath(
        joinPath(executableFolder, QStringLiteral("../share/vantrel/vantrel.hlp")));
    if (QFileInfo(installed).isFile())
        return installed;
    return beside;
}

QString helpTopicAnchor(int context) {
    return QStringLiteral("topic") + QString::number(context);
}

}  // namespace vantrel
