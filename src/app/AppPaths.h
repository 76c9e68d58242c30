#pragma once

#include <QString>

namespace vantrel {

// The help file, "vantrel.hlp" in the folder that holds the executable
// (joined with joinPath, so a program in "/" gives "/vantrel.hlp").
QString helpFilePath(const QString& executableFolder);

}  // namespace vantrel
