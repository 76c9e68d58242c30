#include "browse/LineIndex.h"
#include "browse/ViewerDocument.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace vantrel {
namespace {

using test::TempTree;

// Display lines found by stepping from the start: the reference that the
// counted index must agree with.
std::vector<DisplayLine> steppedLines(const QByteArray& content) {
    std::vector<DisplayLine> out;
    const auto* data = reinterpret_cast<const uchar*>(content.constData());
    for (qint64 start = 0; start < content.size();) {
        const DisplayLine line = displayLineAt(data, content.size(), start);
        out.push_back(line);
        start = line.next;
    }
    return out;
}

QByteArray mixedText(quint32 seed, qsizetype size) {
    QRandomGenerator rng(seed);
    QByteArray out;
    out.reserve(size);
    while (out.size() < size) {
        const quint32 kind = rng.bounded(100);
        qsizetype length = kind < 80 ? rng.bounded(60) : kind < 95 ? rng.bounded(1100) : 3000;
        for (qsizetype i = 0; i < length && out.size() < size; ++i)
            out.append(char('a' + rng.bounded(26)));
        out.append(kind % 3 == 0 ? "\r\n" : kind % 7 == 0 ? "\r" : "\n");
    }
    out.truncate(size);
    return out;
}

// ---- display lines -------------------------------------------------------------

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
    ASSERT_TRUE(doc.lineCount().has_value());
    ASSERT_EQ(*doc.lineCount(), c.lines.size());
    for (qsizetype i = 0; i < c.lines.size(); ++i) {
        EXPECT_EQ(doc.bytes(doc.lineAt(i)), c.lines[i]) << "line " << i;
        EXPECT_LE(doc.bytes(doc.lineAt(i)).size(), ViewerDocument::kMaxLineBytes);
    }
    // Every byte belongs to the line that shows it (a line end to its line).
    for (qint64 offset = 0; offset < c.content.size(); ++offset) {
        const qint64 line = doc.lineOfOffset(offset);
        ASSERT_GE(line, 0);
        const DisplayLine dl = doc.lineAt(line);
        EXPECT_LE(dl.start, offset);
        EXPECT_LT(offset, std::max(dl.next, dl.start + 1));
    }
}

const QByteArray k1024(1024, 'x');

INSTANTIATE_TEST_SUITE_P(
    Viewer, LineSplitting,
    ::testing::Values(
        LinesCase{"Empty", "", {}}, LinesCase{"OneLineNoEnd", "abc", {"abc"}},
        LinesCase{"LF", "a\nbb\n", {"a", "bb"}}, LinesCase{"CRLF", "a\r\nbb\r\n", {"a", "bb"}},
        LinesCase{"NoFinalNewline", "a\nb", {"a", "b"}}, LinesCase{"OnlyNewline", "\n", {""}},
        LinesCase{"EmptyLines", "\n\r\n\n", {"", "", ""}},
        LinesCase{"LoneCarriageReturn", "a\rb\n", {"a\rb"}},
        LinesCase{"CarriageReturnAtEnd", "a\r", {"a\r"}},
        LinesCase{"Exactly1024", k1024 + "\r\n" + "z", {k1024, "z"}},
        LinesCase{"OneMoreThan1024", k1024 + "y\r\n", {k1024, "y"}},
        LinesCase{"TwoFullPieces", k1024 + k1024 + "\n", {k1024, k1024}},
        LinesCase{"LongLineNoEnd", k1024 + k1024 + "ab", {k1024, k1024, "ab"}},
        LinesCase{
            "Binary", QByteArray("\0\1\2\n\xff\xfe", 6), {QByteArray("\0\1\2", 3), "\xff\xfe"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(LineCounter, ResultDoesNotDependOnHowTheStreamIsCut) {
    const QByteArray content = mixedText(7, 300000);
    const std::vector<DisplayLine> reference = steppedLines(content);
    const auto* data = reinterpret_cast<const uchar*>(content.constData());
    for (qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(1023), qsizetype(1025),
                            qsizetype(65536), content.size()}) {
        std::deque<qint64> checkpoints;
        LineCounter counter(&checkpoints);
        for (qsizetype at = 0; at < content.size(); at += piece)
            counter.feed(data + at, std::min(piece, content.size() - at));
        counter.finish();
        ASSERT_EQ(counter.lines(), qint64(reference.size())) << "piece " << piece;
        ASSERT_EQ(checkpoints.size(),
                  (reference.size() + LineCounter::kStride - 1) / LineCounter::kStride);
        for (size_t k = 0; k < checkpoints.size(); ++k)
            ASSERT_EQ(checkpoints[k], reference[k * LineCounter::kStride].start);
    }
}

TEST(ViewerDocument, CountsALargeFileOnTheWorkerAndFindsEveryLine) {
    TempTree tree;
    const QByteArray content = mixedText(11, 6 * 1024 * 1024 + 123);
    const std::vector<DisplayLine> reference = steppedLines(content);
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("big.txt", content)));
    EXPECT_GT(doc.knownLines(), 0);  // the first part is counted at once
    doc.waitForLineCount();
    ASSERT_EQ(doc.lineCount().value_or(-1), qint64(reference.size()));
    EXPECT_EQ(doc.indexedBytes(), content.size());
    QRandomGenerator rng(3);
    for (int k = 0; k < 2000; ++k) {
        const qint64 n = rng.bounded(qint64(reference.size()));
        const DisplayLine dl = doc.lineAt(n);
        ASSERT_EQ(dl.start, reference[size_t(n)].start);
        ASSERT_EQ(dl.next, reference[size_t(n)].next);
        const qint64 offset = dl.start + rng.bounded(std::max<qint64>(1, dl.next - dl.start));
        ASSERT_EQ(doc.lineOfOffset(offset), n);
    }
    EXPECT_EQ(doc.lineOfOffset(content.size() - 1), qint64(reference.size()) - 1);
}

TEST(ViewerDocument, OneHugeLineIsShownInBoundedPieces) {
    TempTree tree;
    const qint64 size = 9 * 1024 * 1024 + 5;
    const QByteArray path = tree.file("huge", size, 'q');
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(path));
    // The first pieces of the line are there before the count is done.
    EXPECT_GT(doc.knownLines(), 100);
    EXPECT_EQ(doc.bytes(doc.lineAt(0)), QByteArray(1024, 'q'));
    doc.waitForLineCount();
    const qint64 lines = (size + 1023) / 1024;
    ASSERT_EQ(doc.lineCount().value_or(-1), lines);
    EXPECT_EQ(doc.bytes(doc.lineAt(lines - 1)), QByteArray(5, 'q'));
    EXPECT_EQ(doc.lineOfOffset(size - 1), lines - 1);
}

TEST(ViewerDocument, EmptyFileIsAValidEmptyDocument) {
    TempTree tree;
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("empty", "")));
    EXPECT_TRUE(doc.isOpen());
    EXPECT_EQ(doc.size(), 0);
    EXPECT_EQ(doc.lineCount().value_or(-1), 0);
    EXPECT_EQ(doc.hexRowCount(), 0);
    EXPECT_TRUE(doc.hexRow(0).isEmpty());
    EXPECT_TRUE(doc.bytes(doc.lineAt(0)).isEmpty());
    EXPECT_FALSE(doc.find("a", 0, {}).has_value());
}

TEST(ViewerDocument, RefusesWhatIsNotARegularFile) {
    TempTree tree;
    ViewerDocument doc;
    QString error;
    EXPECT_FALSE(doc.open(tree.mkdir("folder"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(doc.open(tree.fifo("pipe"), &error));  // and does not wait for a writer
    EXPECT_FALSE(doc.open(tree.path("missing"), &error));
    EXPECT_FALSE(doc.isOpen());
}

TEST(ViewerDocument, UnreadableFileFailsToOpen) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    TempTree tree;
    tree.fileWith("secret", "abc");
    tree.chmod("secret", 0);
    ViewerDocument doc;
    QString error;
    EXPECT_FALSE(doc.open(tree.path("secret"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ViewerDocument, FileCutShortWhileOpenReadsAsZerosInsteadOfCrashing) {
    TempTree tree;
    const QByteArray path = tree.file("shrinks", 3 * 1024 * 1024, 'x');
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(path));
    doc.waitForLineCount();
    ASSERT_EQ(::truncate(path.constData(), 4096), 0);
    const qint64 lastRow = doc.hexRowCount() - 1;
    const QString row = doc.hexRow(lastRow);  // past the new end
    EXPECT_TRUE(row.contains(QStringLiteral("00 00 00 00"))) << row.toStdString();
    EXPECT_TRUE(doc.truncated());
    const DisplayLine tail = doc.lineFrom(2 * 1024 * 1024);
    EXPECT_EQ(doc.bytes(tail), QByteArray(1024, '\0'));
    EXPECT_EQ(doc.bytes(doc.lineAt(0)), QByteArray(1024, 'x'));  // still there
    EXPECT_FALSE(doc.find("xy", 0, {}).has_value());
    doc.close();
    // The next document maps the file afresh.
    ASSERT_TRUE(doc.open(path));
    EXPECT_EQ(doc.size(), 4096);
    EXPECT_FALSE(doc.truncated());
}

TEST(ViewerDocument, ClosingStopsTheCountAtOnce) {
    TempTree tree;
    const QByteArray path = tree.path("sparse");
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, qint64(8) * 1024 * 1024 * 1024), 0);
    ::close(fd);
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(path));
    EXPECT_FALSE(doc.lineCount().has_value());
    EXPECT_EQ(doc.hexRowCount(), qint64(512) * 1024 * 1024);
    EXPECT_EQ(doc.hexOffsetDigits(), 9);
    EXPECT_TRUE(doc.hexRow(doc.hexRowCount() - 1).startsWith(QStringLiteral("1FFFFFFF0  00")));
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(doc.waitIndexedTo(doc.size() - 1, cancel));
    EXPECT_FALSE(doc.find("x", 0, {}, &cancel).has_value());
    doc.close();  // joins the counting thread
    EXPECT_FALSE(doc.isOpen());
    EXPECT_EQ(doc.knownLines(), 0);
}

// ---- rendering -------------------------------------------------------------------

struct RenderCase {
    const char* name;
    QByteArray bytes;
    bool expand;
    int tabSize;
    QString text;
};

class Rendering : public ::testing::TestWithParam<RenderCase> {};

TEST_P(Rendering, DrawsBytesSafely) {
    const RenderCase& c = GetParam();
    const RenderedLine line = renderLine(c.bytes, c.expand, c.tabSize);
    EXPECT_EQ(line.text, c.text);
    ASSERT_EQ(line.byteOf.size(), size_t(line.text.size()) + 1);
    EXPECT_EQ(line.byteOf.back(), c.bytes.size());
    for (size_t i = 1; i < line.byteOf.size(); ++i)
        EXPECT_LE(line.byteOf[i - 1], line.byteOf[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Viewer, Rendering,
    ::testing::Values(
        RenderCase{"Plain", "abc", true, 8, "abc"},
        RenderCase{"TabToEight", "a\tb", true, 8, "a       b"},
        RenderCase{"TabToFour", "ab\tc\td", true, 4, "ab  c   d"},
        RenderCase{"TabAtStop", "abcd\tx", true, 4, "abcd    x"},
        RenderCase{"TabsNotExpanded", "a\tb", false, 8, QStringLiteral("a\u00BBb")},
        RenderCase{"ControlBytes", QByteArray("a\0\x1b\x7f", 4), true, 8,
                   QStringLiteral("a\u00B7\u00B7\u00B7")},
        RenderCase{"Utf8", "caf\xc3\xa9", true, 8, QStringLiteral("caf\u00E9")},
        RenderCase{"Latin1Byte", "caf\xe9!", true, 8, QStringLiteral("caf\u00E9!")},
        RenderCase{"C1Byte", "a\x85", true, 8, QStringLiteral("a\u00B7")},
        RenderCase{"CutSequence", "\xe2\x82", true, 8, QStringLiteral("\u00E2\u00B7")},
        RenderCase{"Overlong", "\xc0\xaf", true, 8, QStringLiteral("\u00C0\u00AF")},
        RenderCase{"Astral", "\xf0\x9f\x98\x80x", true, 8, QStringLiteral("\U0001F600x")}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Rendering, MapsColumnsToBytesAcrossTabsAndSequences) {
    const RenderedLine line = renderLine("\t\xc3\xa9z", true, 4);
    ASSERT_EQ(line.text, QStringLiteral("    \u00E9z"));
    EXPECT_EQ(line.byteOf[2], 0);  // inside the tab
    EXPECT_EQ(line.byteOf[4], 1);  // the two-byte letter
    EXPECT_EQ(line.byteOf[5], 3);
    EXPECT_EQ(line.columnOfByte(0), 0);
    EXPECT_EQ(line.columnOfByte(1), 4);
    EXPECT_EQ(line.columnOfByte(2), 5);  // inside the letter: the next column
    EXPECT_EQ(line.columnOfByte(3), 5);
    EXPECT_EQ(line.columnOfByte(4), 6);
}

TEST(ViewerDocument, RendersCountedLinesWithTabs) {
    TempTree tree;
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("t", "x\ty\r\n\tz")));
    EXPECT_EQ(doc.renderedLine(0, true, 8).text, QStringLiteral("x       y"));
    EXPECT_EQ(doc.renderedLine(1, true, 2).text, QStringLiteral("  z"));
    EXPECT_EQ(doc.renderedLine(1, false, 2).text, QStringLiteral("\u00BBz"));
}

// ---- hexadecimal rows ------------------------------------------------------------

TEST(ViewerDocument, HexRowsShowOffsetBytesAndCharacters) {
    TempTree tree;
    QByteArray content("Hello world\n\0\x01\xff", 15);
    content += QByteArray("ABCDEFGHIJ");
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("h", content)));
    ASSERT_EQ(doc.hexRowCount(), 2);
    EXPECT_EQ(doc.hexRow(0),
              QStringLiteral("00000000  48 65 6C 6C 6F 20 77 6F  72 6C 64 0A 00 01 FF 41  "
                             "Hello world....A"));
    EXPECT_EQ(doc.hexRow(1),
              QStringLiteral("00000010  42 43 44 45 46 47 48 49  4A                       "
                             "BCDEFGHIJ"));
    EXPECT_TRUE(doc.hexRow(2).isEmpty());
    const QString row = doc.hexRow(0);
    for (int i = 0; i < 16; ++i) {
        const uchar b = uchar(content[i]);
        EXPECT_EQ(row.mid(doc.hexColumnOfByte(i), 2),
                  QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper());
    }
    EXPECT_EQ(row.at(doc.hexCharColumnOfByte(0)), QLatin1Char('H'));
    EXPECT_EQ(row.at(doc.hexCharColumnOfByte(15)), QLatin1Char('A'));
}

// ---- search ------------------------------------------------------------------------

struct FindCase {
    const char* name;
    QByteArray needle;
    qint64 from;
    bool backward;
    bool matchCase;
    bool wholeFile;
    qint64 expected;  // -1: not found
};

class Finding : public ::testing::TestWithParam<FindCase> {};

//                      0         1         2         3
//                      0123456789012345678901234567890123456
const QByteArray kText = "alpha Beta gamma\nbeta ALPHA\r\nend beta";

TEST_P(Finding, FindsTheExpectedMatch) {
    const FindCase& c = GetParam();
    TempTree tree;
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("s", kText)));
    ViewerDocument::FindOptions options;
    options.backward = c.backward;
    options.matchCase = c.matchCase;
    options.wholeFile = c.wholeFile;
    EXPECT_EQ(doc.find(c.needle, c.from, options).value_or(-1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Viewer, Finding,
    ::testing::Values(FindCase{"ForwardFromStart", "beta", 0, false, false, false, 6},
                      FindCase{"ForwardFromStartMatchCase", "beta", 0, false, true, false, 17},
                      FindCase{"ForwardFromAMatchStart", "beta", 6, false, false, false, 6},
                      FindCase{"ForwardPastAMatch", "beta", 7, false, false, false, 17},
                      FindCase{"ForwardToTheLast", "beta", 18, false, false, false, 33},
                      FindCase{"ForwardNothingLeft", "beta", 34, false, false, false, -1},
                      FindCase{"ForwardWraps", "beta", 34, false, false, true, 6},
                      FindCase{"ForwardWrapsMatchCase", "Beta", 7, false, true, true, 6},
                      FindCase{"BackwardFromEnd", "beta", 37, true, false, false, 33},
                      FindCase{"BackwardBeforeAMatch", "beta", 33, true, false, false, 17},
                      FindCase{"BackwardMatchCase", "ALPHA", 37, true, true, false, 22},
                      FindCase{"BackwardNothingBefore", "alpha", 0, true, false, false, -1},
                      FindCase{"BackwardWraps", "end", 5, true, false, true, 29},
                      FindCase{"NotThere", "delta", 0, false, false, true, -1},
                      FindCase{"CaseMismatch", "GAMMA", 0, false, true, true, -1},
                      FindCase{"AcrossLineEnd", "a\r\ne", 0, false, false, false, 26},
                      FindCase{"WholeText", kText, 0, false, true, false, 0},
                      FindCase{"LongerThanFile", kText + "x", 0, false, false, true, -1},
                      FindCase{"Empty", "", 0, false, false, true, -1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ViewerDocument, FindsMatchesAcrossReadPieces) {
    TempTree tree;
    const qint64 piece = 4 * 1024 * 1024;
    QByteArray content(2 * piece + 100, '.');
    content.replace(piece - 3, 8, "NeedleXY");       // across the first piece end
    content.replace(2 * piece + 10, 8, "needlexy");  // in the last piece
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("pieces", content)));
    ViewerDocument::FindOptions options;
    EXPECT_EQ(doc.find("needlexy", 0, options).value_or(-1), piece - 3);
    EXPECT_EQ(doc.find("needlexy", piece, options).value_or(-1), 2 * piece + 10);
    options.backward = true;
    EXPECT_EQ(doc.find("needlexy", content.size(), options).value_or(-1), 2 * piece + 10);
    EXPECT_EQ(doc.find("needlexy", 2 * piece + 10, options).value_or(-1), piece - 3);
    options.matchCase = true;
    EXPECT_EQ(doc.find("NeedleXY", content.size(), options).value_or(-1), piece - 3);
}

TEST(ViewerDocument, WaitsOnAWorkerUntilAnOffsetIsCounted) {
    TempTree tree;
    const QByteArray content = mixedText(5, 20 * 1024 * 1024);
    ViewerDocument doc;
    ASSERT_TRUE(doc.open(tree.fileWith("wait", content)));
    std::atomic<bool> cancel{false};
    qint64 line = -1;
    std::thread worker([&] {
        if (doc.waitIndexedTo(content.size() - 1, cancel))
            line = doc.lineOfOffset(content.size() - 1);
    });
    worker.join();
    doc.waitForLineCount();
    EXPECT_EQ(line, doc.lineCount().value_or(0) - 1);
}

}  // namespace
}  // namespace vantrel
