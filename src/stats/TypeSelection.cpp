#include "stats/TypeSelection.h"

#include "scan/TypeLists.h"

#include <QString>
#include <QStringDecoder>

namespace vantrel {

namespace {

QByteArray upperCased(const QByteArray& bytes) {
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && uchar(c) < 0x80;
    if (!ascii) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder(bytes);
        if (!decoder.hasError())
            return text.toUpper().toUtf8();
    }
    QByteArray out = bytes;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return out;
}

}  // namespace

QByteArray extensionKey(const QByteArray& name) {
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0 || dot == name.size() - 1)
        return QByteArray();
    const QByteArray extension = name.mid(dot);
    for (char c : extension) {
        if (c >= 'a' && c <= 'z')
            return upperCased(extension);
        if (uchar(c) >= 0x80)
            return upperCased(extension);
    }
    return extension;
}

bool typeTableTakes(const QByteArray& key) {
    // Characters, not bytes: continuation bytes of UTF-8 do not count.
    int characters = 0;
    for (char c : key) {
        if ((uchar(c) & 0xC0) != 0x80 && ++characters > 5)
            return false;
    }
    return true;
}

QByteArray typeLineKey(const QString& line) {
    const QString pattern = patternOfLine(line);
    const QString key = pattern.mid(1);
    if (key == QStringLiteral("."))
        return QByteArray();
    return key.toUpper().toUtf8();
}

TypeSelection::TypeSelection(Mode mode, const QStringList& typeLines) : m_mode(mode) {
    if (mode == Mode::AllFiles)
        return;
    for (const QString& line : typeLines) {
        const QByteArray key = typeLineKey(line);
        if (m_keys.contains(key))
            continue;
        m_keys.insert(key);
        m_orderedKeys.append(key);
    }
}

}  // namespace vantrel
