#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <vector>

namespace vantrel {

// isThisFileTemporary: whether a file name's extension is the key of one of
// the selected pattern lines (see extensionKey in TempFileList.h).
//
// The extension of a name is its bytes from the last point to the end,
// point included ("report.tmp.txt" gives ".txt", "archive.tar.gz" ".gz",
// "file." gives "."); it is compared with the keys without regard to ASCII
// case, every other byte exactly, so names that are not UTF-8 match too.
// This is no wildcard: "report.tmp.txt" is not a "*.tmp" file. A name
// without a point has no extension and never matches: lines whose key is
// empty ("*") or can be no extension at all are left out (keyCanMatch).
//
// Made once per search from the selected lines; immutable afterwards, so
// the walking thread may use it while the window keeps its own copy.
class TempFileMatcher {
public:
    // Matches nothing.
    TempFileMatcher() = default;
    explicit TempFileMatcher(const QStringList& selectedLines);

    [[nodiscard]] bool isThisFileTemporary(const char* name, qsizetype length) const;
    [[nodiscard]] bool isThisFileTemporary(QByteArrayView name) const {
        return isThisFileTemporary(name.data(), name.size());
    }

    // The distinct keys taken part in the search, sorted.
    [[nodiscard]] const std::vector<QByteArray>& keys() const { return m_keys; }
    [[nodiscard]] bool isEmpty() const { return m_keys.empty(); }

private:
    std::vector<QByteArray> m_keys;  // sorted, distinct, each keyCanMatch
    qsizetype m_longest = 0;
};

}  // namespace vantrel
