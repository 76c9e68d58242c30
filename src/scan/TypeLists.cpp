#include "scan/TypeLists.h"

#include "text/Formats.h"

#include <algorithm>

namespace vantrel {

QStringList defaultTypePatterns() {
    return {QStringLiteral("*.doc"), QStringLiteral("*.exe"), QStringLiteral("*.dll")};
}

QString patternExtension(const QString& pattern) {
    const qsizetype separator =
        std::max(pattern.lastIndexOf(QLatin1Char('/')), pattern.lastIndexOf(QLatin1Char(':')));
    const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < separator)
        return QString();
    return pattern.mid(dot);
}

QString patternDescription(const QString& pattern) {
    const QString extension = patternExtension(pattern);
    // A lone dot would otherwise read as an unknown type called " File".
    if (extension == QStringLiteral("."))
        return fileTypeDescription(QStringLiteral("*."));
    return fileTypeDescription(extension);
}

QString typeLine(const QString& pattern) {
    return pattern + QLatin1Char('\t') + patternDescription(pattern);
}

QString patternOfLine(const QString& line) {
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    return tab < 0 ? line : line.left(tab);
}

void ReadStatFilesFromDisk(QStringList& list, const IniFile& file, const QString& section) {
    list.clear();
    for (const QString& pattern : readPatternList(file, section, defaultTypePatterns()))
        list.append(typeLine(pattern));
}

QStringList ReadStatFilesFromDisk(const IniFile& file, const QString& section) {
    QStringList list;
    ReadStatFilesFromDisk(list, file, section);
    return list;
}

bool WriteStatFilesToDisk(const QStringList& list, IniFile& file, const QString& section) {
    QStringList patterns;
    patterns.reserve(list.size());
    for (const QString& line : list)
        patterns.append(patternOfLine(line));
    return writePatternList(file, section, patterns);
}

bool containsLineIgnoringCase(const QStringList& list, const QString& line) {
    return list.contains(line, Qt::CaseInsensitive);
}

qsizetype sortedInsertPosition(const QStringList& sorted, const QString& line) {
    const auto it = std::upper_bound(sorted.cbegin(), sorted.cend(), line,
                                     [](const QString& a, const QString& b) {
                                         return QString::compare(a, b, Qt::CaseInsensitive) < 0;
                                     });
    return it - sorted.cbegin();
}

QString normalisePickedPattern(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty() || text == QStringLiteral("*.*") || text == QStringLiteral(".*") ||
        text == QStringLiteral("*"))
        return QString();
    if (text.startsWith(QStringLiteral("*.")))
        return text;
    const bool hasStar = text.contains(QLatin1Char('*'));
    const bool hasDot = text.contains(QLatin1Char('.'));
    if (!hasStar && !hasDot)
        return QStringLiteral("*.") + text;
    if (!hasStar)
        return QLatin1Char('*') + text;
    return text;
}

ExtensionPick ExtensionPick::fromTypedText(const QString& typed) {
    ExtensionPick pick;
    pick.pattern = normalisePickedPattern(typed);
    if (!pick.pattern.isEmpty())
        pick.description = patternDescription(pick.pattern);
    return pick;
}

ExtensionPick ExtensionPick::fromLines(const QStringList& selectedLines) {
    ExtensionPick pick;
    pick.several = true;
    pick.lines = selectedLines;
    return pick;
}

QStringList ExtensionPick::linesToAdd() const {
    if (several)
        return lines;
    if (pattern.isEmpty() || pattern == QStringLiteral("*.*"))
        return {};
    return {pattern + QLatin1Char('\t') + description};
}

}  // namespace vantrel
