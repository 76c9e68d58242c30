#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

// The catalogue of extensions the system knows, as "*.ext" patterns whose
// ".ext" has at most 5 characters, sorted without regard to case. With
// `withAll`, "*.*" comes first. The catalogue is built once per process (it
// costs tens of milliseconds) and then served from memory; thread-safe.
void registryExtensions(QStringList& list, bool withAll);
[[nodiscard]] QStringList registryExtensions(bool withAll);

// Every catalogue entry (never "*.*") as a type line: the pattern, a tab and
// the readable description of its extension ("*.txt\tPlain text document").
// Same order as the catalogue; built once per process.
[[nodiscard]] const QStringList& registryExtensionLines();

// The description of a wildcard's type: that of the text without its first
// character ("*.txt" gives the description of ".txt", "*.qqq" "QQQ File",
// "*." "No extension"; "*.*" and other starred texts give empty text).
[[nodiscard]] QString wildcardTypeText(const QString& wildcard);

// The text shown beside a wildcard drop-down: "All files" for "*.*",
// otherwise wildcardTypeText(wildcard).
[[nodiscard]] QString wildcardDescription(const QString& wildcard);

}  // namespace vantrel
