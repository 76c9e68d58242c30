#pragma once

// Builds small PE images with a version resource, byte by byte, for the
// version reader's tests and the details window's. File layout: DOS header
// (e_lfanew 0x80); at 0x80 the PE signature, COFF and optional header (PE32
// or PE32+) and two section headers, .text (RVA 0x1000, file 0x200) and .rsrc
// (RVA 0x2000, file 0x400); at 0x400 the resource directory (type, name,
// language), at 0x458 the data entry, at 0x480 the VS_VERSIONINFO block.
// `fields` lists every length, count and offset field written, so that tests
// can corrupt them deliberately.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QtEndian>

#include <cstring>
#include <functional>
#include <tuple>

namespace vantrel::test {

using namespace Qt::StringLiterals;

struct PeField {
    qsizetype offset = 0;
    int width = 0;  // 2 or 4 bytes
};

struct PeFixtureOptions {
    bool pe32Plus = false;
    bool withVersion = true;       // an RT_VERSION entry in the resource directory
    bool withTranslation = true;   // \VarFileInfo\Translation
    bool otherTypesFirst = false;  // a named type and RT_ICON before RT_VERSION
    bool decoyTableFirst = false;  // a string table of another language before ours
    QList<QPair<quint16, quint16>> translations{{0x0409, 0x04E4}};
    QString tableKey = u"040904e4"_s;
    QList<QPair<QString, QString>> strings;
};

struct PeFixture {
    QByteArray bytes;
    QList<PeField> fields;

    // Writes `v` little-endian in `width` bytes at `at`.
    static void put(QByteArray& b, qsizetype at, int width, quint32 v) {
        const quint32 le = qToLittleEndian(v);
        std::memcpy(b.data() + at, &le, std::size_t(width));
    }
    void set(qsizetype at, int width, quint32 v, bool isField = true) {
        put(bytes, at, width, v);
        if (isField)
            fields.append({at, width});
    }
    qsizetype add(int width, quint32 v, bool isField = true) {
        bytes.append(width, '\0');
        set(bytes.size() - width, width, v, isField);
        return bytes.size() - width;
    }
    static QByteArray utf16z(const QString& s) {
        QByteArray out;
        for (QChar c : s)
            out.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        return out.append(2, '\0');
    }
    // One version block: length, value length, type, key, value, children.
    void block(const QString& key, bool isText, const QByteArray& value, quint16 valueLength,
               const std::function<void()>& children = {}) {
        bytes.resize((bytes.size() + 3) & ~3, '\0');
        const qsizetype start = add(2, 0);
        add(2, valueLength);
        add(2, isText ? 1 : 0, false);
        bytes += utf16z(key);
        bytes.resize((bytes.size() + 3) & ~3, '\0');
        bytes += value;
        if (children)
            children();
        set(start, 2, quint32(bytes.size() - start), false);
    }
    void stringTable(const QString& key, const QList<QPair<QString, QString>>& strings) {
        block(key, true, {}, 0, [&] {
            for (const auto& [name, value] : strings)
                block(name, true, utf16z(value), quint16(value.size() + 1));
        });
    }
    // The VS_VERSIONINFO block alone.
    void versionBlock(const PeFixtureOptions& o) {
        QByteArray fixed(52, '\0');
        put(fixed, 0, 4, 0xFEEF04BD);
        block(u"VS_VERSION_INFO"_s, false, fixed, 52, [&] {
            block(u"StringFileInfo"_s, true, {}, 0, [&] {
                if (o.decoyTableFirst)
                    stringTable(u"040704B0"_s, {{u"CompanyName"_s, u"Decoy"_s}});
                stringTable(o.tableKey, o.strings);
            });
            QByteArray pairs(4 * o.translations.size(), '\0');
            for (qsizetype i = 0; i < o.translations.size(); ++i)
                put(pairs, 4 * i, 4, o.translations[i].first | o.translations[i].second << 16);
            if (o.withTranslation)
                block(u"VarFileInfo"_s, true, {}, 0,
                      [&] { block(u"Translation"_s, false, pairs, quint16(pairs.size())); });
        });
    }
};

// The strings of a typical program, every key but SpecialBuild; two values
// start with blanks, which the reader removes.
inline QList<QPair<QString, QString>> sampleVersionStrings() {
    QList<QPair<QString, QString>> out;
    for (const char* pair :
         {"CompanyName=Fixture Works Ltd", "FileDescription=  Sample tool", "FileVersion=1.2.3.4",
          "InternalName=sample", "LegalCopyright=Copyright \u00A9 2001 Fixture Works",
          "LegalTrademarks=", "OriginalFilename=SAMPLE.EXE", "PrivateBuild= built by hand",
          "ProductName=Sample Suite", "ProductVersion=1.2"}) {
        const QString s = QString::fromUtf8(pair);
        out.append({s.section(QLatin1Char('='), 0, 0), s.section(QLatin1Char('='), 1)});
    }
    return out;
}

inline PeFixture buildPeFixture(const PeFixtureOptions& o) {
    PeFixture fx;
    QByteArray& b = fx.bytes;
    const bool plus = o.pe32Plus;
    b = "MZ" + QByteArray(0x3FE, '\0');
    fx.set(0x3C, 4, 0x80);
    std::memcpy(b.data() + 0x80, "PE\0\0", 4);
    const qsizetype coff = 0x84, opt = coff + 20, optSize = plus ? 240 : 224;
    fx.set(coff, 2, plus ? 0x8664 : 0x014C, false);  // machine
    fx.set(coff + 2, 2, 2);                          // sections
    fx.set(coff + 16, 2, quint32(optSize));
    fx.set(coff + 18, 2, plus ? 0x0022 : 0x0102, false);
    fx.set(opt, 2, plus ? 0x20B : 0x10B, false);
    // Entry point, section and file alignment, image and header size.
    const QPair<int, quint32> header[] = {
        {16, 0x1000}, {32, 0x1000}, {36, 0x200}, {56, 0x3000}, {60, 0x200}};
    for (auto [at, v] : header)
        fx.set(opt + at, 4, v, false);
    fx.set(opt + 68, 2, 2, false);  // GUI subsystem
    const qsizetype dirs = opt + (plus ? 112 : 96);
    fx.set(dirs - 4, 4, 16);  // data directory count
    std::memset(b.data() + 0x200, 0xCC, 0x200);

    // The resource section: directories of type, name and language.
    auto directory = [&](quint32 named, quint32 ids) {
        b.append(12, '\0');
        fx.add(2, named);
        fx.add(2, ids);
    };
    auto entry = [&](quint32 name, quint32 offset) {
        fx.add(4, name);
        fx.add(4, offset);
    };
    directory(o.otherTypesFirst, quint32(o.otherTypesFirst) + o.withVersion);
    if (o.otherTypesFirst) {
        entry(0x80000068u, 0x80000028u);  // named type "CUSTOM"
        entry(3, 0x80000028u);            // RT_ICON
    }
    if (o.withVersion)
        entry(16, 0x80000028u);
    b.resize(0x428, '\0');
    directory(0, 1);
    entry(1, 0x80000040u);
    directory(0, 1);
    entry(o.translations.first().first, 0x58);
    fx.add(4, 0x2080);  // the data entry: RVA of the version block, its size
    const qsizetype dataSize = fx.add(4, 0);
    b.append(8, '\0');
    fx.add(2, 6, false);
    b += PeFixture::utf16z(u"CUSTOM"_s).chopped(2);
    b.resize(0x480, '\0');
    fx.versionBlock(o);
    fx.set(dataSize, 4, quint32(b.size() - 0x480), false);
    const quint32 rsrcSize = quint32(b.size() - 0x400);
    const quint32 rsrcRaw = (rsrcSize + 0x1FF) & ~0x1FFu;
    b.resize(0x400 + rsrcRaw, '\0');
    fx.set(dirs + 16, 4, 0x2000);
    fx.set(dirs + 20, 4, rsrcSize);

    const qsizetype sections = opt + optSize;
    const std::tuple<qsizetype, const char*, quint32, quint32, quint32> table[] = {
        {sections, ".text", 0x1000, 0x200, 0x200},
        {sections + 40, ".rsrc", 0x2000, 0x400, rsrcRaw}};
    for (auto [at, name, rva, raw, size] : table) {
        std::memcpy(b.data() + at, name, std::strlen(name));
        fx.set(at + 8, 4, size, false);
        fx.set(at + 12, 4, rva);
        fx.set(at + 16, 4, size);
        fx.set(at + 20, 4, raw);
    }
    return fx;
}

// The sample fixture: 0409/04E4, every key but SpecialBuild.
inline QByteArray samplePeImage(bool pe32Plus = false) {
    PeFixtureOptions o;
    o.pe32Plus = pe32Plus;
    o.strings = sampleVersionStrings();
    return buildPeFixture(o).bytes;
}

}  // namespace vantrel::test
