// Engine tests of drive and file-type selection: the stored type lists, the
// picker's pattern rules, the extension catalogue and the drive list with
// the user's folders.
#include "platform/MimeTypes.h"
#include "scan/DriveList.h"
#include "scan/Extensions.h"
#include "scan/TypeLists.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace vantrel {
namespace {

QStringList patternsOf(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines)
        out.append(patternOfLine(line));
    return out;
}

const QStringList kDefaults{"*.doc", "*.exe", "*.dll"};

TEST(TypeListFile, DefaultsClearedListAndPatternsOnlyInListOrder) {
    test::TempTree tree;
    IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
    const QStringList fresh = ReadStatFilesFromDisk(ini, kIncludeSection);
    EXPECT_EQ(patternsOf(fresh), kDefaults);
    EXPECT_EQ(fresh.first(), "*.doc\t" + fileTypeDescription(".doc"));
    EXPECT_FALSE(QFile::exists(ini.path())) << "reading must not create the file";

    ASSERT_TRUE(WriteStatFilesToDisk({}, ini, kIncludeSection));
    EXPECT_EQ(ini.readInteger(kIncludeSection, "Number", -1), 0);
    EXPECT_TRUE(ReadStatFilesFromDisk(ini, kIncludeSection).isEmpty());

    QStringList five;
    for (const char* p : {"*.e", "*.b", "*.c", "*.d", "*.a"})
        five.append(typeLine(p));
    ASSERT_TRUE(WriteStatFilesToDisk(five, ini, kExcludeSection));
    ASSERT_TRUE(WriteStatFilesToDisk(five.mid(3), ini, kExcludeSection));
    QFile file(ini.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("[Exclude]\nNumber=2\nFile1=*.d\nFile2=*.a\n")) << content.data();
    EXPECT_FALSE(content.contains('\t'));
    EXPECT_EQ(ini.readString(kExcludeSection, "File5"), "*.a");  // left, but no longer read
    EXPECT_EQ(ReadStatFilesFromDisk(ini, kExcludeSection), five.mid(3));
    EXPECT_TRUE(ReadStatFilesFromDisk(ini, kIncludeSection).isEmpty());

    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    tree.chmod("vantrel.ini", 0444);
    tree.chmod("", 0555);
    EXPECT_FALSE(WriteStatFilesToDisk({typeLine("*.b")}, ini, kExcludeSection));
    EXPECT_EQ(ReadStatFilesFromDisk(ini, kExcludeSection), five.mid(3));
}

// A settings file written by hand (or damaged) reads safely.
TEST(TypeListFile, DamagedSectionsReadWhatTheKeysHold) {
    const QList<std::pair<QByteArray, QStringList>> rows = {
        {"Number=abc\nFile1=*.txt\n", kDefaults},
        {"Number=-4\nFile1=*.txt\n", kDefaults},
        {"Number=99999999999999999999999\nFile1=*.t\n", kDefaults},
        {"Number=2000000000\nFile1=*.a\nFile2=*.b\n", {"*.a", "*.b"}},
        {"Number=1\nFile1=*.a\nFile2=*.b\n", {"*.a"}},
        {"Number=3\nFile1=*.a\nFile2=\nFile3=*.c\n", {"*.a", "*.c"}},
        {"Number=2\nFile01=*.x\nFile2=*.b\n", {"*.b"}},
        {"Number=0\nFile1=*.a\n", {}}};
    for (const auto& [body, patterns] : rows) {
        test::TempTree tree;
        const IniFile ini(QFile::decodeName(tree.fileWith("vantrel.ini", "[Include]\n" + body)));
        EXPECT_EQ(patternsOf(ReadStatFilesFromDisk(ini, kIncludeSection)), patterns) << body.data();
    }
}

// What the picker hands back for typed text: a pattern, or nothing to add.
TEST(PickerText, BecomesAPatternWithItsDescription) {
    const QList<std::pair<QString, QString>> rows = {
        {" txt ", "*.txt"}, {".txt", "*.txt"}, {"*.txt", "*.txt"}, {"*.*", ""},
        {".*", ""},         {"*", ""},         {"   ", ""},        {"a*", "a*"},
        {"a.b", "*a.b"},    {".", "*."},       {"$$$", "*.$$$"}};
    for (const auto& [typed, expected] : rows) {
        const ExtensionPick pick = ExtensionPick::fromTypedText(typed);
        EXPECT_EQ(pick.pattern, expected) << typed.toStdString();
        EXPECT_EQ(pick.linesToAdd(),
                  expected.isEmpty() ? QStringList() : QStringList{typeLine(expected)});
    }
    EXPECT_EQ(patternDescription("*.tar.qqq"), "QQQ File");
    EXPECT_EQ(patternDescription("*."), "No extension");
    EXPECT_EQ(wildcardDescription("*.*"), "All files");
    EXPECT_NE(wildcardDescription("*.txt"), "TXT File") << "text files should be known";
}

TEST(Catalogue, ShortStarDotPatternsSortedWithoutRegardToCase) {
    const QStringList list = registryExtensions(false);
    if (list.isEmpty())
        GTEST_SKIP() << "the MIME database lists no extensions here";
    EXPECT_TRUE(list.contains("*.txt"));
    EXPECT_FALSE(list.contains("*.class", Qt::CaseInsensitive));  // longer than 5
    for (qsizetype i = 1; i < list.size(); ++i) {
        EXPECT_TRUE(list[i].startsWith("*.") && list[i].size() <= 6) << list[i].toStdString();
        EXPECT_LT(QString::compare(list[i - 1], list[i], Qt::CaseInsensitive), 0);
    }
    EXPECT_EQ(registryExtensions(true), QStringList{"*.*"} + list);
}

class DriveListTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDriveListOverride(QList<DriveEntry>{{"/", "ext4"}, {"/home", "ext4"}});
    }
    void TearDown() override {
        setDriveListOverride(std::nullopt);
        EXPECT_TRUE(QDir::setCurrent(m_cwd));
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
    const QString m_cwd = QDir::currentPath();
};

TEST_F(DriveListTest, StoredFoldersFollowTheSystemDrivesOnceInOneSpelling) {
    const QList<DriveListEntry> entries = driveListEntries(
        iniWith("[Folders]\nNumber=7\nFile1=/data/x/\nFile2=/home\nFile3=relative/path\n"
                "File4=/data//x\nFile5=/srv/./pub\nFile6=\nFile7=/a/../b\nFile8=/beyond\n"));
    EXPECT_EQ(roots(entries), (QList<QByteArray>{"/", "/home", "/data/x", "/srv/pub", "/b"}));
    EXPECT_TRUE(!entries[1].userAdded && entries[2].userAdded);
    EXPECT_EQ(entries[2].drive.text(), "/data/x  [folder]");
    for (const QByteArray body : {"Number=junk\nFile1=/a\n", "Number=-1\nFile1=/a\n"})
        EXPECT_EQ(driveListEntries(iniWith("[Folders]\n" + body)).size(), 2) << body.constData();
}

// The window tests add and remove folders; here the names that cannot be stored.
TEST_F(DriveListTest, FolderNamesThatCannotBeStoredAreRefused) {
    IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
    EXPECT_EQ(addFolder(ini, "relative"), AddFolderResult::NotAFolder);
    const QByteArray odd = tree.mkdir("bad\xff\xfe name");
    EXPECT_EQ(addFolder(ini, odd), AddFolderResult::NameNotStorable);
    ::rmdir(odd.constData());  // the temporary folder's cleanup cannot spell this name
    EXPECT_FALSE(QFile::exists(ini.path()));
}

// A name that ends in a blank is kept as it is (once it was stored
// trimmed, which named another folder); a line break cannot be kept in a
// line of the file and is refused, anywhere in the path.
TEST_F(DriveListTest, FolderNamesWithBlankEndsAreKeptLineBreaksRefused) {
    IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
    setDriveListOverride(QList<DriveEntry>{{"/", "ext4"}});
    for (const QByteArray name : {"two\nlines", "carriage\rreturn", "line\nbreak/below"})
        EXPECT_EQ(addFolder(ini, tree.mkdir(name)), AddFolderResult::NameHasLineBreak) << name.constData();
    EXPECT_EQ(storedFolders(ini), QList<DriveEntry>{});
    const QByteArray blank = tree.mkdir("ends in a blank ");
    const QByteArray blanks = tree.mkdir("two blanks  /inside ");
    tree.mkdir("ends in a blank");  // the folder the trimmed name would be
    EXPECT_EQ(addFolder(ini, blank), AddFolderResult::Added);
    EXPECT_EQ(addFolder(ini, blanks), AddFolderResult::Added);
    EXPECT_EQ(addFolder(ini, blank), AddFolderResult::AlreadyListed);
    EXPECT_EQ(storedFolders(ini), (QList<DriveEntry>{{blank, "folder"}, {blanks, "folder"}}));
    EXPECT_EQ(roots(driveListEntries(ini)), (QList<QByteArray>{"/", blank, blanks}));
    EXPECT_TRUE(removeFolder(ini, blank));
    EXPECT_FALSE(removeFolder(ini, blank));
    EXPECT_EQ(storedFolders(ini), (QList<DriveEntry>{{blanks, "folder"}}));
}

TEST_F(DriveListTest, CurrentDriveIsTheClosestRoot) {
    const QByteArray inner = tree.mkdir("outer/inner/deeper");
    setDriveListOverride(QList<DriveEntry>{{"/", "ext4"}, {tree.path("outer"), "xfs"}});
    const QList<DriveListEntry> entries =
        driveListEntries(iniWith("[Folders]\nNumber=1\nFile1=" + tree.path("outer/inner") + "\n"));
    ASSERT_EQ(entries.size(), 3);
    ASSERT_EQ(::chdir(inner.constData()), 0);
    EXPECT_EQ(currentDriveIndex(entries), 2);
    ASSERT_EQ(::chdir(tree.path("outer").constData()), 0);
    EXPECT_EQ(currentDriveIndex(entries), 1);
    EXPECT_EQ(currentDriveIndex({}), -1);
}

}  // namespace
}  // namespace vantrel
