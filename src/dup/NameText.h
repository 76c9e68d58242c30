#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace vantrel {

// A name or folder as a field of a candidate line: control characters
// (tabs and line breaks among them, which would split the line) are shown as
// U+FFFD. The exact bytes travel in DupCandidate::path.
QString lineFieldText(const QByteArray& bytes);

// A name's exact bytes as text for comparing: the same text as
// lineFieldText where the name is valid UTF-8 without control characters;
// otherwise each byte that is not part of a valid UTF-8 sequence, and each
// control character, becomes the lone surrogate U+DC00 + byte, a code unit
// that no valid text holds. So two different names never give equal texts,
// the text holds no tab or line break, and case folding still applies to
// the valid letters around such bytes.
QString exactNameText(const QByteArray& name);
// The same text appended to `out` (no other allocation than its growth).
void appendExactNameText(QString& out, const char* name, qsizetype length);

// The order of the candidate list: QString::compare(a, b, Qt::CaseInsensitive)
// (the case-folded UTF-16 units one by one, a shorter text first), answered
// as -1, 0 or 1, with a fast path for ASCII.
int compareIgnoringCase(QStringView a, QStringView b);

}  // namespace vantrel
