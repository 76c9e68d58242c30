#include "browse/FileDetails.h"
#include "browse/PeFixture.h"
#include "browse/PeVersion.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using test::buildPeFixture;
using test::PeFixtureOptions;
using test::sampleVersionStrings;

QStringList linesOf(const QByteArray& image, bool withTab) {
    const auto info = PeVersionInfo::fromImage(image);
    return info ? versionLines(*info, withTab) : QStringList();
}

const QStringList kSampleLinesWithTab{
    QStringLiteral("Company: \tFixture Works Ltd"),
    QStringLiteral("File description: \tSample tool"),
    QStringLiteral("File version: \t1.2.3.4"),
    QStringLiteral("Internal name: \tsample"),
    QStringLiteral("Copyright: \t\tCopyright \u00A9 2001 Fixture Works"),
    QStringLiteral("Trademarks: \t"),
    QStringLiteral("Original filename: \tSAMPLE.EXE"),
    QStringLiteral("Private build info: \tbuilt by hand"),
    QStringLiteral("Product name: \tSample Suite"),
    QStringLiteral("Product version: \t1.2"),
    QStringLiteral("Special build info: \t"),
};

class PeFormats : public ::testing::TestWithParam<bool> {};

TEST_P(PeFormats, SampleGivesElevenLinesInOrder) {
    PeFixtureOptions o;
    o.pe32Plus = GetParam();
    o.strings = sampleVersionStrings();
    const QByteArray image = buildPeFixture(o).bytes;
    EXPECT_EQ(linesOf(image, true), kSampleLinesWithTab);

    QStringList plain = kSampleLinesWithTab;
    plain.replaceInStrings(QStringLiteral("\t"), QString());
    EXPECT_EQ(linesOf(image, false), plain);
}

TEST_P(PeFormats, ReadsTheFileOnDisk) {
    test::TempTree tree;
    const QByteArray path = tree.fileWith("sample.exe", test::samplePeImage(GetParam()));
    EXPECT_EQ(versionLines(path, true), kSampleLinesWithTab);
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, PeFormats, ::testing::Values(false, true));

TEST(PeVersion, TranslationKeyIsEightUpperCaseHexDigits) {
    EXPECT_EQ((VersionTranslation{0x0409, 0x04E4}.tableKey()), QStringLiteral("040904E4"));
    EXPECT_EQ((VersionTranslation{0x0007, 0xabcd}.tableKey()), QStringLiteral("0007ABCD"));
    EXPECT_EQ((VersionTranslation{0xFFFF, 0}.tableKey()), QStringLiteral("FFFF0000"));
}

TEST(PeVersion, TranslationsInFileOrder) {
    PeFixtureOptions o;
    o.moreTranslations = {{0x0407, 0x04B0}, {0x040C, 0x04E4}};
    const auto info = PeVersionInfo::fromImage(buildPeFixture(o).bytes);
    ASSERT_TRUE(info);
    const QList<VersionTranslation> expected{{0x0409, 0x04E4}, {0x0407, 0x04B0}, {0x040C, 0x04E4}};
    EXPECT_EQ(info->translations(), expected);
}

// The string table of the first translation is used, whatever case its key
// is stored in and whatever tables come before it.
struct TableCase {
    const char* name;
    QString tableKey;
    bool decoyFirst;
    bool otherTypesFirst;
};

class StringTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(StringTables, FirstTranslationsTableIsRead) {
    PeFixtureOptions o;
    o.tableKey = GetParam().tableKey;
    o.decoyTableFirst = GetParam().decoyFirst;
    o.otherTypesFirst = GetParam().otherTypesFirst;
    o.moreTranslations = {{0x0407, 0x04B0}};  // the decoy's language comes second
    o.strings = sampleVersionStrings();
    EXPECT_EQ(linesOf(buildPeFixture(o).bytes, true), kSampleLinesWithTab);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, StringTables,
    ::testing::Values(TableCase{"LowerCaseKey", QString(), false, false},
                      TableCase{"UpperCaseKey", QStringLiteral("040904E4"), false, false},
                      TableCase{"DecoyTableFirst", QString(), true, false},
                      TableCase{"OtherResourceTypesFirst", QString(), true, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PeVersion, TranslationWithoutStringTableGivesEmptyValues) {
    PeFixtureOptions o;
    o.withStringFileInfo = false;
    const QStringList lines = linesOf(buildPeFixture(o).bytes, false);
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines.first(), QStringLiteral("Company: "));
    EXPECT_EQ(lines.last(), QStringLiteral("Special build info: "));
}

TEST(PeVersion, TranslationForWhichNoTableExists) {
    PeFixtureOptions o;
    o.strings = sampleVersionStrings();
    o.tableKey = QStringLiteral("040704B0");  // the table is not the translation's
    const QStringList lines = linesOf(buildPeFixture(o).bytes, false);
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines.at(0), QStringLiteral("Company: "));
}

// Everything that yields no version lines at all.
struct NoVersionCase {
    const char* name;
    QByteArray image;
};

QByteArray withoutTranslation() {
    PeFixtureOptions o;
    o.strings = sampleVersionStrings();
    o.withTranslation = false;
    return buildPeFixture(o).bytes;
}

QByteArray fixtureWith(bool resource, bool version) {
    PeFixtureOptions o;
    o.withResource = resource;
    o.withVersion = version;
    o.otherTypesFirst = true;
    return buildPeFixture(o).bytes;
}

QByteArray withPeSignatureBroken() {
    QByteArray b = test::samplePeImage();
    b[0x81] = 'X';
    return b;
}

QByteArray withOptionalMagic(quint16 magic) {
    QByteArray b = test::samplePeImage();
    qToLittleEndian<quint16>(magic, b.data() + 0x98);
    return b;
}

class NoVersion : public ::testing::TestWithParam<NoVersionCase> {};

TEST_P(NoVersion, GivesNoLines) {
    EXPECT_FALSE(PeVersionInfo::fromImage(GetParam().image) &&
                 !PeVersionInfo::fromImage(GetParam().image)->translations().isEmpty());
    EXPECT_TRUE(linesOf(GetParam().image, true).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Images, NoVersion,
    ::testing::Values(NoVersionCase{"Empty", QByteArray()},
                      NoVersionCase{"PlainText", QByteArray("Just some text, not a program.\n")},
                      NoVersionCase{"OnlyMZ", QByteArray("MZ")},
                      NoVersionCase{"NoPeSignature", withPeSignatureBroken()},
                      NoVersionCase{"RomImageMagic", withOptionalMagic(0x107)},
                      NoVersionCase{"NoResourceDirectory", fixtureWith(false, false)},
                      NoVersionCase{"ResourcesButNoVersion", fixtureWith(true, false)},
                      NoVersionCase{"NoTranslation", withoutTranslation()}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PeVersion, FilesWithoutVersionResource) {
    test::TempTree tree;
    EXPECT_TRUE(versionLines(tree.fileWith("notes.txt", "MZ but only text"), true).isEmpty());
    EXPECT_TRUE(versionLines(tree.fileWith("empty.exe", QByteArray()), true).isEmpty());
    EXPECT_TRUE(versionLines(tree.mkdir("folder.exe"), true).isEmpty());
    EXPECT_TRUE(versionLines(tree.path("vanished.exe"), true).isEmpty());
    EXPECT_TRUE(versionLines(tree.fifo("pipe.exe"), true).isEmpty());
}

TEST(PeVersion, BareVersionBlock) {
    PeFixtureOptions o;
    o.strings = {{QStringLiteral("SpecialBuild"), QStringLiteral("\tspecial")}};
    const QByteArray block = test::buildVersionBlock(o).bytes;
    const auto info = PeVersionInfo::fromVersionBlock(block);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->stringValue(u"040904e4", u"specialbuild"), QStringLiteral("\tspecial"));
    EXPECT_EQ(info->stringValue(u"040904E4", u"CompanyName"), std::nullopt);
    EXPECT_EQ(versionLines(*info, false).last(), QStringLiteral("Special build info: special"));
    // A block that is not VS_VERSION_INFO is refused.
    QByteArray renamed = block;
    renamed[6] = 'W';
    EXPECT_FALSE(PeVersionInfo::fromVersionBlock(renamed));
}

TEST(PeVersion, StringLengthCountedInBytesStillReadsToTheZero) {
    PeFixtureOptions o;
    o.strings = {{QStringLiteral("CompanyName"), QStringLiteral("Acme")}};
    QByteArray block = test::buildVersionBlock(o).bytes;
    // Find the CompanyName entry's value length (5 characters) and double it.
    const QByteArray key = test::pe_detail::utf16z(QStringLiteral("CompanyName"));
    const qsizetype at = block.indexOf(key) - 6;
    ASSERT_GT(at, 0);
    qToLittleEndian<quint16>(10, block.data() + at + 2);
    const auto info = PeVersionInfo::fromVersionBlock(block);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->stringValue(u"040904E4", u"CompanyName"), QStringLiteral("Acme"));
}

}  // namespace
}  // namespace vantrel
