// Engine tests of quick clean: the stored pattern list, the extension key and
// match (not a wildcard), and the search's walk and rows on a real tree.
#include "clean/CleanSearch.h"
#include "clean/TempFileList.h"
#include "clean/TempFileMatcher.h"
#include "scan/TypeLists.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QByteArrayList>
#include <QFile>

#include <sys/stat.h>

#include <tuple>

namespace vantrel {
namespace {

QStringList patternsOf(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        out.append(patternOfLine(l));
    return out;
}

QStringList linesOf(const QStringList& patterns) {
    QStringList out;
    for (const QString& p : patterns)
        out.append(typeLine(p));
    return out;
}

class TempFileListTest : public ::testing::Test {
protected:
    IniFile ini() const { return IniFile(QFile::decodeName(tree.path("vantrel.ini"))); }
    test::TempTree tree;
};

TEST_F(TempFileListTest, FirstStartGivesTheFourLoadDefaultsAndStoresThem) {
    const QStringList lines = ReadInFromDisk(ini());
    EXPECT_EQ(patternsOf(lines), (QStringList{"*.tmp", "*.fts", "*.bak", "*.$$$"}));
    for (const QString& line : lines)
        EXPECT_FALSE(line.section('\t', 1).isEmpty()) << qPrintable(line);
    IniFile file = ini();
    ASSERT_TRUE(WriteOutToDisk(lines, file));
    EXPECT_EQ(file.readInteger(kTempFilesSection, "Number", -1), 4);
    EXPECT_EQ(file.readString(kTempFilesSection, "File4"), QStringLiteral("*.$$$"));
    EXPECT_EQ(tempFileButtonDefaults(),
              (QStringList{"*.tmp", "*.temp", "*.fts", "*.bak", "*.old", "*.$$$"}));
}

// An empty list stays empty; a shrunk list leaves its old keys unread; an
// empty key is skipped without a gap; a list of 200 lines comes back whole.
TEST_F(TempFileListTest, StoredListsReadBackAsWritten) {
    IniFile file = ini();
    ASSERT_TRUE(WriteOutToDisk({}, file));
    EXPECT_TRUE(ReadInFromDisk(file).isEmpty());

    ASSERT_TRUE(WriteOutToDisk(linesOf({"*.a", "*.b", "*.c", "*.d", "*.e"}), file));
    ASSERT_TRUE(WriteOutToDisk(linesOf({"*.x", "*.y"}), file));
    EXPECT_EQ(patternsOf(ReadInFromDisk(file)), (QStringList{"*.x", "*.y"}));
    EXPECT_EQ(file.readString(kTempFilesSection, "File5"), QStringLiteral("*.e"));

    tree.fileWith("vantrel.ini", "[TempFiles]\nNumber=3\nFile1=*.one\nFile2=\nFile3=*.three\n");
    EXPECT_EQ(patternsOf(ReadInFromDisk(file)), (QStringList{"*.one", "*.three"}));

    QStringList many;
    for (int i = 0; i < 200; ++i)
        many.append(QStringLiteral("*.e%1").arg(i));
    ASSERT_TRUE(WriteOutToDisk(linesOf(many), file));
    EXPECT_EQ(file.readInteger(kTempFilesSection, "Number", -1), 200);
    EXPECT_EQ(patternsOf(ReadInFromDisk(file)), many);
}

TEST_F(TempFileListTest, AReadOnlyFileIsRefusedAndKept) {
    const QByteArray original = "[TempFiles]\nNumber=1\nFile1=*.tmp\n[Vantrel]\nNdelete=3\n";
    tree.fileWith("vantrel.ini", original);
    tree.chmod("vantrel.ini", 0444);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    IniFile file = ini();
    EXPECT_FALSE(WriteOutToDisk(linesOf({"*.bak"}), file));
    QFile f(file.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), original);
}

TEST(ExtensionKey, FromTheSecondCharacterToTheFirstTabInLowerCase) {
    const QList<std::tuple<QString, QByteArray, bool>> rows = {
        {"*.tmp\tTemporary file", ".tmp", true},
        {"*.$$$\tUnknown", ".$$$", true},
        {"*.BaK", ".bak", true},
        {"x.old", ".old", true},  // the first character goes, whatever it is
        {"*.", ".", true},        // names ending in a point
        {"*\tAll", "", false},    // the empty key: would match every name without a point
        {"*", "", false},
        {"", "", false},
        {"*.tar.gz", ".tar.gz", false},  // no name has this extension: it is ".gz"
        {"**", "*", false},
        {"*.\xc3\x9cML", ".\xc3\x9cml", true},  // only ASCII is folded
    };
    for (const auto& [line, key, canMatch] : rows) {
        EXPECT_EQ(extensionKey(line), key) << qPrintable(line);
        EXPECT_EQ(keyCanMatch(key), canMatch) << qPrintable(line);
    }
    EXPECT_EQ(patternsThatCannotMatch(linesOf({"*.tmp", "*", "*.tar.gz", "*.bak"})),
              (QStringList{"*", "*.tar.gz"}));
}

TEST(ExtensionMatch, ByTheLastExtensionIgnoringAsciiCase) {
    const QStringList selected = linesOf({"*.tmp", "*.bak", "*.$$$", "*.gz", "*.", "*"});
    const TempFileMatcher matcher(selected);
    const QList<std::pair<QByteArray, bool>> rows = {
        {"a.TMP", true},
        {"Backup.BAK", true},
        {"x.$$$", true},
        {"c.old", false},           // not selected
        {"report.tmp.txt", false},  // not a wildcard: the extension is ".txt"
        {"archive.tar.gz", true},   // tested with ".gz"
        {"README", false},          // "*" is left out: no point, no match
        {"Makefile", false},
        {"file.", true},
        {".tmp", true},  // a hidden file whose whole name is the extension
        {".bashrc", false},
        {"caf\xe9.tmp", true},  // not UTF-8
        {"\xff\xfe.BAK", true},
        {"x.tm", false},
        {"x.tmpp", false},
        {"", false},
    };
    for (const auto& [name, expected] : rows)
        EXPECT_EQ(matcher.isThisFileTemporary(name), expected) << name.constData();
    EXPECT_EQ(matcher.keys().size(), 5u);

    EXPECT_FALSE(TempFileMatcher().isThisFileTemporary("a.tmp"));
    EXPECT_TRUE(TempFileMatcher(linesOf({"*"})).isEmpty());
    // Non-ASCII letters are compared exactly.
    EXPECT_FALSE(TempFileMatcher(linesOf({"*.\xc3\xbc"})).isThisFileTemporary("x.\xc3\x9c"));
}

TEST(ExtensionMatch, AListOf200Lines) {
    QStringList patterns;
    for (int i = 0; i < 200; ++i)
        patterns.append(QStringLiteral("*.e%1").arg(i));
    const TempFileMatcher matcher(linesOf(patterns));
    EXPECT_EQ(matcher.keys().size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_TRUE(matcher.isThisFileTemporary("x.E" + QByteArray::number(i))) << i;
    EXPECT_FALSE(matcher.isThisFileTemporary("x.e200"));
    EXPECT_FALSE(matcher.isThisFileTemporary("x.e"));
}

// Collects the search's rows as the window does.
class RowCollector : public WalkVisitor {
public:
    explicit RowCollector(CleanSearch& search) : m_search(search) {}
    void entry(const QByteArray& folder, const FileRecord& record) override {
        rows.append(m_search.rowFor(folder, record));
    }
    QList<GridRow> rows;

private:
    CleanSearch& m_search;
};

// Hidden folders are not entered, hidden files are seen; folders, links and
// fifos named like temporary files are not listed; names that are not UTF-8
// keep their bytes; rows come in walk order.
TEST(CleanSearchWalk, WhatIsListedAndItsRows) {
    TextLocale::set(QLocale(QLocale::English, QLocale::UnitedStates));
    test::TempTree tree;
    tree.file("a.TMP", 1234567);
    tree.file("report.tmp.txt", 1);
    tree.file(".hidden.tmp", 2);
    tree.file(".cache/kept.tmp", 3);
    tree.file("sub/caf\xe9.bak", 4);
    tree.file("sub/deeper/x.bak", 5);
    tree.file("line\nbreak.tmp", 6);
    tree.file("folder.tmp/inside.txt", 7);
    tree.file("c.old", 8);
    tree.fifo("pipe.tmp");
    tree.symlink("link.tmp", "a.TMP");
    tree.setTimes("a.TMP", QDateTime(QDate(2021, 3, 4), QTime(5, 6, 8), Qt::UTC),
                  QDateTime(QDate(2022, 1, 2), QTime(0, 0), Qt::UTC));

    CleanSearch search(linesOf({"*.tmp", "*.bak"}));
    RowCollector rows(search);
    ScanControl control;
    Walker walker(search.walkOptions(), rows, control);
    ASSERT_TRUE(walker.walk(tree.root()));
    QByteArrayList paths;
    for (const GridRow& row : rows.rows)
        paths.append(row.path);
    EXPECT_EQ(paths, (QByteArrayList{tree.path("sub/deeper/x.bak"), tree.path("sub/caf\xe9.bak"),
                                     tree.path(".hidden.tmp"), tree.path("a.TMP"),
                                     tree.path("line\nbreak.tmp")}));
    EXPECT_TRUE(walker.report().errors.isEmpty());

    const GridRow& a = rows.rows[3];
    EXPECT_EQ(a.cells.size(), 6);
    EXPECT_EQ(a.cells[0], QStringLiteral("1,234,567"));
    EXPECT_EQ(a.cells[1], fileDateText(packUnixTime(1614834368)));
    EXPECT_EQ(a.cells[2], fileTimeText(packUnixTime(1614834368)));
    EXPECT_EQ(a.cells[3], fileDateText(packUnixTime(1641081600)));
    EXPECT_EQ(a.cells[4], QFile::decodeName(tree.path("a.TMP")));
    EXPECT_EQ(a.cells[5], fileTypeDescription(QStringLiteral(".TMP")));
    EXPECT_EQ(a.values.size(), 3);
    EXPECT_EQ(a.values[0].value, 1234567.0);

    // The name that is not UTF-8 is shown with a replacement character; a
    // line break in a name shows as one too, so that no copied line breaks.
    EXPECT_TRUE(rows.rows[1].cells[4].endsWith(QStringLiteral("caf\uFFFD.bak")));
    EXPECT_TRUE(rows.rows[4].cells[4].endsWith(QStringLiteral("line\uFFFDbreak.tmp")));
}

}  // namespace
}  // namespace vantrel
