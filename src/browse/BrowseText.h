#pragma once

#include <QByteArray>
#include <QString>

namespace vantrel {

// A file or folder name as one line of display text: bytes that are not
// valid UTF-8 and control characters (a line break in a name) become
// replacement characters. The exact bytes travel separately.
QString nameText(const QByteArray& name);

}  // namespace vantrel
