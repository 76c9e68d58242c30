#pragma once

#include <QByteArray>
#include <QIcon>
#include <QUrl>

namespace vantrel {

// A file:// URL for an exact byte path (bytes that are not valid UTF-8 are
// percent-encoded, so nothing is lost).
QUrl urlForPath(const QByteArray& path);

// Opens the file with its associated application (xdg-open through
// QDesktopServices). False when no application could be started.
bool openWithAssociatedApplication(const QByteArray& path);

// The icon associated with a file through its MIME type and the icon theme;
// a null icon when the theme has none.
QIcon associatedIcon(const QByteArray& path);

}  // namespace vantrel
