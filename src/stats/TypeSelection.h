#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QStringList>

namespace vantrel {

// File types as the statistics key them: the extension of a name (from its
// last dot, the dot included) in upper case, as bytes. A name without a dot
// has the empty key, and so has a name that ends in its only meaningful dot
// ("notes."): neither has an extension. Letters are upper-cased as text when
// the extension is valid UTF-8, otherwise ASCII letters only; the bytes of a
// name that is not UTF-8 are kept.
[[nodiscard]] QByteArray extensionKey(const QByteArray& name);

// Whether the type table lists a key: at most 5 characters, the dot included
// (".HTML" is listed, ".CLASS" is not; such files still count everywhere
// else). The empty key (no extension) is listed.
[[nodiscard]] bool typeTableTakes(const QByteArray& key);

// The key of a chosen type line ("*.doc", a tab, its description): the
// pattern after its first character, upper-cased. The pattern "*." is the
// type of files without an extension and gives the empty key.
[[nodiscard]] QByteArray typeLineKey(const QString& line);

// Which files a statistics run counts, from the drive and file-type wizard:
// every file; only files whose extension is one of the chosen types; or
// every file except those.
class TypeSelection {
public:
    enum class Mode { AllFiles, Include, Exclude };

    TypeSelection() = default;  // all files
    TypeSelection(Mode mode, const QStringList& typeLines);

    [[nodiscard]] Mode mode() const { return m_mode; }
    // Whether a file with this extension key counts.
    [[nodiscard]] bool selects(const QByteArray& key) const {
        if (m_mode == Mode::AllFiles)
            return true;
        return m_keys.contains(key) == (m_mode == Mode::Include);
    }
    // The chosen keys in the order chosen (without repeats); in include mode
    // they are listed in the type table even when no file of them is found.
    [[nodiscard]] const QList<QByteArray>& keys() const { return m_orderedKeys; }

private:
    Mode m_mode = Mode::AllFiles;
    QSet<QByteArray> m_keys;
    QList<QByteArray> m_orderedKeys;
};

}  // namespace vantrel
