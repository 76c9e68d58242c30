#pragma once

#include <QString>

namespace vantrel {

// The help file, "vantrel.hlp" in the folder that holds the executable,
// joined with joinPath: a folder with or without its trailing "/" gives one
// separator, so a program in "/" gives "/vantrel.hlp".
QString helpFilePath(const QString& executableFolder);

// Where the program finds its help file: beside the executable when it is
// there (a build folder, a program unpacked anywhere), else in the data
// folder of the installation the executable belongs to, share/vantrel/
// beside its bin/ (/usr/bin/vantrel finds /usr/share/vantrel/vantrel.hlp).
// When neither holds the file: the path beside the executable, which Help
// then reports as missing.
QString findHelpFile(const QString& executableFolder);

// The anchor of the help topic with the given context number in the help
// file (an HTML document): "topic1" for the contents, "topic2", ...
QString helpTopicAnchor(int context);

}  // namespace vantrel
