#include "browse/LineIndex.h"
#include "browse/ViewerDocument.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <deque>

namespace vantrel {
namespace {

using test::TempTree;
using namespace Qt::StringLiterals;

// Lines of every length up to past three display lines, with every line end.
QByteArray mixedText() {
    static const char* const ends[] = {"\n", "\r\n", "\r"};
    QByteArray out;
    for (int i = 0; out.size() < 3'000'000; ++i)
        out += QByteArray(i % 50 ? i * 7919 % 1100 : 3000, char('a' + i % 26)) + ends[i % 3];
    return out;
}

struct LinesCase {
    const char* name;
    QByteArray content;
    QList<QByteArray> lines;
};

class LineSplitting : public ::testing::TestWithParam<LinesCase> {};

TEST_P(LineSplitting, IndexedLinesMatchTheText) {
    const LinesCase& c = GetParam();
    TempTree tree;
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("f", c.content)));
    doc.waitForLineCount();
    ASSERT_EQ(doc.lineCount().value_or(-1), c.lines.size());
    for (qsizetype i = 0; i < c.lines.size(); ++i)
        EXPECT_EQ(doc.bytes(doc.lineAt(i)), c.lines[i]) << "line " << i;
    // Every byte belongs to the line that shows it (a line end to its line).
    for (qint64 offset = 0; offset < c.content.size(); ++offset) {
        const DisplayLine dl = doc.lineAt(doc.lineOfOffset(offset));
        EXPECT_LE(dl.start, offset);
        EXPECT_LT(offset, std::max(dl.next, dl.start + 1));
    }
}

const QByteArray k1024(1024, 'x');

INSTANTIATE_TEST_SUITE_P(
    Viewer, LineSplitting,
    ::testing::Values(LinesCase{"Empty", "", {}}, LinesCase{"OneLineNoEnd", "abc", {"abc"}},
                      LinesCase{"LfAndCrLf", "a\nbb\r\nc", {"a", "bb", "c"}},
                      LinesCase{"EmptyLines", "\n\r\n\n", {"", "", ""}},
                      LinesCase{"LoneCarriageReturns", "a\rb\nc\r", {"a\rb", "c\r"}},
                      LinesCase{"Exactly1024", k1024 + "\r\n" + "z", {k1024, "z"}},
                      LinesCase{"OneMoreThan1024", k1024 + "y\r\n", {k1024, "y"}},
                      LinesCase{"LongLineNoEnd", k1024 + k1024 + "ab", {k1024, k1024, "ab"}},
                      LinesCase{"Binary",
                                QByteArray("\0\1\2\n\xff\xfe", 6),
                                {QByteArray("\0\1\2", 3), "\xff\xfe"}}),
    [](const auto& p) { return std::string(p.param.name); });

// The same lines and checkpoints however the stream is cut; the table above
// checks what the lines are.
TEST(LineCounter, ResultDoesNotDependOnHowTheStreamIsCut) {
    const QByteArray content = mixedText();
    const auto* data = reinterpret_cast<const uchar*>(content.constData());
    auto count = [&](qsizetype piece) {
        std::deque<qint64> checkpoints;
        LineCounter counter(&checkpoints);
        for (qsizetype at = 0; at < content.size(); at += piece)
            counter.feed(data + at, std::min(piece, content.size() - at));
        counter.finish();
        checkpoints.push_back(counter.lines());
        return checkpoints;
    };
    const std::deque<qint64> whole = count(content.size());
    EXPECT_GT(whole.size(), 4u);
    for (qsizetype piece : {1, 1023, 1025})
        EXPECT_EQ(count(piece), whole) << "piece " << piece;
}

TEST(ViewerDocument, OpensOnlyRegularFiles) {
    TempTree tree;
    ViewerDocument doc;
    // A fifo is refused without waiting for a writer.
    for (const QByteArray& path : {tree.mkdir("folder"), tree.fifo("pipe"), tree.path("none")}) {
        QString error;
        EXPECT_FALSE(doc.open(path, &error) || doc.isOpen() || error.isEmpty()) << path.data();
    }
}

TEST(ViewerDocument, FileCutShortWhileOpenReadsAsZerosInsteadOfCrashing) {
    TempTree tree;
    const QByteArray path = tree.file("shrinks", 3 * 1024 * 1024, 'x');
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(path));
    doc.waitForLineCount();
    ASSERT_EQ(::truncate(path.constData(), 4096), 0);
    EXPECT_TRUE(doc.hexRow(doc.hexRowCount() - 1).contains(QStringLiteral("00 00 00 00")));
    EXPECT_TRUE(doc.truncated());
    EXPECT_EQ(doc.bytes(doc.lineFrom(2 * 1024 * 1024)), QByteArray(1024, '\0'));
    EXPECT_FALSE(doc.find("xy", 0, {}).has_value());
    ASSERT_TRUE(doc.open(path));  // the next document maps the file afresh
    EXPECT_FALSE(doc.truncated());
}

TEST(ViewerDocument, HugeFileShowsAtOnceAndClosesAtOnce) {
    TempTree tree;
    const QByteArray path = tree.fileWith("sparse", "");
    ViewerDocument doc;
    ASSERT_TRUE(::truncate(path.constData(), qint64(8) << 30) == 0 && doc.open(path));
    EXPECT_FALSE(doc.lineCount().has_value());
    EXPECT_GT(doc.knownLines(), 100);  // the first pieces of the one long line
    EXPECT_EQ(doc.bytes(doc.lineAt(0)), QByteArray(1024, '\0'));
    EXPECT_EQ(doc.hexRowCount(), qint64(512) * 1024 * 1024);
    EXPECT_TRUE(doc.hexRow(doc.hexRowCount() - 1).startsWith(QStringLiteral("1FFFFFFF0  00")));
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(doc.waitIndexedTo(doc.size() - 1, cancel) || doc.find("x", 0, {}, &cancel));
    doc.close();  // joins the counting thread at once
}

TEST(Rendering, DrawsBytesSafely) {
    const struct {
        QByteArray bytes;
        bool expand;
        int tabSize;
        QString text;
    } cases[] = {
        {"a\tb", true, 8, u"a       b"_s},
        {"ab\tc\td", true, 4, u"ab  c   d"_s},
        {"abcd\tx", true, 4, u"abcd    x"_s},
        {"a\tb", false, 8, u"a\u00BBb"_s},
        {QByteArray("a\0\x1b\x7f", 4), true, 8, u"a\u00B7\u00B7\u00B7"_s},  // control bytes
        {"caf\xc3\xa9", true, 8, u"caf\u00E9"_s},                           // UTF-8
        {"caf\xe9!", true, 8, u"caf\u00E9!"_s},                             // Latin-1
        {"a\x85", true, 8, u"a\u00B7"_s},                                   // C1 control
        {"\xe2\x82", true, 8, u"\u00E2\u00B7"_s},                           // cut sequence
        {"\xc0\xaf", true, 8, u"\u00C0\u00AF"_s},                           // overlong
        {"\xf0\x9f\x98\x80x", true, 8, u"\U0001F600x"_s}};
    for (const auto& c : cases) {
        const RenderedLine line = renderLine(c.bytes, c.expand, c.tabSize);
        EXPECT_EQ(line.text, c.text);
        ASSERT_EQ(line.byteOf.size(), size_t(line.text.size()) + 1);
        EXPECT_EQ(line.byteOf.back(), c.bytes.size());
        EXPECT_TRUE(std::is_sorted(line.byteOf.begin(), line.byteOf.end()));
    }
}

TEST(ViewerDocument, FindsTheExpectedMatch) {
    //                      0         1         2         3
    //                      0123456789012345678901234567890123456
    const QByteArray text = "alpha Beta gamma\nbeta ALPHA\r\nend beta";
    TempTree tree;
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("s", text)));
    const struct {
        QByteArray needle;
        qint64 from;
        ViewerDocument::FindOptions options;  // backward, match case, whole file
        qint64 expected;                      // -1: not found
    } cases[] = {{"beta", 0, {}, 6},
                 {"beta", 0, {false, true, false}, 17},
                 {"beta", 6, {}, 6},  // a match that starts at `from`
                 {"beta", 34, {}, -1},
                 {"Beta", 7, {false, true, true}, 6},
                 {"beta", 33, {true, false, false}, 17},
                 {"ALPHA", 37, {true, true, false}, 22},
                 {"alpha", 0, {true, false, false}, -1},
                 {"end", 5, {true, false, true}, 29},
                 {"GAMMA", 0, {false, true, true}, -1},
                 {"a\r\ne", 0, {}, 26},
                 {text + "x", 0, {false, false, true}, -1},
                 {"", 0, {false, false, true}, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(doc.find(c.needle, c.from, c.options).value_or(-1), c.expected)
            << c.needle.data();
}

TEST(ViewerDocument, FindsMatchesAcrossReadPieces) {
    TempTree tree;
    const qint64 piece = 4 * 1024 * 1024;
    QByteArray content(2 * piece + 100, '.');
    content.replace(piece - 3, 8, "NeedleXY");       // across the first piece end
    content.replace(2 * piece + 10, 8, "needlexy");  // in the last piece
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("pieces", content)));
    EXPECT_EQ(doc.find("needlexy", 0, {}).value_or(-1), piece - 3);
    EXPECT_EQ(doc.find("needlexy", 2 * piece + 10, {true, false, false}).value_or(-1), piece - 3);
    EXPECT_EQ(doc.find("NeedleXY", content.size(), {true, true, false}).value_or(-1), piece - 3);
}

}  // namespace
}  // namespace vantrel
