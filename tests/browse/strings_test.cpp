#include "browse/Strings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>

namespace vantrel {
namespace {

using test::TempTree;

QByteArray readAll(const QByteArray& path) {
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

// The rules written out byte by byte, reading in blocks of 2,048 bytes: the
// reference the fast extraction must agree with.
QByteArray referenceStrings(const QByteArray& source, int minLength, int maxLength) {
    auto printable = [](uchar c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == ' ';
    };
    QByteArray out;
    QByteArray run;
    QByteArray lastWritten;
    bool written = false;
    int n = 0;
    bool abandoned = false;
    for (qsizetype block = 0; block < source.size(); block += 2048) {
        const QByteArray bytes = source.mid(block, 2048);
        for (char ch : bytes) {
            const auto c = uchar(ch);
            if (printable(c)) {
                if (abandoned)
                    continue;
                if (n <= maxLength) {
                    run += char(c);
                    ++n;
                } else if (n == maxLength + 1) {
                    abandoned = true;
                }
            } else {
                if (!abandoned && n > minLength && !(written && run == lastWritten)) {
                    out += run + "\r\n";
                    lastWritten = run;
                    written = true;
                }
                run.clear();
                n = 0;
                abandoned = false;
            }
        }
    }
    return out;
}

struct StringsCase {
    const char* name;
    QByteArray content;
    QByteArray expected;
};

class Strings : public ::testing::TestWithParam<StringsCase> {};

TEST_P(Strings, WritesTheExpectedLines) {
    const StringsCase& c = GetParam();
    TempTree tree;
    const QByteArray source = tree.fileWith("source", c.content);
    const QByteArray target = tree.path("strings.txt");
    ASSERT_EQ(extractStrings(source, target, 5, 100), StringsResult::Done);
    EXPECT_EQ(readAll(target), c.expected);
    EXPECT_EQ(c.expected, referenceStrings(c.content, 5, 100));
}

const QByteArray kNul(1, '\0');

QByteArray letters(int n) {
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += char('a' + i % 26);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Extract, Strings,
    ::testing::Values(
        StringsCase{"HelloWorld", "Hello world" + kNul, "Hello world\r\n"},
        StringsCase{"FiveLettersAreTooShort", "Hello" + kNul, ""},
        StringsCase{"SixLetters", "Hellos" + kNul, "Hellos\r\n"},
        StringsCase{"EqualRunsOneNulApart", "abcdef" + kNul + "abcdef" + kNul, "abcdef\r\n"},
        StringsCase{"EqualRunsWithAnotherBetween",
                    "abcdef" + kNul + "ghijkl" + kNul + "abcdef" + kNul,
                    "abcdef\r\nghijkl\r\nabcdef\r\n"},
        StringsCase{"EqualRunsWithAShortOneBetween", "abcdef\1xyz\1abcdef\1", "abcdef\r\n"},
        StringsCase{"EqualRunsManyNulsApart", "abcdef" + QByteArray(9, '\0') + "abcdef" + kNul,
                    "abcdef\r\n"},
        StringsCase{"HundredFiftyLetters", letters(150) + kNul, ""},
        StringsCase{"HundredOneLetters", letters(101) + kNul, letters(101) + "\r\n"},
        StringsCase{"HundredTwoLetters", letters(102) + kNul, ""},
        StringsCase{"LongRunThenShortOne", letters(200) + kNul + "abcdefg" + kNul, "abcdefg\r\n"},
        StringsCase{"LastRunWithoutEnd", "first run" + kNul + "last run", "first run\r\n"},
        StringsCase{"LineFeedEndsARun", "line one\nline two\n", "line one\r\nline two\r\n"},
        StringsCase{"PunctuationEndsARun", "Hello, world!" + kNul, " world\r\n"},
        StringsCase{"HighBytesEndARun",
                    "abc\xe9"
                    "defghij\xff",
                    "defghij\r\n"},
        StringsCase{"AcrossTheFirstBlock", QByteArray(2040, '\0') + "abcdefghijklmnop" + kNul,
                    "abcdefghijklmnop\r\n"},
        StringsCase{"AcrossAReadBuffer", QByteArray(1024 * 1024 - 3, '\x01') + "abcdefgh" + kNul,
                    "abcdefgh\r\n"},
        StringsCase{"Empty", "", ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Strings, AgreesWithTheRulesOnRandomData) {
    TempTree tree;
    QRandomGenerator rng(42);
    static const char alphabet[] = "abcXYZ019 ";
    for (int round = 0; round < 6; ++round) {
        QByteArray content;
        const int size = 3 * 1024 * 1024 + round * 777;
        content.reserve(size);
        while (content.size() < size) {
            // Runs of every length around the limits, repeats, separators.
            const int kind = int(rng.bounded(10));
            const int length = kind < 6 ? int(rng.bounded(12)) : int(rng.bounded(110));
            if (kind == 9 && content.size() > 20) {
                content += content.right(8);
            } else {
                for (int i = 0; i < length; ++i)
                    content += alphabet[rng.bounded(10)];
            }
            content += char(rng.bounded(2) ? '\0' : '\xfe');
        }
        const QByteArray source = tree.fileWith("random", content);
        const QByteArray target = tree.path("random.txt");
        const int minLength = round < 3 ? 5 : 2;
        const int maxLength = round < 3 ? 100 : 7;
        ASSERT_EQ(extractStrings(source, target, minLength, maxLength), StringsResult::Done);
        ASSERT_EQ(readAll(target), referenceStrings(content, minLength, maxLength))
            << "round " << round;
    }
}

TEST(Strings, MissingSourceLeavesAnEmptyTarget) {
    TempTree tree;
    const QByteArray target = tree.fileWith("strings.txt", "old contents");
    EXPECT_EQ(extractStrings(tree.path("missing"), target, 5, 100), StringsResult::SourceFailed);
    EXPECT_EQ(readAll(target), QByteArray());
}

TEST(Strings, UnwritableTargetFails) {
    TempTree tree;
    const QByteArray source = tree.fileWith("source", "Hello world" + kNul);
    EXPECT_EQ(extractStrings(source, tree.path("no/such/folder/t.txt"), 5, 100),
              StringsResult::TargetFailed);
}

TEST(Strings, UnreadableSourceFails) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    TempTree tree;
    const QByteArray source = tree.fileWith("secret", "Hello world" + kNul);
    tree.chmod("secret", 0);
    EXPECT_EQ(extractStrings(source, tree.path("t.txt"), 5, 100), StringsResult::SourceFailed);
}

TEST(Strings, CancelStopsBeforeReading) {
    TempTree tree;
    const QByteArray source = tree.fileWith("source", "Hello world" + kNul);
    std::atomic<bool> cancel{true};
    EXPECT_EQ(extractStrings(source, tree.path("t.txt"), 5, 100, &cancel),
              StringsResult::Cancelled);
    EXPECT_EQ(readAll(tree.path("t.txt")), QByteArray());
}

}  // namespace
}  // namespace vantrel
