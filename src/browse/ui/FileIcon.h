#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>

namespace vantrel {

// The program's own icons, drawn in code: "DIRECTORY" (a folder) and
// "NOICON" (a blank page with a question mark). Any other name gives a null
// icon. The same QIcon is returned on every call (compare with cacheKey()).
// Needs a QGuiApplication.
[[nodiscard]] QIcon programIcon(const QString& name);

// The icon to show for a path: "DIRECTORY" for a folder; otherwise the icon
// associated with the file's type through the icon theme; "NOICON" when
// the theme has none (or the file does not exist).
[[nodiscard]] QIcon fileIcon(const QByteArray& path);

}  // namespace vantrel
