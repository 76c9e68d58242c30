#include "app/AppPaths.h"

#include "text/Formats.h"

namespace vantrel {

QString helpFilePath(const QString& executableFolder) {
    return joinPath(executableFolder, QStringLiteral("vantrel.hlp"));
}

}  // namespace vantrel
