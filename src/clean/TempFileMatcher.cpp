#include "clean/TempFileMatcher.h"

#include "clean/TempFileList.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

namespace {

// Bytewise order (unsigned bytes), for sorting and finding the keys.
bool bytesBefore(QByteArrayView a, QByteArrayView b) {
    const int c = std::memcmp(a.data(), b.data(), std::size_t(std::min(a.size(), b.size())));
    return c < 0 || (c == 0 && a.size() < b.size());
}

}  // namespace

TempFileMatcher::TempFileMatcher(const QStringList& selectedLines) {
    for (const QString& line : selectedLines) {
        QByteArray key = extensionKey(line);
        if (keyCanMatch(key))
            m_keys.push_back(std::move(key));
    }
    std::sort(m_keys.begin(), m_keys.end(),
              [](const QByteArray& a, const QByteArray& b) { return bytesBefore(a, b); });
    m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
    for (const QByteArray& key : m_keys)
        m_longest = std::max(m_longest, key.size());
}

bool TempFileMatcher::isThisFileTemporary(const char* name, qsizetype length) const {
    if (length <= 0 || m_keys.empty())
        return false;
    const void* found = ::memrchr(name, '.', std::size_t(length));
    if (!found)
        return false;
    const char* dot = static_cast<const char*>(found);
    const qsizetype extensionLength = length - (dot - name);
    if (extensionLength > m_longest)
        return false;
    // Keys are lower case; so is the extension once folded. A name is at
    // most 255 bytes here, and a longer extension is never a key anyway.
    char folded[256];
    if (extensionLength > qsizetype(sizeof folded))
        return false;
    for (qsizetype i = 0; i < extensionLength; ++i) {
        const char c = dot[i];
        folded[i] = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    const QByteArrayView extension(folded, extensionLength);
    return std::binary_search(m_keys.begin(), m_keys.end(), extension,
                              [](QByteArrayView a, QByteArrayView b) { return bytesBefore(a, b); });
}

}  // namespace vantrel
