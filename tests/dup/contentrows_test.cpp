#include "dup/ContentRows.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace vantrel {
namespace {

DupCandidate row(const QByteArray& path, const QString& line) {
    DupCandidate c;
    c.path = path;
    c.line = line;
    return c;
}

TEST(ContentRows, NoteGoesAfterTheTypeOfEachFieldOrder) {
    EXPECT_EQ(lineWithNote(u"a\t1\td\tt\tacc\t/f\tText"_qs, DupCriterion::FilenameOnly,
                           hardLinkNote()),
              u"a\t1\td\tt\tacc\t/f\tText (hard link)"_qs);
    EXPECT_EQ(lineWithNote(u"Text\td\tt\ta\t1\tacc\t/f"_qs, DupCriterion::TypeAndDate,
                           differsNote()),
              u"Text (differs)\td\tt\ta\t1\tacc\t/f"_qs);
}

// Groups of rows whose files are looked up now: one file under several
// names is dropped, a hard link beside a real copy is noted.
TEST(ContentRows, HardLinksInMetadataGroups) {
    test::TempTree tree;
    const QByteArray a = tree.file("a/f", 10);
    const QByteArray copy = tree.file("b/f", 10);
    tree.mkdir("c");
    tree.mkdir("d");
    ASSERT_EQ(link(a.constData(), tree.path("c/f").constData()), 0);
    const QByteArray g = tree.file("g/h", 20);
    ASSERT_EQ(link(g.constData(), tree.path("d/h").constData()), 0);
    const QString line = u"f\t10\td\tt\tacc\t/x\tFile"_qs;
    std::vector<DupCandidate> rows = {row(g, line), row(tree.path("d/h"), line),
                                      row(a, line), row(tree.path("c/f"), line),
                                      row(copy, line), row(tree.path("gone"), line)};
    std::vector<int> sizes = {2, 4};
    noteHardLinks(rows, sizes, DupCriterion::FilenameOnly);
    EXPECT_EQ(sizes, (std::vector<int>{4}));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].path, a);
    EXPECT_EQ(rows[1].line, u"f\t10\td\tt\tacc\t/x\tFile (hard link)"_qs);
    EXPECT_EQ(rows[2].line, line);
    EXPECT_EQ(rows[3].line, line);  // gone: left as it was
}

// A checked group becomes its identical subsets (in the order of their
// first rows), then the rows that match nothing, then those not read.
TEST(ContentRows, CheckedGroupSplitsIntoItsSubsets) {
    const GroupCheck split = checkGroup({0, 1, 0, -1, 2, 1});
    EXPECT_EQ(split.order, (std::vector<int>{0, 2, 1, 5, 4, 3}));
    EXPECT_EQ(split.groupSizes, (std::vector<int>{2, 2, 1, 1}));
    EXPECT_EQ(split.notes, (std::vector<QString>{sameContentsNote(), sameContentsNote(),
                                                 sameContentsNote(), sameContentsNote(),
                                                 differsNote(), notReadNote()}));
    EXPECT_FALSE(split.confirmed);

    const GroupCheck whole = checkGroup({4, 4, 4});
    EXPECT_EQ(whole.order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(whole.groupSizes, (std::vector<int>{3}));
    EXPECT_TRUE(whole.confirmed);

    const GroupCheck unread = checkGroup({-1, -1});
    EXPECT_EQ(unread.groupSizes, (std::vector<int>{1, 1}));
    EXPECT_EQ(unread.notes, (std::vector<QString>{notReadNote(), notReadNote()}));
    EXPECT_FALSE(unread.confirmed);
}

}  // namespace
}  // namespace vantrel
