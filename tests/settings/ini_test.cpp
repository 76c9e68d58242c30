// The settings file: finding sections and keys without regard to case,
// keeping everything else byte for byte, surviving damaged and protected
// files, and the pattern lists stored as Number and File1..FileN.

#include "settings/IniFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>

namespace vantrel {
namespace {

QByteArray readBytes(const QByteArray& path) {
    QFile f(QFile::decodeName(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// ---- the document -----------------------------------------------------------------

TEST(IniDocument, SectionsAndKeysAreFoundWithoutRegardToCase) {
    const IniDocument doc(
        "[TempFiles]\n"
        "Number=3\n"
        "FILE1=*.tmp\n"
        "[vantrel]\n"
        "ndelete = 12 \n"
        "SizeDelete=\"  quoted  \"\n");
    EXPECT_EQ(doc.value("tempfiles", "NUMBER"), QStringLiteral("3"));
    EXPECT_EQ(doc.value("TEMPFILES", "file1"), QStringLiteral("*.tmp"));
    EXPECT_EQ(doc.value("Vantrel", "NDelete"), QStringLiteral("12"));
    EXPECT_EQ(doc.value("Vantrel", "SizeDelete"), QStringLiteral("  quoted  "));
    EXPECT_EQ(doc.value("Vantrel", "Missing"), std::nullopt);
    EXPECT_EQ(doc.value("Missing", "Number"), std::nullopt);
    EXPECT_TRUE(doc.hasSection("VANTREL"));
    EXPECT_EQ(doc.keys("TempFiles"), QStringList({"Number", "FILE1"}));
}

TEST(IniDocument, LinesThatAreNoKeysAreNotKeys) {
    const IniDocument doc(
        "Orphan=before any section\n"
        "[S]\n"
        "; Commented=1\n"
        "# Hashed=2\n"
        "no equals sign\n"
        "=no key\n"
        "Real=3\n"
        "[Broken\n"
        "After=4\n");
    EXPECT_EQ(doc.keys("S"), QStringList({"Real", "After"}));
    EXPECT_EQ(doc.value("S", "Commented"), std::nullopt);
    EXPECT_EQ(doc.value("S", "Orphan"), std::nullopt);
}

TEST(IniDocument, FirstSectionAndFirstKeyWin) {
    const IniDocument doc("[S]\nk=1\nK=2\n[s]\nk=3\nother=4\n");
    EXPECT_EQ(doc.value("S", "k"), QStringLiteral("1"));
    // A key of a second section of the same name is not found.
    EXPECT_EQ(doc.value("S", "other"), std::nullopt);
}

TEST(IniDocument, ChangingOneKeyKeepsEveryOtherByte) {
    const QByteArray original =
        "; written by hand\n"
        "stray line before sections\n"
        "\n"
        "[Other]\n"
        "  Indented = kept as is  \n"
        "Latin1=caf\xe9\n"
        "unknown line \x01\x02\n"
        "\n"
        "[TempFiles]\n"
        "Number = 2\n"
        "File1=*.tmp\n"
        "\n"
        "[Last]\n"
        "x=y\n";
    IniDocument doc(original);
    doc.setValue("tempfiles", "number", "7");
    QByteArray expected = original;
    expected.replace("Number = 2\n", "Number=7\n");
    EXPECT_EQ(doc.serialize(), expected);
}

TEST(IniDocument, NewKeysGoAfterTheSectionsLastLineAndNewSectionsAtTheEnd) {
    IniDocument doc(QByteArray("[A]\na=1\n\n[B]\nb=1\n"));
    doc.setValue("A", "a2", "2");
    doc.setValue("C", "c", "3");
    EXPECT_EQ(doc.serialize(), QByteArray("[A]\na=1\na2=2\n\n[B]\nb=1\n\n[C]\nc=3\n"));
    IniDocument empty;
    empty.setValue("S", "k", "v");
    EXPECT_EQ(empty.serialize(), QByteArray("[S]\nk=v\n"));
}

TEST(IniDocument, CrlfFilesStayCrlf) {
    const QByteArray original = "[S]\r\nk=1\r\n\r\n[T]\r\nt=2\r\n";
    IniDocument doc(original);
    EXPECT_EQ(doc.value("S", "k"), QStringLiteral("1"));
    EXPECT_EQ(doc.value("T", "t"), QStringLiteral("2"));
    doc.setValue("S", "k", "9");
    doc.setValue("S", "new", "n");
    doc.setValue("U", "u", "3");
    EXPECT_EQ(doc.serialize(),
              QByteArray("[S]\r\nk=9\r\nnew=n\r\n\r\n[T]\r\nt=2\r\n\r\n[U]\r\nu=3\r\n"));
}

TEST(IniDocument, MixedLineEndingsAreKeptLineByLine) {
    const QByteArray original = "[S]\r\na=1\nb=2\r\n[T]\nc=3";
    IniDocument doc(original);
    EXPECT_EQ(doc.serialize(), original);
    doc.setValue("S", "b", "5");
    EXPECT_EQ(doc.serialize(), QByteArray("[S]\r\na=1\nb=5\r\n[T]\nc=3"));
}

TEST(IniDocument, ByteOrderMarkBeforeTheFirstSection) {
    IniDocument doc(QByteArray("\xEF\xBB\xBF[TempFiles]\nNumber=1\n"));
    EXPECT_EQ(doc.value("TempFiles", "Number"), QStringLiteral("1"));
    doc.setValue("TempFiles", "Number", "2");
    EXPECT_EQ(doc.serialize(), QByteArray("\xEF\xBB\xBF[TempFiles]\nNumber=2\n"));
}

TEST(IniDocument, LineBreaksInValuesCannotForgeKeysOrSections) {
    IniDocument doc;
    doc.setValue("S", "k", "a\n[Evil]\nNumber=5\r");
    doc.setValue("Two\nLines", "k", "v");
    EXPECT_FALSE(doc.hasSection("Evil"));
    EXPECT_EQ(doc.value("S", "k"), QStringLiteral("a [Evil] Number=5"));
    EXPECT_EQ(doc.value("Two Lines", "k"), QStringLiteral("v"));
}

TEST(IniDocument, RemoveKey) {
    IniDocument doc(QByteArray("[S]\na=1\nb=2\n"));
    doc.removeKey("s", "A");
    doc.removeKey("S", "missing");
    doc.removeKey("Missing", "b");
    EXPECT_EQ(doc.serialize(), QByteArray("[S]\nb=2\n"));
}

struct IntegerRow {
    const char* text;
    std::optional<qint64> value;
};

class ParseIniIntegerTest : public ::testing::TestWithParam<IntegerRow> {};

TEST_P(ParseIniIntegerTest, WholeDecimalNumbersOnly) {
    EXPECT_EQ(parseIniInteger(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseIniIntegerTest,
    ::testing::Values(IntegerRow{"0", 0}, IntegerRow{"-1", -1}, IntegerRow{" 42 ", 42},
                      IntegerRow{"+3", 3}, IntegerRow{"4294967296", 4294967296LL},
                      IntegerRow{"", std::nullopt}, IntegerRow{"abc", std::nullopt},
                      IntegerRow{"12abc", std::nullopt}, IntegerRow{"1.0", std::nullopt},
                      IntegerRow{"0x10", std::nullopt},
                      IntegerRow{"99999999999999999999", std::nullopt}));

// ---- the file on disk -------------------------------------------------------------

class IniFileTest : public ::testing::Test {
protected:
    test::TempTree tree;
    QByteArray path(const char* name = "vantrel.ini") const { return tree.path(name); }
    IniFile file(const char* name = "vantrel.ini") const {
        return IniFile(QFile::decodeName(path(name)));
    }
};

TEST_F(IniFileTest, MissingFileReadsDefaults) {
    const IniFile f = file();
    EXPECT_EQ(f.readString("Vantrel", "Ndelete", "n/a"), QStringLiteral("n/a"));
    EXPECT_EQ(f.readInteger("Vantrel", "Ndelete", -1), -1);
    EXPECT_FALSE(f.hasSection("Vantrel"));
    EXPECT_FALSE(QFile::exists(QFile::decodeName(path())));
}

TEST_F(IniFileTest, NumbersThatAreNotNumbersReadAsTheDefault) {
    tree.fileWith("vantrel.ini", "[Vantrel]\nNdelete=twelve\nNWaste=\nSizeWaste= 77 \n");
    const IniFile f = file();
    EXPECT_EQ(f.readInteger("vantrel", "ndelete", -1), -1);
    EXPECT_EQ(f.readInteger("Vantrel", "NWaste", -1), -1);
    EXPECT_EQ(f.readInteger("Vantrel", "SizeWaste", -1), 77);
}

TEST_F(IniFileTest, WriteCreatesFolderAndFileAndLeavesNoTemporaryFile) {
    IniFile f(QFile::decodeName(tree.path("new/folder/vantrel.ini")));
    ASSERT_TRUE(f.writeInteger("Vantrel", "DelDate", 45455));
    ASSERT_TRUE(f.writeString("Vantrel", "Ndelete", "3"));
    EXPECT_EQ(readBytes(tree.path("new/folder/vantrel.ini")),
              QByteArray("[Vantrel]\nDelDate=45455\nNdelete=3\n"));
    EXPECT_EQ(
        QDir(QFile::decodeName(tree.path("new/folder"))).entryList(QDir::Files | QDir::Hidden),
        QStringList({"vantrel.ini"}));
}

TEST_F(IniFileTest, WriteKeepsTheFilesPermissions) {
    tree.fileWith("vantrel.ini", "[S]\nk=1\n");
    tree.chmod("vantrel.ini", 0600);
    ASSERT_TRUE(file().writeString("S", "k", "2"));
    struct stat st;
    ASSERT_EQ(::stat(path().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(IniFileTest, CorruptFileReadsDefaultsAndKeepsItsBytes) {
    QByteArray garbage;
    quint32 state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        garbage.append(char(state >> 16));
    }
    garbage.append('\0').append("\xff\xfe[").append('\0');
    tree.fileWith("vantrel.ini", garbage);
    IniFile f = file();
    EXPECT_EQ(f.readInteger("Vantrel", "Ndelete", -1), -1);
    EXPECT_EQ(readPatternList(f, "TempFiles", {"*.tmp"}), QStringList({"*.tmp"}));
    ASSERT_TRUE(f.writeInteger("Vantrel", "Ndelete", 5));
    const QByteArray after = readBytes(path());
    EXPECT_TRUE(after.startsWith(garbage));
    EXPECT_EQ(f.readInteger("Vantrel", "Ndelete", -1), 5);
}

TEST_F(IniFileTest, FileThatIsNotUtf8KeepsItsOtherBytes) {
    const QByteArray latin1 = "[Folders]\nNumber=1\nFile1=/home/ren\xe9\n[Vantrel]\nNWaste=4\n";
    tree.fileWith("vantrel.ini", latin1);
    IniFile f = file();
    EXPECT_EQ(f.readInteger("Vantrel", "NWaste", -1), 4);
    EXPECT_FALSE(f.readString("Folders", "File1").isEmpty());
    ASSERT_TRUE(f.writeInteger("Vantrel", "NWaste", 5));
    QByteArray expected = latin1;
    expected.replace("NWaste=4", "NWaste=5");
    EXPECT_EQ(readBytes(path()), expected);
}

TEST_F(IniFileTest, ReadOnlyFileRefusesTheWriteAndStaysAsItWas) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    const QByteArray original = "[Vantrel]\nNdelete=1\n[Other]\nx=y\n";
    tree.fileWith("vantrel.ini", original);
    tree.chmod("vantrel.ini", 0444);
    IniFile f = file();
    EXPECT_EQ(f.readInteger("Vantrel", "Ndelete", -1), 1);
    EXPECT_FALSE(f.writeInteger("Vantrel", "Ndelete", 2));
    EXPECT_FALSE(writePatternList(f, "TempFiles", {"*.tmp"}));
    EXPECT_EQ(readBytes(path()), original);
}

TEST_F(IniFileTest, UnreadableFileIsNotOverwritten) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    const QByteArray original = "[Vantrel]\nNdelete=1\n";
    tree.fileWith("vantrel.ini", original);
    tree.chmod("vantrel.ini", 0200);
    IniFile f = file();
    EXPECT_EQ(f.readInteger("Vantrel", "Ndelete", -1), -1);
    // Writing would lose the content it could not read.
    EXPECT_FALSE(f.writeInteger("Vantrel", "NWaste", 2));
    tree.chmod("vantrel.ini", 0644);
    EXPECT_EQ(readBytes(path()), original);
}

TEST_F(IniFileTest, ReadOnlyFolderRefusesANewFile) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    tree.mkdir("locked");
    tree.chmod("locked", 0555);
    IniFile f(QFile::decodeName(tree.path("locked/vantrel.ini")));
    EXPECT_FALSE(f.writeInteger("Vantrel", "Ndelete", 2));
    EXPECT_FALSE(QFile::exists(f.path()));
}

TEST_F(IniFileTest, AFolderInPlaceOfTheFile) {
    tree.mkdir("vantrel.ini");
    IniFile f = file();
    EXPECT_EQ(f.readInteger("Vantrel", "Ndelete", -1), -1);
    EXPECT_FALSE(f.writeInteger("Vantrel", "Ndelete", 2));
}

TEST_F(IniFileTest, EveryAccessReadsTheFileAgain) {
    IniFile writer = file();
    const IniFile reader = file();
    ASSERT_TRUE(writer.writeInteger("S", "k", 1));
    EXPECT_EQ(reader.readInteger("S", "k", 0), 1);
    ASSERT_TRUE(writer.writeInteger("S", "k", 2));
    EXPECT_EQ(reader.readInteger("S", "k", 0), 2);
}

// ---- pattern lists ----------------------------------------------------------------

const QStringList kDefaults = {"*.tmp", "*.fts", "*.bak", "*.$$$"};

struct ListRow {
    const char* name;
    const char* content;
    QStringList expected;
};

class PatternListReadTest : public ::testing::TestWithParam<ListRow> {};

TEST_P(PatternListReadTest, Read) {
    test::TempTree tree;
    tree.fileWith("vantrel.ini", GetParam().content);
    const IniFile f(QFile::decodeName(tree.path("vantrel.ini")));
    EXPECT_EQ(readPatternList(f, "TempFiles", kDefaults), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PatternListReadTest,
    ::testing::Values(
        ListRow{"NoSection", "[Other]\nNumber=2\nFile1=*.x\n", kDefaults},
        ListRow{"NumberMissing", "[TempFiles]\nFile1=*.x\n", kDefaults},
        ListRow{"NumberMinusOne", "[TempFiles]\nNumber=-1\nFile1=*.x\n", kDefaults},
        ListRow{"NumberNegative", "[TempFiles]\nNumber=-7\nFile1=*.x\n", kDefaults},
        ListRow{"NumberGarbage", "[TempFiles]\nNumber=lots\nFile1=*.x\n", kDefaults},
        ListRow{"NumberZero", "[TempFiles]\nNumber=0\nFile1=*.x\n", {}},
        ListRow{"Two", "[TempFiles]\nNumber=2\nFile1=*.a\nFile2=*.b\n", {"*.a", "*.b"}},
        ListRow{"KeysAboveNumberIgnored",
                "[TempFiles]\nNumber=2\nFile1=*.a\nFile2=*.b\nFile3=*.c\nFile4=*.d\n",
                {"*.a", "*.b"}},
        ListRow{"NumberLargerThanKeys",
                "[TempFiles]\nNumber=2000000000\nFile1=*.a\nFile3=*.c\n",
                {"*.a", "*.c"}},
        ListRow{"EmptyEntriesSkipped",
                "[TempFiles]\nNumber=3\nFile1=\nFile2=*.b\nFile3=*.c\n",
                {"*.b", "*.c"}},
        ListRow{"OrderOfNumbersNotOfLines",
                "[TempFiles]\nNumber=3\nFile3=*.c\nFile1=*.a\nFile2=*.b\n",
                {"*.a", "*.b", "*.c"}},
        ListRow{"KeysWithoutRegardToCase",
                "[tempfiles]\nNUMBER=2\nfile1=*.a\nFILE2=*.b\n",
                {"*.a", "*.b"}},
        ListRow{
            "LeadingZeroIsAnotherKey", "[TempFiles]\nNumber=2\nFile01=*.z\nFile2=*.b\n", {"*.b"}},
        ListRow{"FileZeroIsNoEntry", "[TempFiles]\nNumber=1\nFile0=*.z\nFile1=*.a\n", {"*.a"}}),
    [](const ::testing::TestParamInfo<ListRow>& row) { return std::string(row.param.name); });

TEST(PatternList, EmptyListIsStoredAsZeroAndReadBackEmpty) {
    test::TempTree tree;
    IniFile f(QFile::decodeName(tree.path("vantrel.ini")));
    ASSERT_TRUE(writePatternList(f, "TempFiles", {}));
    EXPECT_EQ(f.readInteger("TempFiles", "Number", -1), 0);
    EXPECT_EQ(readPatternList(f, "TempFiles", kDefaults), QStringList());
}

TEST(PatternList, ShrinkingLeavesTheHigherKeysInTheFile) {
    test::TempTree tree;
    IniFile f(QFile::decodeName(tree.path("vantrel.ini")));
    ASSERT_TRUE(writePatternList(f, "TempFiles", {"*.1", "*.2", "*.3", "*.4", "*.5"}));
    ASSERT_TRUE(writePatternList(f, "TempFiles", {"*.a", "*.b"}));
    EXPECT_EQ(readBytes(tree.path("vantrel.ini")),
              QByteArray("[TempFiles]\nNumber=2\nFile1=*.a\nFile2=*.b\nFile3=*.3\nFile4=*.4\n"
                         "File5=*.5\n"));
    EXPECT_EQ(readPatternList(f, "TempFiles", kDefaults), QStringList({"*.a", "*.b"}));
}

TEST(PatternList, WritingOneListLeavesTheOthers) {
    test::TempTree tree;
    tree.fileWith("vantrel.ini", "[Include]\nNumber=1\nFile1=*.doc\n");
    IniFile f(QFile::decodeName(tree.path("vantrel.ini")));
    ASSERT_TRUE(writePatternList(f, "Exclude", {"*.exe"}));
    EXPECT_EQ(readPatternList(f, "Include", {}), QStringList({"*.doc"}));
    EXPECT_EQ(readPatternList(f, "Exclude", {}), QStringList({"*.exe"}));
}

// ---- where the files live ---------------------------------------------------------

TEST(SettingsFolder, TheTwoFilesLiveInTheProgramsConfigurationFolder) {
    const QString before = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("vantrel"));
    const QString folder = settingsFolder();
    EXPECT_EQ(folder, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/vantrel")));
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(vantrelIni().path(), folder + QStringLiteral("/vantrel.ini"));
    EXPECT_EQ(vantrelmIni().path(), folder + QStringLiteral("/vantrelm"));
    QCoreApplication::setApplicationName(before);
    // Test mode keeps the tests away from the user's real settings.
    EXPECT_TRUE(folder.contains(QStringLiteral(".qttest")));
}

}  // namespace
}  // namespace vantrel
