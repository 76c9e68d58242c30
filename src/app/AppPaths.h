#pragma once

#include <QString>

namespace vantrel {

// The help file, "vantrel.hlp" in the folder that holds the executable,
// joined with joinPath: a folder with or without its trailing "/" gives one
// separator, so a program in "/" gives "/vantrel.hlp".
QString helpFilePath(const QString& executableFolder);

// The anchor of the help topic with the given context number in the help
// file (an HTML document): "topic1" for the contents, "topic2", ...
QString helpTopicAnchor(int context);

}  // namespace vantrel
