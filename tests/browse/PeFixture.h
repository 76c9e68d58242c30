#pragma once

// Builds small PE images with a version resource, byte by byte, for the
// version reader's tests. Header-only so that both the engine tests and the
// window tests can use it.
//
// Layout of an image (file offsets):
//   0x000  DOS header, e_lfanew = 0x80
//   0x080  "PE\0\0", COFF header, optional header (PE32 or PE32+), two
//          section headers: .text (RVA 0x1000, file 0x200) and .rsrc
//          (RVA 0x2000, file 0x400)
//   0x200  .text: 0x200 bytes of filler
//   0x400  .rsrc: resource directory (type, name, language), the data
//          entry, then the VS_VERSIONINFO block
// `fields` lists the offsets of every length, count and offset field, so
// that tests can corrupt them deliberately.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QtEndian>

#include <cstring>

namespace vantrel::test {

struct PeField {
    qsizetype offset = 0;
    int width = 0;  // 2 or 4 bytes
    const char* what = "";
};

struct PeFixtureOptions {
    bool pe32Plus = false;
    bool withResource = true;     // a resource directory at all
    bool withVersion = true;      // an RT_VERSION entry in it
    bool withTranslation = true;  // \VarFileInfo\Translation
    bool withStringFileInfo = true;
    bool otherTypesFirst = false;  // a named type and RT_ICON before RT_VERSION
    bool decoyTableFirst = false;  // a string table of another language before ours
    quint16 language = 0x0409;
    quint16 codePage = 0x04E4;
    QList<QPair<quint16, quint16>> moreTranslations;  // after the first
    QString tableKey;  // the string table's key; default "%04x%04x" in lower case
    QList<QPair<QString, QString>> strings;
};

struct PeFixture {
    QByteArray bytes;
    QList<PeField> fields;
};

namespace pe_detail {

inline void put16(QByteArray& b, qsizetype at, quint16 v) {
    qToLittleEndian<quint16>(v, b.data() + at);
}
inline void put32(QByteArray& b, qsizetype at, quint32 v) {
    qToLittleEndian<quint32>(v, b.data() + at);
}
inline void pad4(QByteArray& b) {
    while (b.size() % 4)
        b.append('\0');
}
inline QByteArray utf16z(const QString& s) {
    QByteArray out;
    for (QChar c : s) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    out.append(2, '\0');
    return out;
}

// One version block: header, key, value and children. The offsets of its
// wLength and wValueLength fields (and those of its children) are recorded
// relative to the block's start.
struct VersionBlock {
    QByteArray bytes;
    QList<PeField> fields;
};

inline VersionBlock versionBlock(const QString& key, bool text, const QByteArray& value,
                                 quint16 valueLength, const QList<VersionBlock>& children) {
    VersionBlock out;
    QByteArray& b = out.bytes;
    b.resize(6);
    put16(b, 2, valueLength);
    put16(b, 4, text ? 1 : 0);
    b += utf16z(key);
    pad4(b);
    b += value;
    for (const VersionBlock& child : children) {
        pad4(b);
        for (PeField f : child.fields) {
            f.offset += b.size();
            out.fields.append(f);
        }
        b += child.bytes;
    }
    put16(b, 0, quint16(b.size()));
    out.fields.prepend(PeField{2, 2, "block value length"});
    out.fields.prepend(PeField{0, 2, "block length"});
    return out;
}

inline VersionBlock stringTable(const QString& key, const QList<QPair<QString, QString>>& strings) {
    QList<VersionBlock> entries;
    for (const auto& [name, value] : strings) {
        const QByteArray v = utf16z(value);
        entries.append(versionBlock(name, true, v, quint16(v.size() / 2), {}));
    }
    return versionBlock(key, true, {}, 0, entries);
}

inline QByteArray fixedFileInfo() {
    QByteArray f(52, '\0');
    put32(f, 0, 0xFEEF04BD);
    put32(f, 4, 0x00010000);
    put32(f, 8, 0x00010002);  // file version 1.2.3.4
    put32(f, 12, 0x00030004);
    put32(f, 16, 0x00010002);
    put32(f, 20, 0x00030004);
    put32(f, 24, 0x3F);
    put32(f, 32, 0x00040004);  // NT Windows32
    put32(f, 36, 1);           // application
    return f;
}

}  // namespace pe_detail

// The strings of a typical program, every key but SpecialBuild; two values
// start with blanks, which the reader removes.
inline QList<QPair<QString, QString>> sampleVersionStrings() {
    return {
        {QStringLiteral("CompanyName"), QStringLiteral("Fixture Works Ltd")},
        {QStringLiteral("FileDescription"), QStringLiteral("  Sample tool")},
        {QStringLiteral("FileVersion"), QStringLiteral("1.2.3.4")},
        {QStringLiteral("InternalName"), QStringLiteral("sample")},
        {QStringLiteral("LegalCopyright"), QStringLiteral("Copyright \u00A9 2001 Fixture Works")},
        {QStringLiteral("LegalTrademarks"), QString()},
        {QStringLiteral("OriginalFilename"), QStringLiteral("SAMPLE.EXE")},
        {QStringLiteral("PrivateBuild"), QStringLiteral(" built by hand")},
        {QStringLiteral("ProductName"), QStringLiteral("Sample Suite")},
        {QStringLiteral("ProductVersion"), QStringLiteral("1.2")},
    };
}

// The VS_VERSIONINFO block alone.
inline pe_detail::VersionBlock buildVersionBlock(const PeFixtureOptions& o) {
    using namespace pe_detail;
    QList<VersionBlock> top;
    if (o.withStringFileInfo) {
        QList<VersionBlock> tables;
        if (o.decoyTableFirst)
            tables.append(stringTable(QStringLiteral("040704B0"),
                                      {{QStringLiteral("CompanyName"), QStringLiteral("Decoy")},
                                       {QStringLiteral("SpecialBuild"), QStringLiteral("decoy")}}));
        QString key = o.tableKey;
        if (key.isEmpty())
            key = QStringLiteral("%1%2")
                      .arg(o.language, 4, 16, QLatin1Char('0'))
                      .arg(o.codePage, 4, 16, QLatin1Char('0'));
        tables.append(stringTable(key, o.strings));
        top.append(versionBlock(QStringLiteral("StringFileInfo"), true, {}, 0, tables));
    }
    if (o.withTranslation) {
        QByteArray pairs;
        QList<QPair<quint16, quint16>> all{{o.language, o.codePage}};
        all += o.moreTranslations;
        for (const auto& [language, codePage] : all) {
            QByteArray p(4, '\0');
            put16(p, 0, language);
            put16(p, 2, codePage);
            pairs += p;
        }
        const VersionBlock var =
            versionBlock(QStringLiteral("Translation"), false, pairs, quint16(pairs.size()), {});
        top.append(versionBlock(QStringLiteral("VarFileInfo"), true, {}, 0, {var}));
    }
    return versionBlock(QStringLiteral("VS_VERSION_INFO"), false, fixedFileInfo(), 52, top);
}

inline PeFixture buildPeFixture(const PeFixtureOptions& o) {
    using namespace pe_detail;
    PeFixture fx;
    QList<PeField>& fields = fx.fields;

    // The resource section, laid out relative to its start (RVA 0x2000).
    constexpr quint32 rsrcRva = 0x2000;
    QByteArray rsrc;
    auto directory = [&](quint16 named, quint16 ids) {
        const qsizetype at = rsrc.size();
        rsrc.append(16, '\0');
        put16(rsrc, at + 12, named);
        put16(rsrc, at + 14, ids);
        fields.append({0x400 + at + 12, 2, "named entry count"});
        fields.append({0x400 + at + 14, 2, "id entry count"});
        return at;
    };
    auto entry = [&](quint32 name, quint32 offset) {
        const qsizetype at = rsrc.size();
        rsrc.append(8, '\0');
        put32(rsrc, at, name);
        put32(rsrc, at + 4, offset);
        fields.append({0x400 + at, 4, "entry name"});
        fields.append({0x400 + at + 4, 4, "entry offset"});
        return at;
    };

    VersionBlock version;
    if (o.withResource) {
        const quint16 named = o.otherTypesFirst ? 1 : 0;
        const quint16 ids = quint16((o.otherTypesFirst ? 1 : 0) + (o.withVersion ? 1 : 0));
        directory(named, ids);
        // Fixed positions: root 0x00 (up to 3 entries: 0x10..0x28), name
        // directory 0x28, language directory 0x40, data entry 0x58, a
        // resource name 0x68, the version block 0x80.
        QList<qsizetype> rootEntries;
        if (o.otherTypesFirst) {
            rootEntries.append(entry(0x80000068u, 0x80000028u));  // named type "CUSTOM"
            rootEntries.append(entry(3, 0x80000028u));            // RT_ICON
        }
        if (o.withVersion)
            rootEntries.append(entry(16, 0x80000028u));
        rsrc.resize(0x28, '\0');
        directory(0, 1);
        entry(1, 0x80000040u);
        rsrc.resize(0x40, '\0');
        directory(0, 1);
        entry(o.language, 0x58);
        const qsizetype data = rsrc.size();  // 0x58
        rsrc.append(16, '\0');
        const QByteArray name = utf16z(QStringLiteral("CUSTOM")).chopped(2);
        QByteArray counted(2, '\0');
        put16(counted, 0, quint16(name.size() / 2));
        rsrc.resize(0x68, '\0');
        rsrc += counted + name;
        rsrc.resize(0x80, '\0');
        version = buildVersionBlock(o);
        for (PeField f : version.fields) {
            f.offset += 0x400 + rsrc.size();
            fields.append(f);
        }
        put32(rsrc, data, rsrcRva + quint32(rsrc.size()));
        put32(rsrc, data + 4, quint32(version.bytes.size()));
        fields.append({0x400 + data, 4, "data entry RVA"});
        fields.append({0x400 + data + 4, 4, "data entry size"});
        rsrc += version.bytes;
    } else {
        rsrc.append(16, '\0');
    }
    const quint32 rsrcRaw = quint32((rsrc.size() + 0x1FF) & ~0x1FF);

    // Headers.
    QByteArray& b = fx.bytes;
    b = QByteArray(0x400 + rsrcRaw, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, 0x80);
    fields.append({0x3C, 4, "e_lfanew"});
    std::memcpy(b.data() + 0x80, "PE\0\0", 4);
    const qsizetype coff = 0x84;
    const quint16 optionalSize = o.pe32Plus ? 240 : 224;
    put16(b, coff, o.pe32Plus ? 0x8664 : 0x014C);
    put16(b, coff + 2, 2);
    put16(b, coff + 16, optionalSize);
    put16(b, coff + 18, o.pe32Plus ? 0x0022 : 0x0102);
    fields.append({coff + 2, 2, "section count"});
    fields.append({coff + 16, 2, "optional header size"});

    const qsizetype opt = coff + 20;
    put16(b, opt, o.pe32Plus ? 0x20B : 0x10B);
    put32(b, opt + 16, 0x1000);  // entry point
    put32(b, opt + 32, 0x1000);  // section alignment
    put32(b, opt + 36, 0x200);   // file alignment
    put32(b, opt + 56, 0x3000);  // size of image
    put32(b, opt + 60, 0x200);   // size of headers
    put16(b, opt + 68, 2);       // GUI subsystem
    const qsizetype countField = o.pe32Plus ? 108 : 92;
    const qsizetype dirs = o.pe32Plus ? 112 : 96;
    put32(b, opt + countField, 16);
    fields.append({opt + countField, 4, "data directory count"});
    if (o.withResource) {
        put32(b, opt + dirs + 16, rsrcRva);
        put32(b, opt + dirs + 20, quint32(rsrc.size()));
    }
    fields.append({opt + dirs + 16, 4, "resource RVA"});
    fields.append({opt + dirs + 20, 4, "resource size"});

    auto section = [&](qsizetype at, const char* name, quint32 rva, quint32 raw, quint32 rawSize) {
        std::memcpy(b.data() + at, name, std::strlen(name));
        put32(b, at + 8, rawSize);
        put32(b, at + 12, rva);
        put32(b, at + 16, rawSize);
        put32(b, at + 20, raw);
        fields.append({at + 12, 4, "section RVA"});
        fields.append({at + 16, 4, "section raw size"});
        fields.append({at + 20, 4, "section raw offset"});
    };
    const qsizetype sections = opt + optionalSize;
    section(sections, ".text", 0x1000, 0x200, 0x200);
    section(sections + 40, ".rsrc", rsrcRva, 0x400, rsrcRaw);
    std::memset(b.data() + 0x200, 0xCC, 0x200);
    std::memcpy(b.data() + 0x400, rsrc.constData(), std::size_t(rsrc.size()));
    return fx;
}

// The sample fixture: PE32, 0409/04E4, every key but SpecialBuild.
inline QByteArray samplePeImage(bool pe32Plus = false) {
    PeFixtureOptions o;
    o.pe32Plus = pe32Plus;
    o.strings = sampleVersionStrings();
    return buildPeFixture(o).bytes;
}

}  // namespace vantrel::test
