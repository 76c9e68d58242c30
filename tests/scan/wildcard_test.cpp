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
    Rows, WildcardMatch,
    ::testing::Values(
        // "*.*" is every name, with or without a dot.
        WildcardRow{"*.*", "Makefile", true}, WildcardRow{"*.*", ".bashrc", true},
        WildcardRow{"*.txt", "archive.2020.txt", true},
        WildcardRow{"*.txt", "notes.txt.bak", false}, WildcardRow{"*.txt", "txt", false},
        WildcardRow{"a*b*c", "abcbc", true}, WildcardRow{"*a*a*a*", "abba", false},
        WildcardRow{"?.c", "x.c", true}, WildcardRow{"?.c", ".c", false},
        // Case folding is ASCII only; other bytes compare exactly.
        WildcardRow{"img_????.jpg", "IMG_0042.JPG", true},
        WildcardRow{"\xc3\xa9t\xc3\xa9.*", "\xc3\x89t\xc3\x89.doc", false},
        WildcardRow{"caf\xe9.txt", "CAF\xe9.TXT", true},
        // "name.*" also matches the bare name, "*." only names without a dot.
        WildcardRow{"readme.*", "readme", true}, WildcardRow{"readme.*", "readme2", false},
        WildcardRow{"*.", "Makefile", true}, WildcardRow{"*.", "notes.txt", false},
        // Several patterns split at ";", blanks trimmed, empty ones ignored.
        WildcardRow{" *.doc ; *.txt ", "a.txt", true}, WildcardRow{"*.doc;*.txt", "a.xls", false},
        WildcardRow{"*.doc;;", "a.doc", true}, WildcardRow{" ; ", "a.doc", false},
        WildcardRow{"", "a.doc", false}));

TEST(Wildcard, DefaultAndStarPatternsMatchEverything) {
    EXPECT_TRUE(Wildcard().matchesEverything());
    EXPECT_TRUE(Wildcard("*.txt;*").matchesEverything());
    EXPECT_FALSE(Wildcard("*.txt").matchesEverything());
    EXPECT_FALSE(Wildcard("").matchesEverything());
}

}  // namespace
}  // namespace vantrel
