#pragma once

#include "settings/IniFile.h"

#include <QString>
#include <QStringList>

namespace vantrel {

// Lists of file types ("*.doc", "*.exe", ...) kept in the settings file in
// the pattern-list form (Number, File1 .. FileN), one for the types a
// statistics run is limited to and one for the types it leaves out. In
// memory each entry is a type line: the pattern, a tab, and the readable
// description of the pattern's extension. Only patterns are stored; the
// descriptions are looked up again on every read.

inline const QString kIncludeSection = QStringLiteral("Include");
inline const QString kExcludeSection = QStringLiteral("Exclude");

// The list a section holds before it was ever written: "*.doc", "*.exe", "*.dll".
[[nodiscard]] QStringList defaultTypePatterns();

// The extension of a pattern: from its last "." that follows the last "/"
// or ":" ("*.txt" gives ".txt", "*." gives "."); empty when there is none.
[[nodiscard]] QString patternExtension(const QString& pattern);

// The readable description of a pattern's extension. A pattern ending in a
// bare dot ("*.") describes files without an extension ("No extension").
[[nodiscard]] QString patternDescription(const QString& pattern);

// pattern + tab + patternDescription(pattern).
[[nodiscard]] QString typeLine(const QString& pattern);

// The text before a line's first tab (the whole line when it has none).
[[nodiscard]] QString patternOfLine(const QString& line);

// Replaces `list` with the type lines of `section`: a missing or unreadable
// Number gives the three defaults, 0 an empty list; empty or missing FileN
// keys are skipped. A garbage or huge Number costs nothing: only FileN keys
// that exist are visited.
void ReadStatFilesFromDisk(QStringList& list, const IniFile& file, const QString& section);
[[nodiscard]] QStringList ReadStatFilesFromDisk(const IniFile& file, const QString& section);

// Stores the patterns of `list` (the text before each line's first tab) as
// Number and File1 .. FileN, in list order, in one write. Keys above N stay
// in the file and are no longer read. False when the file cannot be written.
bool WriteStatFilesToDisk(const QStringList& list, IniFile& file, const QString& section);

// Whether `list` holds a line equal to `line`, compared without regard to case.
[[nodiscard]] bool containsLineIgnoringCase(const QStringList& list, const QString& line);

// Where `line` belongs in a list kept sorted without regard to case (after
// lines that compare equal).
[[nodiscard]] qsizetype sortedInsertPosition(const QStringList& sorted, const QString& line);

// Turns what the user typed into the extension picker into a pattern:
// "*.*", ".*", "*" and blank text give nothing (empty); text starting with
// "*." stays; text with neither "*" nor "." gets "*." in front ("txt" gives
// "*.txt"); text with "." but no "*" gets "*" in front (".txt" gives
// "*.txt"); text with a "*" elsewhere stays as typed. Blanks around the text
// are dropped.
[[nodiscard]] QString normalisePickedPattern(const QString& typed);

// What the extension picker hands back when it closes with OK: either one
// pattern with its description (possibly empty: nothing to add) or several
// type lines the user selected in the picker's list.
struct ExtensionPick {
    bool several = false;
    QString pattern;
    QString description;
    QStringList lines;

    // One pattern from the picker's text box.
    [[nodiscard]] static ExtensionPick fromTypedText(const QString& typed);
    // Several lines selected in the picker's list.
    [[nodiscard]] static ExtensionPick fromLines(const QStringList& selectedLines);

    // The type lines a list should take from this pick: the selected lines,
    // or the one pattern's line when it is neither empty nor "*.*".
    [[nodiscard]] QStringList linesToAdd() const;
};

}  // namespace vantrel
