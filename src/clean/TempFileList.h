#pragma once

#include "settings/IniFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vantrel {

// The list of temporary-file patterns that quick clean searches by ("*.tmp",
// "*.bak", ...), kept in section "TempFiles" of the settings file in the
// pattern-list form (Number, File1 .. FileN). In memory each entry is a
// pattern line: the pattern, a tab, and the readable description of the
// pattern's extension. Only the patterns are stored; the descriptions are
// looked up again on every read.
//
// The search matches a file by its extension alone (see extensionKey and
// TempFileMatcher), so a useful pattern is "*" followed by one extension.

inline const QString kTempFilesSection = QStringLiteral("TempFiles");

// What a settings file without the section gives: "*.tmp", "*.fts",
// "*.bak", "*.$$$", in that order.
[[nodiscard]] QStringList tempFileLoadDefaults();
// What the editor's "Defaults" adds: "*.tmp", "*.temp", "*.fts", "*.bak",
// "*.old", "*.$$$", in that order.
[[nodiscard]] QStringList tempFileButtonDefaults();

// ReadInFromDisk: the pattern lines of the section. A missing or unreadable
// Number gives the four load defaults, 0 an empty list; empty or missing
// FileN keys are skipped without a gap. The lines come in stored order.
[[nodiscard]] QStringList ReadInFromDisk(const IniFile& file);
// WriteOutToDisk: stores the patterns of `lines` (the text before each
// line's first tab) as Number and File1 .. FileN, in list order, in one
// write; keys above N stay in the file and are no longer read. False when
// the file cannot be written (it is then left as it was).
bool WriteOutToDisk(const QStringList& lines, IniFile& file);

// The extension key of a pattern line: the text from its second character
// up to (not including) its first tab, lower-cased in ASCII, as UTF-8
// bytes. "*.tmp\tTemporary file" gives ".tmp", "*.$$$" gives ".$$$". The
// first character is dropped whatever it is; a one-character pattern ("*")
// gives the empty key.
[[nodiscard]] QByteArray extensionKey(const QString& line);

// Whether a key can be some file's extension: it begins with "." and holds
// no other "." and no "/". The empty key cannot: it would match every name
// without a point (most programs here), so the search leaves such lines out.
[[nodiscard]] bool keyCanMatch(const QByteArray& key);

// The patterns of `lines`, in list order, whose keys cannot match (the
// lines the search leaves out).
[[nodiscard]] QStringList patternsThatCannotMatch(const QStringList& lines);

}  // namespace vantrel
