#include "browse/FileDetails.h"
#include "browse/PeFixture.h"
#include "browse/PeVersion.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <random>

namespace vantrel {
namespace {

using namespace Qt::StringLiterals;
using namespace test;  // the fixture's builders and shapes

QStringList linesOf(QByteArrayView image, bool withTab = true) {
    const auto info = PeVersionInfo::fromImage(image);
    return info ? versionLines(*info, withTab) : QStringList();
}

const QStringList kSample =
    u"Company: \tFixture Works Ltd|File description: \tSample tool|File version: \t1.2.3.4|"
    u"Internal name: \tsample|Copyright: \t\tCopyright \u00A9 2001 Fixture Works|Trademarks: \t|"
    u"Original filename: \tSAMPLE.EXE|Private build info: \tbuilt by hand|"
    u"Product name: \tSample Suite|Product version: \t1.2|Special build info: \t"_s.split(u'|');

TEST(PeVersion, TranslationsInFileOrderWithUpperCaseKeys) {
    const QList<QPair<quint16, quint16>> pairs{{0x0409, 0x04E4}, {0x0007, 0xabcd}, {0xFFFF, 0}};
    const auto info = PeVersionInfo::fromImage(buildPeImage({.translations = pairs}));
    ASSERT_TRUE(info);
    QStringList keys;
    for (const VersionTranslation& t : info->translations())
        keys << t.tableKey();
    EXPECT_EQ(keys, (QStringList{u"040904E4"_s, u"0007ABCD"_s, u"FFFF0000"_s}));
}

// Images in every shape: the first translation's table is read whatever
// comes before it; a missing table gives blank values; anything without a
// translation gives no lines.
QByteArray image(int shape, const QString& tableKey = u"040904e4"_s) {
    return buildPeImage({.shape = shape, .tableKey = tableKey});
}

QByteArray sampleWith(qsizetype at, const QByteArray& bytes) {
    return test::samplePeImage().replace(at, bytes.size(), bytes);
}

struct ImageCase {
    const char* name;
    QByteArray image;
    QStringList expected;
};

class Images : public ::testing::TestWithParam<ImageCase> {};

TEST_P(Images, GiveTheExpectedLines) {
    EXPECT_EQ(linesOf(GetParam().image), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    PeVersion, Images,
    ::testing::Values(ImageCase{"LowerCaseKey", image(Plain), kSample},
                      ImageCase{"UpperCaseKey", image(Plain, u"040904E4"_s), kSample},
                      ImageCase{"DecoyTableFirst", image(Decoy), kSample},
                      ImageCase{"OtherResourceTypesFirst", image(Decoy | OtherTypes), kSample},
                      ImageCase{"Pe32Plus", test::samplePeImage(true), kSample},
                      ImageCase{
                          "NoTableForTheTranslation", image(Plain, u"040704B0"_s),
                          QStringList(kSample).replaceInStrings(QRegularExpression(u"\t[^\t]+$"_s),
                                                                u"\t"_s)},
                      ImageCase{"NoTranslation", image(NoTranslation), {}},
                      ImageCase{"ResourcesButNoVersion", image(OtherTypes | NoVersion), {}},
                      ImageCase{"Empty", QByteArray(), {}},
                      ImageCase{"PlainText", QByteArray("Just some text, not a program.\n"), {}},
                      ImageCase{"OnlyMZ", QByteArray("MZ"), {}},
                      ImageCase{"NoPeSignature", sampleWith(0x81, "X"), {}},
                      ImageCase{"RomImageMagic", sampleWith(0x98, "\x07\x01"), {}},
                      ImageCase{"NoResourceDirectory", sampleWith(0x108, QByteArray(8, '\0')), {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PeVersion, FilesOnDisk) {
    test::TempTree tree;
    const QByteArray image = test::samplePeImage(true);
    EXPECT_EQ(versionLines(tree.fileWith("sample.exe", image), true), kSample);
    // Cut short anywhere, a file gives all its lines or none.
    for (qsizetype length = 0; length <= image.size(); length += 37) {
        const qsizetype n =
            versionLines(tree.fileWith("cut.dll", image.left(length)), false).size();
        EXPECT_TRUE(n == 0 || n == 11);
    }
    for (const QByteArray& path :
         {tree.fileWith("notes.txt", "MZ but only text"), tree.fileWith("empty.exe", {}),
          tree.mkdir("folder.exe"), tree.path("vanished.exe"), tree.fifo("pipe.exe")})
        EXPECT_TRUE(versionLines(path, true).isEmpty()) << path.constData();
}

TEST(PeVersion, BareVersionBlock) {
    QByteArray block = test::buildVersionBlock(
        {.strings = {{u"SpecialBuild"_s, u"\tspecial"_s}, {u"CompanyName"_s, u"Acme"_s}}});
    // A value length counted in bytes instead of characters still reads to
    // the terminating zero.
    const qsizetype company = block.indexOf(test::PeWriter::utf16z(u"CompanyName"_s)) - 6;
    ASSERT_GT(company, 0);
    qToLittleEndian<quint16>(10, block.data() + company + 2);
    const auto info = PeVersionInfo::fromVersionBlock(block);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->stringValue(u"040904E4", u"specialbuild"), u"\tspecial"_s);
    EXPECT_EQ(info->stringValue(u"040904e4", u"CompanyName"), u"Acme"_s);
    EXPECT_EQ(versionLines(*info, false).last(), u"Special build info: special"_s);
    block[6] = 'W';  // a block that is not VS_VERSION_INFO is refused
    EXPECT_FALSE(PeVersionInfo::fromVersionBlock(block));
}

// ---- hostile input: each must end, read nothing outside the data (the
// sanitizer build checks that) and give either no lines or all eleven.

qsizetype exercise(const QByteArray& image) {
    // An exact copy, so that the sanitizer sees any read past its end.
    const auto info = PeVersionInfo::fromImage(QByteArray(image.constData(), image.size()));
    if (!info)
        return 0;
    for (const VersionTranslation& t : info->translations())
        (void)info->stringValue(t.tableKey(), u"CompanyName");
    const QStringList lines = versionLines(*info, true);
    EXPECT_TRUE(lines.isEmpty() || lines.size() == 11) << lines.size();
    return lines.size();
}

class PeFuzz : public ::testing::TestWithParam<bool> {
protected:
    const QByteArray fx = buildPeImage({.pe32Plus = GetParam(), .shape = Decoy | OtherTypes});
    std::mt19937 rng{GetParam() ? 77u : 78u};
};

TEST_P(PeFuzz, EveryTruncation) {
    qsizetype complete = 0;
    for (qsizetype length = 0; length <= fx.size(); ++length)
        complete += exercise(fx.left(length)) == 11;
    EXPECT_GT(complete, 0);  // the version block ends before the section's padding
}

// Zero, tiny, huge, sign bits, the field's own position and the positions
// of the directories (loops), written as 2- and 4-byte fields at every
// aligned offset of the headers and the resource section.
TEST_P(PeFuzz, HostileFieldValues) {
    auto hostile = [&](qsizetype offset) {
        const quint32 size = quint32(fx.size()), at = quint32(offset), rva = at - 0x400;
        return QList<quint32>{
            0,           1,           2,           4,           5,           6,
            7,           8,           0x10,        0x28,        0x1FFF,      0x2000,
            0x2080,      0x7FFF,      0x8000,      0xFFFE,      0xFFFF,      0x10000,
            0x7FFFFFFF,  0x80000000u, 0x80000001u, 0x80000028u, 0x80000040u, 0xFFFFFFF0u,
            0xFFFFFFFFu, size,        size - 1,    at,          rva,         0x80000000u | rva};
    };
    QList<QPair<qsizetype, int>> fields;  // offset and width, skipping the .text filler
    for (qsizetype at = 0; at + 4 <= fx.size(); at += 2)
        if (at < 0x200 || at >= 0x400)
            fields << QPair(at, 2) << QPair(at, at % 4 ? 2 : 4);
    for (const auto& [at, width] : fields)
        for (quint32 value : hostile(at)) {
            QByteArray copy = fx;
            test::PeWriter::put(copy, at, width, value);
            exercise(copy);
        }
}

TEST_P(PeFuzz, RandomFlipsAndNoise) {
    int stillComplete = 0;
    for (int i = 0; i < 6000; ++i) {
        QByteArray image = fx;
        for (int k = 0, flips = 1 + int(rng() % 8); k < flips; ++k) {
            const qsizetype at = qsizetype(rng() % quint32(image.size()));
            image[at] = char(image[at] ^ char(1 + rng() % 255));
        }
        if (rng() % 4 == 0)
            image.truncate(qsizetype(rng() % quint32(image.size() + 1)));
        stillComplete += exercise(image) == 11;
    }
    EXPECT_GT(stillComplete, 0);      // flips in the filler leave the resource readable
    for (int i = 0; i < 2000; ++i) {  // valid headers, noise from a random point on
        QByteArray image = fx;
        for (auto at = 0x400 + qsizetype(rng() % quint32(fx.size() - 0x400)); at < fx.size(); ++at)
            image[at] = char(rng());
        exercise(image);
    }
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, PeFuzz, ::testing::Values(false, true));

}  // namespace
}  // namespace vantrel
