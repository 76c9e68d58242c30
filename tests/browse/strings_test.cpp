#include "browse/Strings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace vantrel {
namespace {

QByteArray readAll(const QByteArray& path) {
    QFile f(QString::fromLocal8Bit(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct StringsCase {
    const char* name;
    QByteArray content;
    QByteArray expected;
};

class Strings : public ::testing::TestWithParam<StringsCase> {};

// Runs of 6 to 101 letters, digits and blanks, as the viewer asks for them.
TEST_P(Strings, WritesTheExpectedLines) {
    test::TempTree tree;
    const QByteArray source = tree.fileWith("source", GetParam().content);
    const QByteArray target = tree.path("strings.txt");
    ASSERT_EQ(extractStrings(source, target, 5, 100), StringsResult::Done);
    EXPECT_EQ(readAll(target), GetParam().expected);
}

const QByteArray kNul(1, '\0');
const QByteArray k101 = QByteArray("abcdefghijklmnopqrstuvwxyz0123456789 ").repeated(3).left(101);

INSTANTIATE_TEST_SUITE_P(
    Extract, Strings,
    ::testing::Values(
        StringsCase{"HelloWorld", "Hello world" + kNul, "Hello world\r\n"},
        StringsCase{"FiveLettersAreTooShort", "Hello" + kNul, ""},
        StringsCase{"SixLetters", "Hellos" + kNul, "Hellos\r\n"},
        StringsCase{"HundredOneLetters", k101 + kNul, k101 + "\r\n"},
        StringsCase{"HundredTwoLettersDroppedWhole", k101 + "x" + kNul, ""},
        StringsCase{"LongRunThenShortOne", k101 + k101 + kNul + "abcdefg" + kNul, "abcdefg\r\n"},
        StringsCase{"EqualRunsManyBytesApart",
                    "abcdef" + QByteArray(9, '\0') + "abcdef\1xyz\1abcdef\1", "abcdef\r\n"},
        StringsCase{"EqualRunsWithAnotherBetween",
                    "abcdef" + kNul + "ghijkl" + kNul + "abcdef" + kNul,
                    "abcdef\r\nghijkl\r\nabcdef\r\n"},
        StringsCase{"LastRunWithoutEnd", "first run" + kNul + "last run", "first run\r\n"},
        StringsCase{"LineFeedEndsARun", "line one\nline two\n", "line one\r\nline two\r\n"},
        StringsCase{"PunctuationEndsARun", "Hello, world!" + kNul, " world\r\n"},
        StringsCase{"HighBytesEndARun", "abc\351defghij\377", "defghij\r\n"},
        StringsCase{"AcrossTheFirstBlock", QByteArray(2040, '\0') + "abcdefghijklmnop" + kNul,
                    "abcdefghijklmnop\r\n"},
        StringsCase{"AcrossAReadBuffer", QByteArray(1024 * 1024 - 3, '\x01') + "abcdefgh" + kNul,
                    "abcdefgh\r\n"},
        StringsCase{"Empty", "", ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Strings, FailuresAndCancel) {
    test::TempTree tree;
    const QByteArray source = tree.fileWith("source", "Hello world" + kNul);
    const QByteArray target = tree.fileWith("strings.txt", "old contents");
    // A missing source still leaves an empty target.
    EXPECT_EQ(extractStrings(tree.path("missing"), target, 5, 100), StringsResult::SourceFailed);
    EXPECT_EQ(readAll(target), QByteArray());
    EXPECT_EQ(extractStrings(source, source + "/t", 5, 100), StringsResult::TargetFailed);
    std::atomic<bool> cancel{true};
    EXPECT_EQ(extractStrings(source, target, 5, 100, &cancel), StringsResult::Cancelled);
    EXPECT_EQ(readAll(target), QByteArray());
    // Only regular files are read: a fifo without a writer, a folder, and a
    // fifo whose writer never writes (reading it would wait for ever).
    const QByteArray fed = tree.fifo("fed");
    const int writer = ::open(fed.constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    for (const QByteArray& odd : {tree.fifo("lonely"), tree.mkdir("folder"), fed})
        EXPECT_EQ(extractStrings(odd, target, 5, 100), StringsResult::SourceFailed)
            << odd.constData();
    ::close(writer);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    tree.chmod("source", 0);
    EXPECT_EQ(extractStrings(source, target, 5, 100), StringsResult::SourceFailed);
}

}  // namespace
}  // namespace vantrel
