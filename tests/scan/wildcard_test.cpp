// Engine tests of file-name wildcards, as rows of pattern, name and answer.
#include "scan/Wildcard.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct WildcardRow {
    const char* pattern;
    QByteArray name;
    bool matches;
};

void PrintTo(const WildcardRow& row, std::ostream* os) {
    *os << '"' << row.pattern << "\" vs \"" << row.name.toStdString() << '"';
}

class WildcardMatch : public ::testing::TestWithParam<WildcardRow> {};

TEST_P(WildcardMatch, AnswersAsTheRowSays) {
    const WildcardRow& row = GetParam();
    EXPECT_EQ(Wildcard(row.pattern).matches(row.name), row.matches);
}

INSTANTIATE_TEST_SUITE_P(
    EveryName, WildcardMatch,
    ::testing::Values(WildcardRow{"*.*", "report.txt", true},
                      WildcardRow{"*.*", "Makefile", true},  // no dot, still every name
                      WildcardRow{"*.*", ".bashrc", true}, WildcardRow{"*.*", "a.b.c", true},
                      WildcardRow{"*", "Makefile", true}, WildcardRow{"*.*", "caf\xe9", true}));

INSTANTIATE_TEST_SUITE_P(
    StarAndQuestionMark, WildcardMatch,
    ::testing::Values(
        WildcardRow{"*.txt", "notes.txt", true}, WildcardRow{"*.txt", "notes.txt.bak", false},
        WildcardRow{"*.txt", "archive.2020.txt", true}, WildcardRow{"*.txt", "txt", false},
        WildcardRow{"*.txt", ".txt", true}, WildcardRow{"a*b*c", "axxbyyc", true},
        WildcardRow{"a*b*c", "axxbyy", false}, WildcardRow{"a*b*c", "abcbc", true},
        WildcardRow{"*a*a*a*", "aaaa", true}, WildcardRow{"*a*a*a*", "aabba", true},
        WildcardRow{"*a*a*a*", "abba", false}, WildcardRow{"?.c", "x.c", true},
        WildcardRow{"?.c", "xy.c", false}, WildcardRow{"?.c", ".c", false},
        WildcardRow{"img_????.jpg", "IMG_0042.JPG", true},
        WildcardRow{"img_????.jpg", "IMG_42.JPG", false}, WildcardRow{"**.log", "a.log", true}));

INSTANTIATE_TEST_SUITE_P(
    Case, WildcardMatch,
    ::testing::Values(WildcardRow{"*.TXT", "notes.txt", true},
                      WildcardRow{"*.txt", "NOTES.TXT", true},
                      WildcardRow{"README", "readme", true},
                      // Case folding is ASCII only; other bytes compare exactly.
                      WildcardRow{"\xc3\xa9t\xc3\xa9.*", "\xc3\xa9t\xc3\xa9.doc", true},
                      WildcardRow{"\xc3\xa9t\xc3\xa9.*", "\xc3\x89t\xc3\x89.doc", false},
                      WildcardRow{"caf\xe9.txt", "CAF\xe9.TXT", true}));

INSTANTIATE_TEST_SUITE_P(NameDotStar, WildcardMatch,
                         ::testing::Values(WildcardRow{"readme.*", "readme", true},
                                           WildcardRow{"readme.*", "README.txt", true},
                                           WildcardRow{"readme.*", "readme.tar.gz", true},
                                           WildcardRow{"readme.*", "readme2", false},
                                           WildcardRow{"readme.*", "readmetxt", false},
                                           WildcardRow{"*.", "Makefile", true},
                                           WildcardRow{"*.", "notes.txt", false},
                                           WildcardRow{"readme.", "readme", true}));

INSTANTIATE_TEST_SUITE_P(SeveralPatterns, WildcardMatch,
                         ::testing::Values(WildcardRow{"*.doc;*.txt", "a.txt", true},
                                           WildcardRow{"*.doc;*.txt", "a.doc", true},
                                           WildcardRow{"*.doc;*.txt", "a.xls", false},
                                           WildcardRow{" *.doc ; *.txt ", "a.txt", true},
                                           WildcardRow{"*.doc;;", "a.doc", true},
                                           WildcardRow{"", "a.doc", false},
                                           WildcardRow{" ; ", "a.doc", false},
                                           WildcardRow{"a/b", "a/b", false}));

TEST(Wildcard, DefaultAndStarPatternsMatchEverythingWithoutTesting) {
    EXPECT_TRUE(Wildcard().matchesEverything());
    EXPECT_TRUE(Wildcard("*.*").matchesEverything());
    EXPECT_TRUE(Wildcard("*.txt;*").matchesEverything());
    EXPECT_FALSE(Wildcard("*.txt").matchesEverything());
    EXPECT_FALSE(Wildcard("").matchesEverything());
}

TEST(Wildcard, KeepsThePatternsTrimmedAndLowered) {
    EXPECT_EQ(Wildcard(" *.DOC ;*.Txt").patterns(), (QList<QByteArray>{"*.doc", "*.txt"}));
}

TEST(Wildcard, SinglePatternMatchDoesNotSplit) {
    EXPECT_TRUE(Wildcard::matchPattern("*.TXT", "a.txt"));
    EXPECT_FALSE(Wildcard::matchPattern("*.doc;*.txt", "a.txt"));
}

}  // namespace
}  // namespace vantrel
