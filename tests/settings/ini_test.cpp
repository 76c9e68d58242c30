// The settings file: finding sections and keys without regard to case,
// keeping everything else byte for byte, surviving damaged and protected
// files, and the pattern lists stored as Number and File1..FileN.

#include "settings/IniFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <tuple>

namespace vantrel {
namespace {

QByteArray readBytes(const QByteArray& path) {
    QFile f(QFile::decodeName(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(IniDocument, LooksUpWithoutRegardToCaseAndSkipsWhatIsNoKey) {
    const IniDocument doc(
        "Orphan=before any section\n"
        "[TempFiles]\nNumber=3\nFILE1=*.tmp\n; Commented=1\n# Hashed=2\nno equals\n=no key\n"
        "[Broken\nAfter=5\n"
        "[vantrel]\nndelete = 12 \nSizeDelete=\"  quoted  \"\nk=1\nK=2\n"
        "[VANTREL]\nother=4\n");
    EXPECT_EQ(doc.value("tempfiles", "NUMBER"), QStringLiteral("3"));
    EXPECT_EQ(doc.value("Vantrel", "NDelete"), QStringLiteral("12"));
    EXPECT_EQ(doc.value("Vantrel", "SizeDelete"), QStringLiteral("  quoted  "));
    EXPECT_EQ(doc.value("Vantrel", "k"), QStringLiteral("1"));  // the first one wins
    EXPECT_EQ(doc.value("Vantrel", "other"), std::nullopt);     // in a second [vantrel]
    EXPECT_EQ(doc.value("Missing", "Number"), std::nullopt);
    EXPECT_EQ(doc.keys("TempFiles"), QStringList({"Number", "FILE1", "After"}));
}

TEST(IniDocument, ASetValueChangesOnlyItsOwnLine) {
    const std::tuple<QByteArray, const char*, const char*, QByteArray> rows[] = {
        {"; by hand\nstray\n\n[Other]\n  Indented = kept  \nLatin1=caf\xe9\njunk \x01\n\n"
         "[TempFiles]\nNumber = 2\nFile1=*.tmp\n\n[Last]\nx=y\n",
         "tempfiles", "number",
         "; by hand\nstray\n\n[Other]\n  Indented = kept  \nLatin1=caf\xe9\njunk \x01\n\n"
         "[TempFiles]\nNumber=7\nFile1=*.tmp\n\n[Last]\nx=y\n"},
        // New keys go after the section's last line, new sections at the end.
        {"[A]\na=1\n\n[B]\nb=1\n", "A", "a2", "[A]\na=1\na2=7\n\n[B]\nb=1\n"},
        {"[A]\na=1\n", "C", "c", "[A]\na=1\n\n[C]\nc=7\n"},
        {"", "S", "k", "[S]\nk=7\n"},
        {"[S]\r\nk=1\r\n\r\n[T]\r\nt=2\r\n", "S", "new",
         "[S]\r\nk=1\r\nnew=7\r\n\r\n[T]\r\nt=2\r\n"},
        {"[S]\r\nk=1\r\n", "U", "u", "[S]\r\nk=1\r\n\r\n[U]\r\nu=7\r\n"},
        {"[S]\r\na=1\nb=2\r\n[T]\nc=3", "S", "b", "[S]\r\na=1\nb=7\r\n[T]\nc=3"},
        {"\xEF\xBB\xBF[TempFiles]\nNumber=1\n", "TempFiles", "Number",
         "\xEF\xBB\xBF[TempFiles]\nNumber=7\n"}};
    for (const auto& [original, section, key, expected] : rows) {
        IniDocument doc(original);
        doc.setValue(section, key, "7");
        EXPECT_EQ(doc.serialize(), expected) << original.constData();
    }
}

TEST(IniDocument, LineBreaksInValuesCannotForgeKeysOrSections) {
    IniDocument doc;
    doc.setValue("S", "k", "a\n[Evil]\nNumber=5\r");
    doc.setValue("Two\nLines", "k", "v");
    EXPECT_FALSE(doc.hasSection("Evil"));
    EXPECT_EQ(doc.value("S", "k"), QStringLiteral("a [Evil] Number=5"));
    EXPECT_EQ(doc.value("Two Lines", "k"), QStringLiteral("v"));
}

TEST(ParseIniInteger, WholeDecimalNumbersOnly) {
    EXPECT_EQ(parseIniInteger(" 42 "), 42);
    EXPECT_EQ(parseIniInteger("-1"), -1);
    EXPECT_EQ(parseIniInteger("4294967296"), 4294967296LL);
    for (const char* text : {"", "12abc", "1.0", "0x10", "99999999999999999999"})
        EXPECT_EQ(parseIniInteger(QString::fromLatin1(text)), std::nullopt) << text;
}

class IniFileTest : public ::testing::Test {
protected:
    test::TempTree tree;
    QByteArray path() const { return tree.path("vantrel.ini"); }
    IniFile file() const { return IniFile(QFile::decodeName(path())); }
};

TEST_F(IniFileTest, MissingFileFolderOrNumberReadsTheDefault) {
    EXPECT_EQ(file().readString("Vantrel", "Ndelete", "n/a"), QStringLiteral("n/a"));
    EXPECT_EQ(file().readInteger("Vantrel", "Ndelete", -1), -1);
    EXPECT_FALSE(QFile::exists(QFile::decodeName(path())));
    tree.fileWith("vantrel.ini", "[Vantrel]\nNdelete=twelve\nNWaste=\nSizeWaste= 77 \n");
    EXPECT_EQ(file().readInteger("vantrel", "ndelete", -1), -1);
    EXPECT_EQ(file().readInteger("Vantrel", "NWaste", -1), -1);
    EXPECT_EQ(file().readInteger("Vantrel", "SizeWaste", -1), 77);
    // A folder in place of the file: defaults, and the write fails.
    IniFile folder(QFile::decodeName(tree.mkdir("folder.ini")));
    EXPECT_EQ(folder.readInteger("Vantrel", "Ndelete", -1), -1);
    EXPECT_FALSE(folder.writeInteger("Vantrel", "Ndelete", 2));
}

TEST_F(IniFileTest, WriteIsAtomicKeepsPermissionsAndIsSeenByTheNextRead) {
    IniFile f(QFile::decodeName(tree.path("new/folder/vantrel.ini")));
    const IniFile reader = f;
    ASSERT_TRUE(f.writeInteger("Vantrel", "DelDate", 45455));
    EXPECT_EQ(reader.readInteger("Vantrel", "DelDate", -1), 45455);
    ASSERT_TRUE(f.writeString("Vantrel", "Ndelete", "3"));
    EXPECT_EQ(reader.readInteger("Vantrel", "Ndelete", -1), 3);
    EXPECT_EQ(readBytes(tree.path("new/folder/vantrel.ini")),
              "[Vantrel]\nDelDate=45455\nNdelete=3\n");
    // No temporary file is left beside it; the lock file stays.
    EXPECT_EQ(
        QDir(QFile::decodeName(tree.path("new/folder"))).entryList(QDir::Files | QDir::Hidden),
        QStringList({"vantrel.ini", "vantrel.ini.lock"}));
    tree.chmod("new/folder/vantrel.ini", 0600);
    ASSERT_TRUE(f.writeString("S", "k", "2"));
    // The test made the file, so its user permissions are its owner's.
    EXPECT_EQ(QFile::permissions(f.path()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

TEST_F(IniFileTest, CorruptOrNotUtf8FileReadsDefaultsAndKeepsItsBytes) {
    // Binary bytes: NULs, bytes that are not UTF-8, stray brackets and signs.
    const QByteArray garbage = QByteArray("\0\xff\xfe[\x80=]\r\n=\x01[", 12).repeated(300);
    tree.fileWith("vantrel.ini", garbage);
    EXPECT_EQ(file().readInteger("Vantrel", "Ndelete", -1), -1);
    EXPECT_EQ(readPatternList(file(), "TempFiles", {"*.tmp"}), QStringList({"*.tmp"}));
    ASSERT_TRUE(file().writeInteger("Vantrel", "Ndelete", 5));
    EXPECT_TRUE(readBytes(path()).startsWith(garbage));
    EXPECT_EQ(file().readInteger("Vantrel", "Ndelete", -1), 5);

    const QByteArray latin1 = "[Folders]\nNumber=1\nFile1=/home/ren\xe9\n[Vantrel]\nNWaste=4\n";
    tree.fileWith("vantrel.ini", latin1);
    EXPECT_EQ(file().readInteger("Vantrel", "NWaste", -1), 4);
    ASSERT_TRUE(file().writeInteger("Vantrel", "NWaste", 5));
    EXPECT_EQ(readBytes(path()), QByteArray(latin1).replace("NWaste=4", "NWaste=5"));
}

TEST_F(IniFileTest, ProtectedFileIsNeverWiped) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    const QByteArray original = "[Vantrel]\nNdelete=1\n[Other]\nx=y\n";
    tree.fileWith("vantrel.ini", original);
    tree.chmod("vantrel.ini", 0444);  // read-only: read, but refuse the write
    EXPECT_EQ(file().readInteger("Vantrel", "Ndelete", -1), 1);
    IniFile f = file();
    EXPECT_FALSE(f.writeInteger("Vantrel", "Ndelete", 2));
    // Unreadable: defaults, and a write would lose the content it cannot read.
    tree.chmod("vantrel.ini", 0200);
    EXPECT_EQ(file().readInteger("Vantrel", "Ndelete", -1), -1);
    EXPECT_FALSE(f.writeInteger("Vantrel", "NWaste", 2));
    tree.chmod("vantrel.ini", 0644);
    EXPECT_EQ(readBytes(path()), original);
    IniFile locked(QFile::decodeName(tree.mkdir("locked") + "/vantrel.ini"));
    tree.chmod("locked", 0555);
    EXPECT_FALSE(locked.writeInteger("Vantrel", "Ndelete", 2));
    EXPECT_FALSE(QFile::exists(locked.path()));
}

TEST_F(IniFileTest, PatternListsRead) {
    const QStringList defaults = {"*.tmp", "*.fts", "*.bak", "*.$$$"};
    const std::pair<const char*, QStringList> rows[] = {
        {"[TempFiles]\nFile1=*.x\n", defaults},
        {"[TempFiles]\nNumber=-7\nFile1=*.x\n", defaults},
        {"[TempFiles]\nNumber=lots\nFile1=*.x\n", defaults},
        {"[TempFiles]\nNumber=0\nFile1=*.x\n", {}},
        {"[TempFiles]\nNumber=2\nFile1=*.a\nFile2=*.b\nFile3=*.c\n", {"*.a", "*.b"}},
        {"[TempFiles]\nNumber=2000000000\nFile1=*.a\nFile3=*.c\n", {"*.a", "*.c"}},
        {"[TempFiles]\nNumber=3\nFile3=*.c\nFile1=\nFile2=*.b\n", {"*.b", "*.c"}},
        {"[tempfiles]\nNUMBER=2\nfile1=*.a\nFILE2=*.b\n", {"*.a", "*.b"}},
        {"[TempFiles]\nNumber=2\nFile0=*.z\nFile01=*.z\nFile2=*.b\n", {"*.b"}}};
    for (const auto& [content, expected] : rows) {
        tree.fileWith("vantrel.ini", content);
        EXPECT_EQ(readPatternList(file(), "TempFiles", defaults), expected) << content;
    }
}

TEST_F(IniFileTest, PatternListsWrite) {
    tree.fileWith("vantrel.ini", "[Include]\nNumber=1\nFile1=*.doc\n");
    IniFile f = file();
    ASSERT_TRUE(writePatternList(f, "TempFiles", {}));
    EXPECT_EQ(f.readInteger("TempFiles", "Number", -1), 0);
    EXPECT_EQ(readPatternList(f, "TempFiles", {"*.tmp"}), QStringList());
    // Shrinking leaves the higher keys in the file, unread.
    ASSERT_TRUE(writePatternList(f, "TempFiles", {"*.1", "*.2", "*.3", "*.4", "*.5"}));
    ASSERT_TRUE(writePatternList(f, "TempFiles", {"*.a", "*.b"}));
    EXPECT_EQ(readBytes(path()),
              "[Include]\nNumber=1\nFile1=*.doc\n\n[TempFiles]\nNumber=2\nFile1=*.a\nFile2=*.b\n"
              "File3=*.3\nFile4=*.4\nFile5=*.5\n");
    EXPECT_EQ(readPatternList(f, "TempFiles", {}), QStringList({"*.a", "*.b"}));
}

// Two running copies of the program write to one settings file at once,
// each its own keys: the lock around every change keeps every key of both.
TEST_F(IniFileTest, TwoProcessesWritingAtOnceLoseNoKey) {
    constexpr int kKeys = 1000;
    tree.fileWith("vantrel.ini", "[Other]\nkept=yes\n");
    ASSERT_TRUE(test::inConcurrentProcesses(2, [&](int copy) {
        IniFile f = file();
        const QString section = copy == 0 ? QStringLiteral("A") : QStringLiteral("B");
        bool allWritten = true;
        for (int k = 0; k < kKeys; ++k)
            allWritten = f.writeInteger(section, QStringLiteral("k%1").arg(k), k) && allWritten;
        return allWritten;
    }));
    const IniDocument doc = file().read();
    EXPECT_EQ(doc.keys("A").size(), kKeys);
    EXPECT_EQ(doc.keys("B").size(), kKeys);
    EXPECT_EQ(doc.value("B", "k999"), QStringLiteral("999"));
    EXPECT_EQ(doc.value("Other", "kept"), QStringLiteral("yes"));
}

// A folder where the lock file cannot be made: the write fails at once and
// says so, the file stays as it was.
TEST_F(IniFileTest, NoLockNoWrite) {
    tree.fileWith("locked/vantrel.ini", "[Vantrel]\nNdelete=1\n");
    tree.chmod("locked", 0555);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    IniFile f(QFile::decodeName(tree.path("locked/vantrel.ini")));
    EXPECT_FALSE(f.writeInteger("Vantrel", "Ndelete", 2));
    EXPECT_FALSE(writePatternList(f, "TempFiles", {"*.tmp"}));
    EXPECT_EQ(f.readInteger("Vantrel", "Ndelete", -1), 1);
    EXPECT_FALSE(QFile::exists(f.lockPath()));
}

// Pattern entries read back exactly: blanks at either end, quotes; a file
// written before (no quotes) reads as it always did.
TEST_F(IniFileTest, PatternEntriesKeepTheirBlanksAndQuotes) {
    const QStringList entries = {"/data/trailing ", " leading", "  both  ", "\"quoted\"",
                                 "in \"the\" middle", "\t tab", "plain", "\""};
    IniFile f = file();
    ASSERT_TRUE(writePatternList(f, "Folders", entries));
    EXPECT_EQ(readPatternList(f, "Folders", {}), entries);
    EXPECT_TRUE(readBytes(path()).contains("\nFile1=\"/data/trailing \"\nFile2=\" leading\"\n"))
        << readBytes(path()).constData();
    EXPECT_TRUE(readBytes(path()).contains("\nFile7=plain\n"));
    tree.fileWith("vantrel.ini", "[Folders]\nNumber=2\nFile1= /old/one  \nFile2=\"/old/two\"\n");
    EXPECT_EQ(readPatternList(file(), "Folders", {}), QStringList({"/old/one", "/old/two"}));
}

}  // namespace
}  // namespace vantrel
