#include "scan/Wildcard.h"

namespace vantrel {

namespace {

inline char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// "*" and "?" over bytes; the pattern is lower-cased already.
bool globMatch(const char* pat, qsizetype plen, const char* name, qsizetype nlen) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < nlen) {
        if (p < plen && (pat[p] == '?' || pat[p] == foldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < plen && pat[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < plen && pat[p] == '*')
        ++p;
    return p == plen;
}

bool matchLowered(QByteArrayView pat, QByteArrayView name) {
    if (pat.contains('/'))
        return false;
    if (globMatch(pat.data(), pat.size(), name.data(), name.size()))
        return true;
    // "name.*" also matches "name".
    if (pat.size() >= 2 && pat.endsWith(".*"))
        return globMatch(pat.data(), pat.size() - 2, name.data(), name.size());
    // "*." and "name." match names without an extension.
    if (pat.size() >= 1 && pat.endsWith('.') && !name.contains('.'))
        return globMatch(pat.data(), pat.size() - 1, name.data(), name.size());
    return false;
}

QByteArray lowered(QByteArrayView text) {
    QByteArray out(text.data(), text.size());
    for (char& c : out)
        c = foldAscii(c);
    return out;
}

}  // namespace

Wildcard::Wildcard() : m_patterns{QByteArray("*.*")}, m_everything(true) {}

Wildcard::Wildcard(QByteArrayView patterns) {
    qsizetype start = 0;
    while (start <= patterns.size()) {
        qsizetype end = start;
        while (end < patterns.size() && patterns[end] != ';')
            ++end;
        const QByteArray one = lowered(patterns.sliced(start, end - start).trimmed());
        start = end + 1;
        if (one.isEmpty())
            continue;
        if (one == "*" || one == "*.*")
            m_everything = true;
        m_patterns.append(one);
    }
}

bool Wildcard::matches(const char* name, qsizetype length) const {
    if (m_everything)
        return true;
    const QByteArrayView n(name, length);
    for (const QByteArray& p : m_patterns) {
        if (matchLowered(p, n))
            return true;
    }
    return false;
}

bool Wildcard::matchPattern(QByteArrayView pattern, QByteArrayView name) {
    return matchLowered(lowered(pattern.trimmed()), name);
}

}  // namespace vantrel
