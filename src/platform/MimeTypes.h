#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

// The readable description of an extension (".txt" gives "Plain text
// document" in English): the comment of the MIME type that the extension maps
// to in the shared-mime-info database. Empty when the extension maps to
// nothing or only to application/octet-stream. Cached per extension;
// thread-safe.
QString mimeDescriptionForExtension(const QString& extensionWithDot);

// The extension catalogue: every "*.ext" glob of the MIME database whose
// ".ext" has at most 5 characters, as "*.ext", without duplicates (ignoring
// case) and sorted without regard to case.
QStringList mimeExtensionCatalogue();

}  // namespace vantrel
