#pragma once

// Builds small PE images with a version resource, byte by byte, for the
// version reader's tests and the details window's. File layout: DOS header
// (e_lfanew 0x80); at 0x80 the PE signature, COFF and optional header (PE32
// or PE32+) and two section headers, .text (RVA 0x1000, file 0x200) and .rsrc
// (RVA 0x2000, file 0x400); at 0x400 the resource directory (type, name,
// language), at 0x458 the data entry, at 0x480 the VS_VERSIONINFO block.
// Every field lies at an offset aligned to its width, so that tests can
// corrupt each of them by walking the image.

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

// The strings of a typical program, every key but SpecialBuild; two values
// start with blanks, which the reader removes.
inline QList<QPair<QString, QString>> sampleVersionStrings() {
    QList<QPair<QString, QString>> out;
    for (const QString& pair :
         u"CompanyName=Fixture Works Ltd|FileDescription=  Sample tool|FileVersion=1.2.3.4|"
         u"InternalName=sample|LegalCopyright=Copyright \u00A9 2001 Fixture Works|LegalTrademarks=|"
         u"OriginalFilename=SAMPLE.EXE|PrivateBuild= built by hand|ProductName=Sample Suite|"
         u"ProductVersion=1.2"_s.split(u'|'))
        out.append({pair.section(u'=', 0, 0), pair.section(u'=', 1)});
    return out;
}

// What an image holds besides its strings; shapes combine.
enum PeShape {
    Plain = 0,
    Decoy = 1,          // a string table of another language before ours
    OtherTypes = 2,     // a named type and RT_ICON before RT_VERSION
    NoTranslation = 4,  // no \VarFileInfo\Translation
    NoVersion = 8,      // no RT_VERSION entry in the resource directory
};

struct PeFixtureOptions {
    bool pe32Plus = false;
    int shape = Plain;
    QString tableKey = u"040904e4"_s;
    QList<QPair<QString, QString>> strings = sampleVersionStrings();
    QList<QPair<quint16, quint16>> translations{{0x0409, 0x04E4}, {0x0407, 0x04B0}};
};

struct PeWriter {
    QByteArray bytes;

    // Writes `v` little-endian in `width` bytes at `at`.
    static void put(QByteArray& b, qsizetype at, int width, quint32 v) {
        const quint32 le = qToLittleEndian(v);
        std::memcpy(b.data() + at, &le, std::size_t(width));
    }
    qsizetype add(int width, quint32 v) {
        bytes.append(width, '\0');
        put(bytes, bytes.size() - width, width, v);
        return bytes.size() - width;
    }
    static QByteArray utf16z(const QString& s) {  // the test hosts are little-endian
        return QByteArray(reinterpret_cast<const char*>(s.utf16()), 2 * s.size()).append(2, '\0');
    }
    // One version block: length, value length, type, key, value, children.
    void block(const QString& key, bool isText, const QByteArray& value, quint16 valueLength,
               const std::function<void()>& children = {}) {
        bytes.resize((bytes.size() + 3) & ~3, '\0');
        const qsizetype start = add(2, 0);
        add(2, valueLength);
        add(2, isText ? 1 : 0);
        bytes += utf16z(key);
        bytes.resize((bytes.size() + 3) & ~3, '\0');
        bytes += value;
        if (children)
            children();
        put(bytes, start, 2, quint32(bytes.size() - start));
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
                if (o.shape & Decoy)
                    stringTable(u"040704B0"_s, {{u"CompanyName"_s, u"Decoy"_s}});
                stringTable(o.tableKey, o.strings);
            });
            QByteArray pairs(4 * o.translations.size(), '\0');
            for (qsizetype i = 0; i < o.translations.size(); ++i)
                put(pairs, 4 * i, 4, o.translations[i].first | o.translations[i].second << 16);
            if (!(o.shape & NoTranslation))
                block(u"VarFileInfo"_s, true, {}, 0,
                      [&] { block(u"Translation"_s, false, pairs, quint16(pairs.size())); });
        });
    }
};

inline QByteArray buildPeImage(const PeFixtureOptions& o) {
    PeWriter fx;
    QByteArray& b = fx.bytes;
    const bool plus = o.pe32Plus;
    b = "MZ" + QByteArray(0x3FE, '\0');
    std::memcpy(b.data() + 0x80, "PE\0\0", 4);
    const qsizetype coff = 0x84, opt = coff + 20, optSize = plus ? 240 : 224;
    const qsizetype dirs = opt + (plus ? 112 : 96);  // the data directories
    auto set = [&](qsizetype at, int width, quint32 v) { PeWriter::put(b, at, width, v); };
    set(0x3C, 4, 0x80);
    set(coff, 2, plus ? 0x8664 : 0x14C);  // machine
    set(coff + 2, 2, 2);                  // sections
    set(coff + 16, 2, quint32(optSize));
    set(coff + 18, 2, plus ? 0x22 : 0x102);
    set(opt, 2, plus ? 0x20B : 0x10B);
    set(opt + 56, 4, 0x3000);  // size of image; entry point and the rest stay 0
    set(dirs - 4, 4, 16);      // data directory count
    std::memset(b.data() + 0x200, 0xCC, 0x200);

    // The resource section: directories (12 bytes of header, named and id
    // entry counts) and entries (name or id, offset) of type, name, language.
    auto words = [&](int width, std::initializer_list<quint32> values) {
        for (quint32 v : values)
            fx.add(width, v);
    };
    const bool other = o.shape & OtherTypes, version = !(o.shape & NoVersion);
    b.append(12, '\0');
    words(2, {other, quint32(other) + version});
    if (other)  // a named type "CUSTOM", RT_ICON
        words(4, {0x80000068u, 0x80000028u, 3, 0x80000028u});
    if (version)
        words(4, {16, 0x80000028u});
    b.resize(0x428, '\0');
    b.append(12, '\0');
    words(2, {0, 1});
    words(4, {1, 0x80000040u});
    b.append(12, '\0');
    words(2, {0, 1});
    words(4, {o.translations.first().first, 0x58});
    fx.add(4, 0x2080);  // the data entry: RVA of the version block, its size
    const qsizetype dataSize = fx.add(4, 0);
    b.append(8, '\0');
    b += PeWriter::utf16z(u"\u0006CUSTOM"_s).chopped(2);  // the type's name, counted
    b.resize(0x480, '\0');
    fx.versionBlock(o);
    set(dataSize, 4, quint32(b.size() - 0x480));
    const quint32 rsrcSize = quint32(b.size() - 0x400);
    const quint32 rsrcRaw = (rsrcSize + 0x1FF) & ~0x1FFu;
    b.resize(0x400 + rsrcRaw, '\0');
    set(dirs + 16, 4, 0x2000);
    set(dirs + 20, 4, rsrcSize);
    const qsizetype sections = opt + optSize;
    const std::tuple<qsizetype, const char*, quint32, quint32, quint32> table[] = {
        {sections, ".text", 0x1000, 0x200, 0x200},
        {sections + 40, ".rsrc", 0x2000, 0x400, rsrcRaw}};
    for (auto [at, name, rva, raw, size] : table) {
        std::memcpy(b.data() + at, name, std::strlen(name));
        for (int k = 0; k < 4; ++k)
            set(at + 8 + 4 * k, 4, k == 1 ? rva : k == 3 ? raw : size);
    }
    return b;
}

// The VS_VERSIONINFO block alone.
inline QByteArray buildVersionBlock(const PeFixtureOptions& o) {
    PeWriter w;
    w.versionBlock(o);
    return w.bytes;
}

// The sample fixture: 0409/04E4 then 0407/04B0, every key but SpecialBuild.
inline QByteArray samplePeImage(bool pe32Plus = false) {
    return buildPeImage({.pe32Plus = pe32Plus});
}

}  // namespace vantrel::test
