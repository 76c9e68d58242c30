#include "clean/TempFileList.h"

#include "scan/TypeLists.h"

namespace vantrel {

QStringList tempFileLoadDefaults() {
    return {QStringLiteral("*.tmp"), QStringLiteral("*.fts"), QStringLiteral("*.bak"),
            QStringLiteral("*.$$$")};
}

QStringList tempFileButtonDefaults() {
    return {QStringLiteral("*.tmp"), QStringLiteral("*.temp"), QStringLiteral("*.fts"),
            QStringLiteral("*.bak"), QStringLiteral("*.old"),  QStringLiteral("*.$$$")};
}

QStringList ReadInFromDisk(const IniFile& file) {
    QStringList lines;
    for (const QString& pattern : readPatternList(file, kTempFilesSection, tempFileLoadDefaults()))
        lines.append(typeLine(pattern));
    return lines;
}

bool WriteOutToDisk(const QStringList& lines, IniFile& file) {
    QStringList patterns;
    patterns.reserve(lines.size());
    for (const QString& line : lines)
        patterns.append(patternOfLine(line));
    return writePatternList(file, kTempFilesSection, patterns);
}

QByteArray extensionKey(const QString& line) {
    const QString pattern = patternOfLine(line);
    QByteArray key = pattern.mid(1).toUtf8();
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return key;
}

bool keyCanMatch(const QByteArray& key) {
    return key.startsWith('.') && key.indexOf('.', 1) < 0 && !key.contains('/');
}

QStringList patternsThatCannotMatch(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines) {
        if (!keyCanMatch(extensionKey(line)))
            out.append(patternOfLine(line));
    }
    return out;
}

}  // namespace vantrel
