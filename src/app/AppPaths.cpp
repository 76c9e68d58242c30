#include "app/AppPaths.h"

#include "text/Formats.h"

namespace vantrel {

QString helpFilePath(const QString& executableFolder) {
    return joinPath(executableFolder, QStringLiteral("vantrel.hlp"));
}

QString helpTopicAnchor(int context) {
    return QStringLiteral("topic") + QString::number(context);
}

}  // namespace vantrel
