// Engine tests of drive, wildcard and file-type selection: the stored type
// lists, the extension catalogue, the picker's pattern rules and the drive
// list with the user's folders.
#include "platform/MimeTypes.h"
#include "scan/DriveList.h"
#include "scan/Extensions.h"
#include "scan/TypeLists.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QFile>

#include <unistd.h>

namespace vantrel {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList patternsOf(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines)
        out.append(patternOfLine(line));
    return out;
}

// ---- Stored type lists --------------------------------------------------

class TypeListFile : public ::testing::TestWithParam<QString> {
protected:
    test::TempTree tree;
    IniFile ini{QFile::decodeName(tree.path("vantrel.ini"))};
};

TEST_P(TypeListFile, FreshFileGivesTheThreeDefaultsWithDescriptions) {
    const QStringList lines = ReadStatFilesFromDisk(ini, GetParam());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(patternsOf(lines), (QStringList{"*.doc", "*.exe", "*.dll"}));
    for (const QString& line : lines) {
        EXPECT_EQ(line,
                  patternOfLine(line) + '\t' + fileTypeDescription(patternOfLine(line).mid(1)));
        EXPECT_FALSE(tabField(line, 2).isEmpty()) << line.toStdString();
    }
    EXPECT_FALSE(QFile::exists(ini.path())) << "reading must not create the file";
}

TEST_P(TypeListFile, ClearedListStoresZeroAndReadsEmpty) {
    ASSERT_TRUE(WriteStatFilesToDisk({}, ini, GetParam()));
    EXPECT_EQ(ini.readInteger(GetParam(), "Number", -1), 0);
    EXPECT_TRUE(ReadStatFilesFromDisk(ini, GetParam()).isEmpty());
}

TEST_P(TypeListFile, StoresPatternsOnlyInListOrder) {
    const QStringList lines{typeLine("*.bmp"), typeLine("*.txt")};
    ASSERT_TRUE(WriteStatFilesToDisk(lines, ini, GetParam()));
    const QByteArray content = readAll(ini.path());
    const QByteArray expected =
        "[" + GetParam().toUtf8() + "]\nNumber=2\nFile1=*.bmp\nFile2=*.txt\n";
    EXPECT_TRUE(content.contains(expected)) << content.toStdString();
    EXPECT_FALSE(content.contains('\t'));
    EXPECT_EQ(ReadStatFilesFromDisk(ini, GetParam()), lines);
}

TEST_P(TypeListFile, ShrunkListLeavesOldKeysUnread) {
    QStringList five;
    for (const char* p : {"*.a", "*.b", "*.c", "*.d", "*.e"})
        five.append(typeLine(p));
    ASSERT_TRUE(WriteStatFilesToDisk(five, ini, GetParam()));
    ASSERT_TRUE(WriteStatFilesToDisk(five.mid(3), ini, GetParam()));
    EXPECT_EQ(ini.readString(GetParam(), "File5"), "*.e");
    EXPECT_EQ(patternsOf(ReadStatFilesFromDisk(ini, GetParam())), (QStringList{"*.d", "*.e"}));
}

TEST_P(TypeListFile, FailedWriteIsReported) {
    ASSERT_TRUE(WriteStatFilesToDisk({typeLine("*.a")}, ini, GetParam()));
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    tree.chmod("vantrel.ini", 0444);
    tree.chmod("", 0555);
    EXPECT_FALSE(WriteStatFilesToDisk({typeLine("*.b")}, ini, GetParam()));
    EXPECT_EQ(patternsOf(ReadStatFilesFromDisk(ini, GetParam())), QStringList{"*.a"});
}

INSTANTIATE_TEST_SUITE_P(Sections, TypeListFile,
                         ::testing::Values(kIncludeSection, kExcludeSection),
                         [](const auto& row) { return row.param.toStdString(); });

// A settings file written by hand (or damaged) reads safely.
struct StoredCase {
    const char* name;
    const char* section;  // the body of [Include]
    QStringList patterns;
};

class DamagedTypeList : public ::testing::TestWithParam<StoredCase> {};

TEST_P(DamagedTypeList, ReadsWhatTheKeysHold) {
    test::TempTree tree;
    const QByteArray path =
        tree.fileWith("vantrel.ini", QByteArray("[Include]\n") + GetParam().section);
    const IniFile ini(QFile::decodeName(path));
    EXPECT_EQ(patternsOf(ReadStatFilesFromDisk(ini, kIncludeSection)), GetParam().patterns);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedTypeList,
    ::testing::Values(
        StoredCase{"GarbageNumber", "Number=abc\nFile1=*.txt\n", {"*.doc", "*.exe", "*.dll"}},
        StoredCase{"EmptyNumber", "Number=\nFile1=*.txt\n", {"*.doc", "*.exe", "*.dll"}},
        StoredCase{"NegativeNumber", "Number=-4\nFile1=*.txt\n", {"*.doc", "*.exe", "*.dll"}},
        StoredCase{"OverflowingNumber",
                   "Number=99999999999999999999999\nFile1=*.txt\n",
                   {"*.doc", "*.exe", "*.dll"}},
        StoredCase{"HugeNumber", "Number=2000000000\nFile1=*.a\nFile2=*.b\n", {"*.a", "*.b"}},
        StoredCase{"Int64Number", "Number=9223372036854775807\nFile7=*.g\n", {"*.g"}},
        StoredCase{"NumberBelowKeys", "Number=1\nFile1=*.a\nFile2=*.b\n", {"*.a"}},
        StoredCase{"EmptyEntrySkipped", "Number=3\nFile1=*.a\nFile2=\nFile3=*.c\n", {"*.a", "*.c"}},
        StoredCase{
            "KeysOutOfOrder", "Number=3\nFile3=*.c\nFile1=*.a\nFile2=*.b\n", {"*.a", "*.b", "*.c"}},
        StoredCase{"ZeroPaddedKeyIgnored", "Number=2\nFile01=*.x\nFile2=*.b\n", {"*.b"}},
        StoredCase{"ZeroWithKeys", "Number=0\nFile1=*.a\n", {}},
        StoredCase{"BlanksAroundNumber", "Number = 2 \nFile1=*.a\nFile2=*.b\n", {"*.a", "*.b"}}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- Patterns and their descriptions ---------------------------------

struct TextCase {
    const char* input;
    const char* expected;
};

class PatternExtension : public ::testing::TestWithParam<TextCase> {};

TEST_P(PatternExtension, FromTheLastDotAfterTheLastSeparator) {
    EXPECT_EQ(patternExtension(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PatternExtension,
                         ::testing::Values(TextCase{"*.txt", ".txt"}, TextCase{"*.tar.gz", ".gz"},
                                           TextCase{"*.", "."}, TextCase{"*", ""}, TextCase{"", ""},
                                           TextCase{"a.b/c*", ""}, TextCase{"x.y:z", ""},
                                           TextCase{"/a.d/f.txt", ".txt"},
                                           TextCase{"*.$$$", ".$$$"}));

TEST(PatternDescription, FollowsTheTypeOfTheExtension) {
    EXPECT_EQ(patternDescription("*.qqq"), "QQQ File");
    EXPECT_EQ(patternDescription("*."), "No extension");
    EXPECT_EQ(patternDescription("*.txt"), fileTypeDescription(".txt"));
    EXPECT_EQ(patternDescription("abc"), "");
    EXPECT_EQ(typeLine("*.qqq"), "*.qqq\tQQQ File");
    EXPECT_EQ(patternOfLine("*.qqq\tQQQ File"), "*.qqq");
    EXPECT_EQ(patternOfLine("*.qqq"), "*.qqq");
}

class PickerText : public ::testing::TestWithParam<TextCase> {};

TEST_P(PickerText, BecomesAPattern) {
    EXPECT_EQ(normalisePickedPattern(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PickerText,
                         ::testing::Values(TextCase{"txt", "*.txt"}, TextCase{".txt", "*.txt"},
                                           TextCase{"*.txt", "*.txt"}, TextCase{"*.*", ""},
                                           TextCase{".*", ""}, TextCase{"*", ""}, TextCase{"", ""},
                                           TextCase{"   ", ""}, TextCase{" txt ", "*.txt"},
                                           TextCase{"a*", "a*"}, TextCase{"a*.b", "a*.b"},
                                           TextCase{"*abc", "*abc"}, TextCase{"a.b", "*a.b"},
                                           TextCase{".", "*."}, TextCase{"*.", "*."},
                                           TextCase{"$$$", "*.$$$"}));

TEST(ExtensionPick, OnePatternAddsItsLine) {
    const ExtensionPick pick = ExtensionPick::fromTypedText("qqq");
    EXPECT_FALSE(pick.several);
    EXPECT_EQ(pick.pattern, "*.qqq");
    EXPECT_EQ(pick.description, "QQQ File");
    EXPECT_EQ(pick.linesToAdd(), QStringList{"*.qqq\tQQQ File"});
}

TEST(ExtensionPick, AllFilesAndEmptyTextAddNothing) {
    for (const char* typed : {"*.*", ".*", "*", ""}) {
        const ExtensionPick pick = ExtensionPick::fromTypedText(typed);
        EXPECT_TRUE(pick.pattern.isEmpty()) << typed;
        EXPECT_TRUE(pick.linesToAdd().isEmpty()) << typed;
    }
    ExtensionPick handMade;
    handMade.pattern = "*.*";
    EXPECT_TRUE(handMade.linesToAdd().isEmpty());
}

TEST(ExtensionPick, SeveralLinesAreTakenAsTheyAre) {
    const QStringList lines{"*.a\tA File", "*.b\tB File"};
    const ExtensionPick pick = ExtensionPick::fromLines(lines);
    EXPECT_TRUE(pick.several);
    EXPECT_EQ(pick.linesToAdd(), lines);
}

TEST(SortedLines, InsertPositionIgnoresCase) {
    const QStringList sorted{"*.a\tx", "*.B\tx", "*.c\tx"};
    EXPECT_EQ(sortedInsertPosition(sorted, "*.b\ty"), 2);
    EXPECT_EQ(sortedInsertPosition(sorted, "*.$$$\tz"), 0);
    EXPECT_EQ(sortedInsertPosition(sorted, "*.zip\tz"), 3);
    EXPECT_EQ(sortedInsertPosition({}, "*.a"), 0);
    EXPECT_TRUE(containsLineIgnoringCase(sorted, "*.b\tX"));
    EXPECT_FALSE(containsLineIgnoringCase(sorted, "*.b\tY"));
}

// ---- The extension catalogue --------------------------------------------

TEST(Catalogue, HoldsOnlyShortStarDotPatternsSortedWithoutRegardToCase) {
    const QStringList list = registryExtensions(false);
    if (list.isEmpty())
        GTEST_SKIP() << "the MIME database lists no extensions here";
    EXPECT_FALSE(list.contains("*.*"));
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString& e = list[i];
        EXPECT_TRUE(e.startsWith("*.")) << e.toStdString();
        EXPECT_LE(e.size() - 1, 5) << e.toStdString();
        EXPECT_GE(e.size(), 3) << e.toStdString();
        if (i > 0) {
            EXPECT_LT(QString::compare(list[i - 1], e, Qt::CaseInsensitive), 0)
                << list[i - 1].toStdString() << " " << e.toStdString();
        }
    }
    // Long extensions the MIME database knows never appear.
    EXPECT_FALSE(list.contains("*.class", Qt::CaseInsensitive));
    EXPECT_TRUE(list.contains("*.txt"));
}

TEST(Catalogue, AllFilesComesFirstOnlyWhenAskedFor) {
    QStringList list{"stale"};
    registryExtensions(list, true);
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.first(), "*.*");
    EXPECT_EQ(list.count("*.*"), 1);
    EXPECT_EQ(list.mid(1), registryExtensions(false));
    registryExtensions(list, false);
    EXPECT_FALSE(list.contains("stale"));
    EXPECT_FALSE(list.contains("*.*"));
}

TEST(Catalogue, LinesPairEachEntryWithItsDescription) {
    const QStringList entries = registryExtensions(false);
    const QStringList& lines = registryExtensionLines();
    ASSERT_EQ(lines.size(), entries.size());
    for (qsizetype i = 0; i < entries.size(); i += 37)
        EXPECT_EQ(lines[i], entries[i] + '\t' + fileTypeDescription(entries[i].mid(1)));
}

class WildcardLabel : public ::testing::TestWithParam<TextCase> {};

TEST_P(WildcardLabel, DescribesTheTextWithoutItsFirstCharacter) {
    EXPECT_EQ(wildcardDescription(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, WildcardLabel,
                         ::testing::Values(TextCase{"*.*", "All files"},
                                           TextCase{"*.qqq", "QQQ File"},
                                           TextCase{"*.", "No extension"}, TextCase{"", ""},
                                           TextCase{"*", ""}, TextCase{"a*.zz", ""},
                                           TextCase{"x.qqq", "QQQ File"}));

TEST(WildcardLabel, TypeTextHasNoAllFilesLabel) {
    EXPECT_EQ(wildcardTypeText("*.*"), "");
    EXPECT_EQ(wildcardTypeText("*."), "No extension");
    EXPECT_EQ(wildcardTypeText("*.qqq"), "QQQ File");
}

TEST(WildcardLabel, KnownTypeShowsItsDescription) {
    EXPECT_EQ(wildcardDescription("*.txt"), fileTypeDescription(".txt"));
    EXPECT_NE(wildcardDescription("*.txt"), "TXT File") << "text files should be known";
}

// ---- Drive list with the user's folders -----------------------------------

class DriveListTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDriveListOverride(QList<DriveEntry>{{"/", "ext4"}, {"/home", "ext4"}});
        char buffer[4096];
        ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
        m_cwd = buffer;
    }
    void TearDown() override {
        setDriveListOverride(std::nullopt);
        EXPECT_EQ(::chdir(m_cwd.constData()), 0);
    }
    IniFile iniWith(const QByteArray& content) {
        return IniFile(QFile::decodeName(tree.fileWith("vantrel.ini", content)));
    }
    static QList<QByteArray> roots(const QList<DriveListEntry>& entries) {
        QList<QByteArray> out;
        for (const DriveListEntry& e : entries)
            out.append(e.drive.root);
        return out;
    }

    test::TempTree tree;
    QByteArray m_cwd;
};

TEST_F(DriveListTest, StoredFoldersFollowTheSystemDrivesOnce) {
    const IniFile ini = iniWith(
        "[Folders]\nNumber=6\nFile1=/data/x/\nFile2=/home\nFile3=relative/path\n"
        "File4=/data//x\nFile5=/srv/./pub\nFile6=\nFile7=/beyond\n");
    const QList<DriveListEntry> entries = driveListEntries(ini);
    EXPECT_EQ(roots(entries), (QList<QByteArray>{"/", "/home", "/data/x", "/srv/pub"}));
    EXPECT_FALSE(entries[1].userAdded);
    EXPECT_TRUE(entries[2].userAdded);
    EXPECT_EQ(entries[2].drive.type, "folder");
    EXPECT_EQ(entries[2].drive.text(), "/data/x  [folder]");
}

TEST_F(DriveListTest, DamagedFoldersSectionAddsNothing) {
    for (const QByteArray body :
         {"Number=junk\nFile1=/a\n", "Number=-1\nFile1=/a\n", "Number=0\nFile1=/a\n"}) {
        const IniFile ini = iniWith("[Folders]\n" + body);
        EXPECT_EQ(driveListEntries(ini).size(), 2) << body.constData();
    }
    const IniFile huge = iniWith("[Folders]\nNumber=2147483647\nFile3=/a\n");
    EXPECT_EQ(roots(driveListEntries(huge)).last(), QByteArray("/a"));
}

TEST_F(DriveListTest, AddAndRemoveAFolder) {
    IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
    const QByteArray folder = tree.mkdir("fixture/one");
    EXPECT_EQ(addFolder(ini, folder + "/"), AddFolderResult::Added);
    EXPECT_EQ(addFolder(ini, folder), AddFolderResult::AlreadyListed);
    EXPECT_EQ(addFolder(ini, "/home"), AddFolderResult::AlreadyListed);
    ASSERT_EQ(roots(driveListEntries(ini)), (QList<QByteArray>{"/", "/home", folder}));
    EXPECT_EQ(ini.readString(kFoldersSection, "File1"), QFile::decodeName(folder));

    const QByteArray second = tree.mkdir("fixture/two");
    EXPECT_EQ(addFolder(ini, second), AddFolderResult::Added);
    EXPECT_TRUE(removeFolder(ini, folder));
    EXPECT_FALSE(removeFolder(ini, folder));
    EXPECT_EQ(roots(driveListEntries(ini)), (QList<QByteArray>{"/", "/home", second}));
    EXPECT_EQ(ini.readInteger(kFoldersSection, "Number", -1), 1);
}

TEST_F(DriveListTest, RefusesWhatIsNoFolderOrCannotBeStored) {
    IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
    EXPECT_EQ(addFolder(ini, tree.file("plain.txt", 3)), AddFolderResult::NotAFolder);
    EXPECT_EQ(addFolder(ini, "relative"), AddFolderResult::NotAFolder);
    EXPECT_EQ(addFolder(ini, ""), AddFolderResult::NotAFolder);
    EXPECT_EQ(addFolder(ini, tree.path("missing")), AddFolderResult::NotAFolder);
    const QByteArray odd = tree.mkdir("bad\xff\xfe name");
    EXPECT_EQ(addFolder(ini, odd), AddFolderResult::NameNotStorable);
    EXPECT_FALSE(QFile::exists(ini.path()));
    ::rmdir(odd.constData());  // the temporary folder's cleanup cannot spell this name
}

struct PathCase {
    const char* input;
    const char* expected;
};

class CleanRoot : public ::testing::TestWithParam<PathCase> {};

TEST_P(CleanRoot, GivesOneSpellingPerFolder) {
    EXPECT_EQ(cleanRootPath(GetParam().input), QByteArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, CleanRoot,
                         ::testing::Values(PathCase{"/", "/"}, PathCase{"//", "/"},
                                           PathCase{"/a/", "/a"}, PathCase{"/a//b/./c", "/a/b/c"},
                                           PathCase{"/a/../b", "/b"}, PathCase{"/..", "/"},
                                           PathCase{"a/b", ""}, PathCase{"", ""},
                                           PathCase{"/x\xff/", "/x\xff"}));

TEST_F(DriveListTest, CurrentDriveIsTheClosestRoot) {
    const QByteArray inner = tree.mkdir("outer/inner/deeper");
    setDriveListOverride(QList<DriveEntry>{{"/", "ext4"}, {tree.path("outer"), "xfs"}});
    IniFile ini = iniWith("[Folders]\nNumber=1\nFile1=" + tree.path("outer/inner") + "\n");
    const QList<DriveListEntry> entries = driveListEntries(ini);
    ASSERT_EQ(entries.size(), 3);
    ASSERT_EQ(::chdir(inner.constData()), 0);
    EXPECT_EQ(currentDriveIndex(entries), 2);
    ASSERT_EQ(::chdir(tree.path("outer").constData()), 0);
    EXPECT_EQ(currentDriveIndex(entries), 1);
    ASSERT_EQ(::chdir(tree.root().constData()), 0);
    EXPECT_EQ(currentDriveIndex(entries), 0);
    EXPECT_EQ(currentDriveIndex({}), -1);
}

}  // namespace
}  // namespace vantrel
