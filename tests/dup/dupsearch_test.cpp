#include "dup/DupSearch.h"

#include "results/GridLayout.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <vector>

namespace vantrel {
namespace {

FileRecord record(const QByteArray& name, qint64 size, qint64 mtime = 1'600'000'000) {
    FileRecord r;
    r.name = name;
    r.size = size;
    r.mode = 0100644;
    r.attr = attributesFor(r.mode, name.constData(), name.size());
    r.writeTime = FileTime{mtime, 0, true};
    r.accessTime = FileTime{mtime + 3600, 0, true};
    return r;
}

DupSearchOptions allSizes(bool duplicateMode, DupCriterion criterion = DupCriterion::FilenameOnly) {
    return {.duplicateMode = duplicateMode, .criterion = criterion, .limit1 = 0};
}

QList<QByteArray> paths(const std::vector<DupCandidate>& rows) {
    QList<QByteArray> out;
    for (const DupCandidate& c : rows)
        out.append(c.path);
    return out;
}

struct GroupCase {
    const char* what;
    DupCriterion criterion;
    // "folder/name:size" or "folder/name:size@minutes" (modified so many
    // minutes after a fixed moment), separated by blanks.
    const char* files;
    const char* expected;  // the rows' paths in row order, separated by blanks
    friend std::ostream& operator<<(std::ostream& os, const GroupCase& c) { return os << c.what; }
};

class Grouping : public ::testing::TestWithParam<GroupCase> {};

TEST_P(Grouping, RowsAreTheRunsOfEqualKeys) {
    DupSearch s(allSizes(true, GetParam().criterion));
    for (const QByteArray& f : QByteArray(GetParam().files).split(' ')) {
        const QList<QByteArray> sizeAt = f.mid(f.indexOf(':') + 1).split('@');
        const QByteArray path = f.left(f.indexOf(':'));
        const qint64 minutes = sizeAt.value(1, "0").toLongLong();
        EXPECT_EQ(s.addFile(record(path.mid(path.lastIndexOf('/') + 1), sizeAt[0].toLongLong(),
                                   1'600'000'000 + minutes * 60),
                            path.left(path.lastIndexOf('/'))),
                  DupSearch::Added::Kept);
    }
    const QByteArray expected(GetParam().expected);
    EXPECT_EQ(paths(s.finish()), expected.isEmpty() ? QList<QByteArray>() : expected.split(' '));
}

using C = DupCriterion;
INSTANTIATE_TEST_SUITE_P(
    Criteria, Grouping,
    ::testing::ValuesIn(std::vector<GroupCase>{
        // Lines sort by name, then by the size text: "100" < "200" < "300".
        {"filename only", C::FilenameOnly, "/c/a.txt:300 /a/a.txt:100 /a/b.txt:100 /b/a.txt:200",
         "/a/a.txt /b/a.txt /c/a.txt"},
        // Names match ignoring case; paths keep theirs.
        {"filename and size", C::FilenameAndSize,
         "/x/README.TXT:500 /y/readme.txt:500 /z/readme.txt:501", "/x/README.TXT /y/readme.txt"},
        // Joined without a separator both keys would read "A123".
        {"key fields stay apart", C::FilenameAndSize, "/d/a1:23 /d/a12:3", ""},
        {"filename, size and date", C::FilenameSizeAndDate,
         "/p/f.dat:70 /q/f.dat:70 /r/f.dat:70@1 /s/f.dat:71", "/p/f.dat /q/f.dat"},
        {"size only", C::SizeOnly, "/d/one:1024 /d/two:1024 /d/three:2048", "/d/one /d/two"},
        // The name stands between the key fields in the line: "b" must not
        // split the group of "a" and "c".
        {"size and date", C::SizeAndDate, "/d/a:100 /d/b:100@30 /d/c:100", "/d/a /d/c"},
        {"size and type", C::SizeAndType, "/d/a.qqa:100 /d/b.qqb:100 /d/c.qqa:100",
         "/d/a.qqa /d/c.qqa"},
        {"type and date", C::TypeAndDate, "/d/x.qqq:10 /e/y.qqq:20 /f/z.qqq:10@1",
         "/d/x.qqq /e/y.qqq"},
        // Case folds beyond ASCII as the sort folds it: the sort puts these
        // together, so the grouping must too.
        {"case beyond ASCII", C::FilenameOnly,
         "/a/\xC3\xA9t\xC3\xA9:1 /b/\xC3\x89T\xC3\x89:2 /c/\xC3\x89t\xC3\xA9:3 /d/ete:4",
         "/a/\xC3\xA9t\xC3\xA9 /b/\xC3\x89T\xC3\x89 /c/\xC3\x89t\xC3\xA9"},
        {"case beyond ASCII with size", C::FilenameAndSize,
         "/a/\xCE\xA3\xCE\xBF.txt:5 /b/\xCF\x83\xCE\x9F.TXT:5 /c/\xCF\x83\xCE\xBF.txt:6",
         "/a/\xCE\xA3\xCE\xBF.txt /b/\xCF\x83\xCE\x9F.TXT"},
        // Names that are not UTF-8 show alike ("x\uFFFD") but are different
        // names; ASCII case variants of one of them still match.
        {"names that are not UTF-8", C::FilenameOnly, "/a/x\xFF:1 /b/x\xFE:2 /c/x\xC3:3", ""},
        {"case of a name that is not UTF-8", C::FilenameAndSize,
         "/a/X\xFF.DAT:7 /b/x\xFE.dat:7 /c/x\xFF.dat:7", "/a/X\xFF.DAT /c/x\xFF.dat"}}));

// Modification dates compare as times, not as two-digit-year texts: June 1st
// of 2001 and of 2101 read "6/1/01" alike, and two dates before 1980 have no
// text at all.
class DateGrouping : public ::testing::TestWithParam<DupCriterion> {};

TEST_P(DateGrouping, TimesNotTheirTexts) {
    auto at = [](int year, int month) {
        return QDateTime(QDate(year, month, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    };
    DupSearch s(allSizes(true, GetParam()));
    const struct {
        const char* folder;
        qint64 time;
    } files[] = {{"/a", at(2001, 6)},
                 {"/b", at(2101, 6)},
                 {"/c", at(1975, 1)},
                 {"/d", at(1975, 2)},
                 {"/e", at(2001, 6)}};
    for (const auto& f : files)
        ASSERT_EQ(s.addFile(record("same.qqq", 100, f.time), f.folder), DupSearch::Added::Kept);
    FileRecord unrecorded = record("same.qqq", 100, at(2001, 6));
    unrecorded.writeTime.recorded = false;
    ASSERT_EQ(s.addFile(unrecorded, "/f"), DupSearch::Added::Kept);
    EXPECT_EQ(paths(s.finish()), (QList<QByteArray>{"/a/same.qqq", "/e/same.qqq"}));
}

INSTANTIATE_TEST_SUITE_P(Criteria, DateGrouping,
                         ::testing::Values(C::FilenameSizeAndDate, C::SizeAndDate, C::TypeAndDate));

TEST(DupSearch, ExactNameTexts) {
    // "~XX" stands for the lone surrogate U+DCXX (not writable as a literal).
    auto text = [](const char16_t* s) {
        QString out;
        for (; *s; ++s) {
            if (*s == u'~') {
                out += QChar(char16_t(0xDC00 + QStringView(s + 1, 2).toUShort(nullptr, 16)));
                s += 2;
            } else {
                out += QChar(*s);
            }
        }
        return out;
    };
    const std::pair<QByteArray, const char16_t*> cases[] = {
        {"plain.txt", u"plain.txt"},
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        {"x\xFFy", u"x~FFy"},
        {"a\tb\n", u"a~09b~0A"},
        {"\xE2\x82", u"~E2~82"},               // a sequence cut short
        {"\xED\xA0\x80", u"~ED~A0~80"},        // an encoded surrogate
        {"\xC0\xAF", u"~C0~AF"},               // an overlong "/"
        {"\xF0\x9F\x98\x80", u"\U0001F600"}};  // a surrogate pair, kept whole
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(exactNameText(bytes), text(expected)) << bytes.toHex().constData();
    EXPECT_EQ(exactNameText("caf\xC3\xA9.txt"), lineFieldText("caf\xC3\xA9.txt"));
}

// Tabs and line breaks in a name would split the line into more fields.
TEST(DupSearch, NamesWithControlCharactersKeepTheirFieldsAndBytes) {
    DupSearch s(allSizes(true));
    const QByteArray odd("a\tb\nc\xff");
    s.addFile(record(odd, 10), "/p");
    s.addFile(record(odd, 10), "/q");
    const auto rows = s.finish();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].path, QByteArray("/p/") + odd);
    EXPECT_EQ(rows[0].line.split(QLatin1Char('\t')).size(), 7);
}

// The candidate list's order is Qt's case-insensitive order, also where the
// fast path for ASCII meets letters that fold to ASCII (the Kelvin sign, the
// long s), accents and surrogate pairs.
TEST(DupSearch, CompareIgnoringCaseAgreesWithQt) {
    QStringList texts = QString::fromUtf8(
                            "a A ab abc ABD abc\tz a_b a[b k K1 \u212A a\u212Ab akb \u017Ft st "
                            "\u00E9t\u00E9 \u00C9T\u00C9 \U00010400x \U00010428X \U0001F600 "
                            "\uE000 a\uFFFD z")
                            .split(QLatin1Char(' '));
    texts.append(QString());
    for (const QString& a : texts) {
        for (const QString& b : texts) {
            const int qt = QString::compare(a, b, Qt::CaseInsensitive);
            EXPECT_EQ(compareIgnoringCase(a, b), qt < 0 ? -1 : (qt > 0 ? 1 : 0))
                << a.toStdString() << " / " << b.toStdString();
        }
    }
}

// Thousands of distinct dates make the text caches grow while a line takes
// several texts from them; every line must still carry its own dates.
TEST(DupSearch, DateTextsStayRightWhileTheirCachesGrow) {
    DupSearch s(allSizes(false));
    const qint64 day = 86400;
    const qint64 base = 400'000'000;  // 1982
    for (int i = 0; i < 4000; ++i) {
        FileRecord r = record(QByteArray::number(i), i);
        r.writeTime = FileTime{base + i * day + i * 7, 0, true};
        r.accessTime = FileTime{base + (i + 9000) * day, 0, true};
        ASSERT_EQ(s.addFile(r, "/d"), DupSearch::Added::Kept);
    }
    for (const DupCandidate& c : s.finish()) {
        const QStringList f = c.line.split(QLatin1Char('\t'));
        ASSERT_EQ(f.size(), 6);
        EXPECT_EQ(f[1], fileDateText(c.modified));
        EXPECT_EQ(f[2], fileTimeText(c.modified));
        EXPECT_EQ(f[3], fileDateText(c.accessed));
    }
}

// The grid sorts by the values handed over with the rows: sizes beyond 32
// bits by number, and dates whose two-digit year text alone would put 2084
// before 1985.
TEST(DupRows, SortValuesTravelWithTheRows) {
    DupSearch s(allSizes(false));
    const qint64 y1985 = QDateTime(QDate(1985, 6, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    const qint64 y2084 = QDateTime(QDate(2084, 6, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    s.addFile(record("huge", 5LL << 30, y1985), "/d");
    s.addFile(record("mid", 1024, y2084), "/d");
    s.addFile(record("small", 999, y1985), "/d");

    ResultGridModel model(fileHogsLayout());
    SortDirections directions(fileHogsLayout());
    model.setSortDirections(&directions);
    addDupRows(model, s.finish(), false);
    ASSERT_EQ(model.rowCounter(), 3);
    directions.set(0, true);
    model.sortByKey(0);  // size, descending
    EXPECT_EQ(model.pathAt(1), QByteArray("/d/huge"));
    EXPECT_EQ(model.pathAt(2), QByteArray("/d/mid"));
    EXPECT_EQ(model.pathAt(3), QByteArray("/d/small"));
    directions.set(1, false);
    model.sortByKey(1);  // modified, ascending
    EXPECT_EQ(model.pathAt(3), QByteArray("/d/mid"));
}

}  // namespace
}  // namespace vantrel
