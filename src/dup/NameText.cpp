#include "dup/NameText.h"

#include "text/Formats.h"
#include "text/Utf8.h"

#include <algorithm>

namespace vantrel {

int compareIgnoringCase(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = pa[i];
        char16_t cb = pb[i];
        if (ca == cb)
            continue;
        if ((ca | cb) < 0x80) {
            if (ca >= u'A' && ca <= u'Z')
                ca = char16_t(ca + 32);
            if (cb >= u'A' && cb <= u'Z')
                cb = char16_t(cb + 32);
            if (ca != cb)
                return ca < cb ? -1 : 1;
            continue;
        }
        // Beyond ASCII the folding is Qt's. Everything before position i
        // folds equal; starting one unit early keeps a surrogate pair whole.
        const qsizetype from = i > 0 ? i - 1 : 0;
        const int byQt = a.mid(from).compare(b.mid(from), Qt::CaseInsensitive);
        return byQt < 0 ? -1 : (byQt > 0 ? 1 : 0);
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

QString lineFieldText(const QByteArray& bytes) {
    QString text = displayText(bytes);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

namespace {

bool isControl(uchar b) {
    return b < 0x20 || b == 0x7F;
}

}  // namespace

void appendExactNameText(QString& out, const char* name, qsizetype length) {
    const auto* p = reinterpret_cast<const uchar*>(name);
    const uchar* const end = p + length;
    out.reserve(out.size() + length);
    while (p < end) {
        const int n = utf8SequenceLength(p, end - p);
        if (n == 1 && !isControl(*p)) {
            out += QChar(char16_t(*p));
        } else if (n > 1) {
            char32_t cp = p[0] & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
            for (int i = 1; i < n; ++i)
                cp = (cp << 6) | (p[i] & 0x3F);
            if (cp >= 0x10000) {
                out += QChar(QChar::highSurrogate(cp));
                out += QChar(QChar::lowSurrogate(cp));
            } else {
                out += QChar(char16_t(cp));
            }
        } else {
            // Not valid UTF-8 here, or a control character: the byte alone.
            out += QChar(char16_t(0xDC00 + *p));
            ++p;
            continue;
        }
        p += n;
    }
}

QString exactNameText(const QByteArray& name) {
    QString text;
    appendExactNameText(text, name.constData(), name.size());
    return text;
}

}  // namespace vantrel
