#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace vantrel {

// A file-name wildcard as the search tools accept it: one or more patterns
// separated by ";" ("*.doc;*.txt"), each matched against a whole name,
// ignoring ASCII case. "*" matches any run of bytes (also none), "?" exactly
// one byte; every other byte matches itself (bytes beyond ASCII exactly, so
// names that are not valid UTF-8 match too). Two habits of the pattern
// language users know:
//  - "*.*" matches every name, also names without a dot;
//  - a pattern ending in ".*" also matches the name without that part, so
//    "readme.*" matches "readme", "README.txt" and "readme.tar.gz".
// Blanks around each pattern are ignored; empty patterns are dropped. A
// wildcard with no pattern at all matches nothing. A name never matches a
// pattern that holds "/".
class Wildcard {
public:
    // Every name ("*.*").
    Wildcard();
    explicit Wildcard(QByteArrayView patterns);

    [[nodiscard]] bool matches(const char* name, qsizetype length) const;
    [[nodiscard]] bool matches(QByteArrayView name) const {
        return matches(name.data(), name.size());
    }

    // True when every name matches (a pattern "*" or "*.*"), so callers may
    // skip the test.
    [[nodiscard]] bool matchesEverything() const { return m_everything; }
    // The patterns as given, blanks trimmed, lower-cased.
    [[nodiscard]] const QList<QByteArray>& patterns() const { return m_patterns; }

    // One pattern against one name, by the rules above (no ";" splitting).
    [[nodiscard]] static bool matchPattern(QByteArrayView pattern, QByteArrayView name);

private:
    QList<QByteArray> m_patterns;
    bool m_everything = false;
};

}  // namespace vantrel
