// The guards before deleting: every copy of a group marked, and files that
// changed since they were listed.

#include "results/Deletion.h"
#include "results/GridLayout.h"
#include "results/LastCopyGuard.h"
#include "results/ResultGridModel.h"
#include "HomeTree.h"
#include "platform/FileRecord.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>

namespace vantrel {
namespace {

using test::exists;

struct GuardCase {
    const char* label;
    const char* marked;    // paths, blank-separated
    const char* expected;  // the warning, or "" for none
};

class LastCopy : public ::testing::TestWithParam<GuardCase> {};

TEST_P(LastCopy, WarnsWhenAGroupIsMarkedInFull) {
    const QList<QList<QByteArray>> groups = {{"/a/1", "/b/1", "/c/1"},
                                             {"/a/2", "/b/2"},
                                             {"/a/3", "/b/3"},
                                             {"/lone"}};
    const QByteArray marked = GetParam().marked;
    const QList<QByteArray> paths = marked.isEmpty() ? QList<QByteArray>{} : marked.split(' ');
    EXPECT_EQ(lastCopyWarning(groups, paths), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Deletion, LastCopy,
    ::testing::Values(
        GuardCase{"none", "", ""},
        GuardCase{"one_copy_kept", "/b/1 /c/1 /b/2", ""},
        GuardCase{"a_single_path_group_is_no_group", "/lone", ""},
        GuardCase{"one_group", "/c/1 /a/1 /b/1",
                  "All 3 copies of /a/1 are marked.\n\nDelete every copy anyway?"},
        GuardCase{"two_groups", "/a/2 /b/2 /a/3 /b/3",
                  "All 2 copies of /a/2 are marked. So are all copies of 1 other "
                  "file.\n\nDelete every copy anyway?"},
        GuardCase{"three_groups", "/a/1 /b/1 /c/1 /a/2 /b/2 /a/3 /b/3",
                  "All 3 copies of /a/1 are marked. So are all copies of 2 other "
                  "files.\n\nDelete every copy anyway?"}),
    [](const auto& row) { return std::string(row.param.label); });

class ChangedSinceListed : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QStandardPaths::isTestModeEnabled()); }

    ListedState stateOf(const QByteArray& path) {
        FileRecord r;
        EXPECT_TRUE(statPath(path, r));
        return ListedState{r.size, r.writeTime};
    }

    test::HomeTree tree;
};

// A changed file is left alone in either mode, and the run goes on to the
// next file (even into the trash, which otherwise stops at a refusal).
TEST_F(ChangedSinceListed, IsLeftAloneAndTheRestGoes) {
    for (const DeleteMode mode : {DeleteMode::ForGood, DeleteMode::ToTrash}) {
        const QByteArray grown = tree.file("1-grown.bin", 100);
        const QByteArray touched = tree.file("2-touched.bin", 100);
        const QByteArray same = tree.file("3-same.bin", 100);
        const QByteArray unlisted = tree.file("4-unlisted.bin", 100);
        ListedStates listed;
        for (const QByteArray& p : {grown, touched, same})
            listed.insert(p, stateOf(p));
        tree.file("1-grown.bin", 101);
        const struct timespec t[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, touched.constData(), t, 0), 0);

        const DeleteRun run = deleteFiles({grown, touched, same, unlisted}, mode, {}, listed);
        ASSERT_EQ(run.outcomes.size(), 4);
        EXPECT_TRUE(run.outcomes[0].changed);
        EXPECT_TRUE(run.outcomes[1].changed);
        EXPECT_EQ(run.outcomes[0].error, changedSinceListedText());
        EXPECT_FALSE(run.outcomes[2].changed);
        EXPECT_TRUE(run.outcomes[2].removed);
        EXPECT_TRUE(run.outcomes[3].removed);
        EXPECT_EQ(run.removedCount, 2);
        EXPECT_FALSE(run.stopped);
        EXPECT_TRUE(exists(grown));
        EXPECT_TRUE(exists(touched));
        EXPECT_FALSE(exists(same));
        ASSERT_EQ(::unlink(grown.constData()), 0);
        ASSERT_EQ(::unlink(touched.constData()), 0);
    }
}

// A file that changed between its listing and its marking.
struct ListedCase {
    const char* label;
    TimeResolution resolution;
    qint64 addSeconds;   // to the modification time after listing
    qint32 addNanoseconds;
    qint64 addBytes;     // to the size after listing
    bool kept;
};

class ListedBeforeMarking : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { ASSERT_TRUE(QStandardPaths::isTestModeEnabled()); }
    test::HomeTree tree;
};

// Every case is a row of one grid, listed with the file's state as a tool of
// that resolution would list it; each file is then changed and marked (one
// by one, or by Mark all), and the marked files are deleted with the states
// the grid gives.
TEST_P(ListedBeforeMarking, ChangedFilesAreKeptTheRestGo) {
    static const ListedCase cases[] = {
        {"exact_same", TimeResolution::Exact, 0, 0, 0, false},
        {"exact_nanosecond", TimeResolution::Exact, 0, 1, 0, true},
        {"exact_grown", TimeResolution::Exact, 0, 0, 1, true},
        {"seconds_nanosecond", TimeResolution::WholeSeconds, 0, 1, 0, false},
        {"seconds_second", TimeResolution::WholeSeconds, 1, 0, 0, true},
        {"seconds_grown", TimeResolution::WholeSeconds, 0, 0, 1, true},
        {"packed_same_step", TimeResolution::PackedDate, 1, 0, 0, false},
        {"packed_next_step", TimeResolution::PackedDate, 2, 0, 0, true},
        {"packed_grown", TimeResolution::PackedDate, 0, 0, 1, true},
    };
    // An even second, so that one second later still packs alike.
    constexpr timespec listedTime{1'600'000'000, 500'000'000};
    ResultGridModel model(fileHogsLayout());
    std::vector<QByteArray> paths;
    for (const ListedCase& c : cases) {
        const QByteArray path = tree.file(c.label, 100);
        const timespec times[2] = {{0, UTIME_OMIT}, listedTime};
        ASSERT_EQ(utimensat(AT_FDCWD, path.constData(), times, 0), 0);
        FileRecord r;
        ASSERT_TRUE(statPath(path, r));
        ListedState listed = ListedState::exact(r.size, r.writeTime);
        if (c.resolution == TimeResolution::WholeSeconds)
            listed = ListedState::wholeSeconds(r.size, r.writeTime.sec);
        else if (c.resolution == TimeResolution::PackedDate)
            listed = ListedState::packedDate(r.size, r.packedWriteTime());
        model.addToGrid(QString::fromUtf8(c.label), path, {}, listed);
        paths.push_back(path);
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const ListedCase& c = cases[i];
        if (c.addBytes > 0)
            tree.file(c.label, 100 + c.addBytes);
        const timespec times[2] = {
            {0, UTIME_OMIT},
            {listedTime.tv_sec + c.addSeconds, listedTime.tv_nsec + c.addNanoseconds}};
        ASSERT_EQ(utimensat(AT_FDCWD, paths[i].constData(), times, 0), 0);
    }
    if (GetParam()) {
        model.markAll();
    } else {
        for (int row = 1; row <= model.rowCounter(); ++row)
            model.deleteOneFile(row);
    }
    // Marking still counts what it finds now.
    EXPECT_EQ(model.markedCount(), qint64(std::size(cases)));
    EXPECT_EQ(model.markedBytes(), 100 * qint64(std::size(cases)) + 3);

    const DeleteRun run =
        deleteFiles(model.markedPaths(), DeleteMode::ForGood, {}, model.markedStates());
    ASSERT_EQ(run.outcomes.size(), qsizetype(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].label);
        const DeleteOutcome& outcome = run.outcomes[qsizetype(i)];
        EXPECT_EQ(outcome.path, paths[i]);
        EXPECT_EQ(outcome.changed, cases[i].kept);
        EXPECT_EQ(outcome.removed, !cases[i].kept);
        EXPECT_EQ(exists(paths[i]), cases[i].kept);
        if (cases[i].kept) {
            EXPECT_EQ(outcome.error, changedSinceListedText());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Deletion, ListedBeforeMarking, ::testing::Values(false, true),
                         [](const auto& row) {
                             return std::string(row.param ? "MarkAll" : "OneByOne");
                         });

}  // namespace
}  // namespace vantrel
