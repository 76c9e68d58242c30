#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace vantrel {

// A settings document of sections and keys in memory. Sections and keys are
// found without regard to case; every other section, key, comment and
// unknown line is kept as it was, byte for byte, when the document is
// serialised again. Values are text (UTF-8); bytes that are not UTF-8 in
// lines that are not changed stay as they are.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray& content);

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Stores the value as it is given (line breaks become blanks). A value
    // with blanks at either end reads back without them, one in enclosing
    // double quotes without the quotes.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Stores the value so that it reads back exactly (line breaks aside): in
    // double quotes when it has blanks at either end or is itself in double
    // quotes, else as setValue does.
    void setExactValue(const QString& section, const QString& key, const QString& value);
    void removeKey(const QString& section, const QString& key);
    bool hasSection(const QString& section) const;
    QStringList keys(const QString& section) const;
    QByteArray serialize() const;

private:
    // Index of the line holding `[section]`, or -1.
    qsizetype findSection(const QString& section) const;
    // Index of the key's line within the section starting at sectionLine, or -1.
    qsizetype findKey(qsizetype sectionLine, const QString& key) const;
    qsizetype sectionEnd(qsizetype sectionLine) const;
    // Sets the key's line to `key=value`, `value` being stored bytes.
    void setStoredValue(const QString& section, const QString& key, const QByteArray& value);
    // A new line's bytes with the file's line ending (without the "\n").
    QByteArray newLine(const QByteArray& text) const;

    QList<QByteArray> m_lines;  // without their "\n"; a CR, when there is one, stays
    QByteArray m_newline = "\n";
    bool m_finalNewline = true;
};

// One settings file. Every call opens the file, reads or writes, and closes it
// again; nothing is cached, so two windows see each other's changes at their
// next read. A missing file, section or key, or a value that is not a number
// where a number is asked for, reads as the caller's default. Writes replace
// the file atomically (temporary file and rename, keeping its permissions)
// and return false when the file cannot be written (read-only file or
// folder) or cannot be read (its other content would be lost); the old
// content then stays as it was. Line breaks in written names and values
// become blanks. A value read has the blanks at its ends and one pair of
// enclosing double quotes taken off (pattern lists are written so that
// their entries read back exactly, see IniDocument::setExactValue).
//
// Two running copies of the program share the file: every write (update and
// all that is built on it) reads, changes and replaces the file while it
// holds an advisory lock (flock) on the lock file beside it, path + ".lock",
// so that each copy's change is made to the other's latest content: the
// last writer wins per key and no key is lost. A lock that another process
// holds is waited for up to kLockWaitMs and the write then fails; a lock
// file that cannot be made (a read-only folder) fails the write at once; on
// a file system without locks the write goes on unlocked.
class IniFile {
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;
    qint64 readInteger(const QString& section, const QString& key, qint64 defaultValue) const;
    bool hasSection(const QString& section) const;
    QStringList keys(const QString& section) const;

    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, qint64 value);

    // Reads the document, lets `change` edit it, and writes it back once,
    // all under the lock.
    bool update(const std::function<void(IniDocument&)>& change);
    IniDocument read() const;

    // The lock file beside the settings file.
    QString lockPath() const { return m_path + QStringLiteral(".lock"); }
    static constexpr int kLockWaitMs = 10000;

private:
    QString m_path;
};

// Parses a whole integer (decimal, optional sign, blanks around allowed).
std::optional<qint64> parseIniInteger(const QString& text);

// The folder that holds the settings files: the user's configuration folder
// for this program (QStandardPaths::AppConfigLocation, ~/.config/vantrel for
// the program; "vantrel" under the generic one when no application name is
// set), created when missing.
QString settingsFolder();
// The two settings files.
IniFile vantrelIni();
IniFile vantrelmIni();

// Pattern lists ("Number", then "File1" .. "FileN"). Reading: a missing or
// negative Number gives `defaults`; 0 gives an empty list; empty or missing
// FileN entries are skipped. Writing stores Number and File1..FileN in one
// write and leaves keys above N in the file; each entry reads back exactly,
// blanks at its ends included (it is quoted then).
QStringList readPatternList(const IniFile& file, const QString& section,
                            const QStringList& defaults);
bool writePatternList(IniFile& file, const QString& section, const QStringList& patterns);
// The same on a document, for a change made inside IniFile::update.
QStringList readPatternList(const IniDocument& doc, const QString& section,
                            const QStringList& defaults);
void writePatternList(IniDocument& doc, const QString& section, const QStringList& patterns);

}  // namespace vantrel
