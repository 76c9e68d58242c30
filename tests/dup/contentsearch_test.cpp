#include "dup/ContentSearch.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <optional>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

class ContentSearchTest : public ::testing::Test {
protected:
    QByteArray at(const char* name) const { return QFile::encodeName(m_dir.filePath(name)); }

    QByteArray write(const char* name, const QByteArray& contents) {
        QFile f(m_dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return at(name);
    }

    // Hands a path to the search as the walk would have seen it.
    void add(ContentSearch& s, const QByteArray& path) {
        FileRecord r;
        ASSERT_TRUE(statPath(path, r)) << path.constData();
        EXPECT_TRUE(s.addPath(path, r));
    }

    // The groups as lists of names, hard links with a trailing "+".
    static std::vector<std::vector<QByteArray>> names(const ContentSearch& s,
                                                      const ContentSearch::Result& r) {
        std::vector<std::vector<QByteArray>> out;
        for (const ContentSearch::Group& g : r.groups) {
            out.emplace_back();
            for (const ContentSearch::Member& m : g.members) {
                const QByteArray p = s.path(m.file);
                out.back().push_back(p.mid(p.lastIndexOf('/') + 1) + (m.hardLink ? "+" : ""));
            }
        }
        return out;
    }
    using Groups = std::vector<std::vector<QByteArray>>;

    QTemporaryDir m_dir;
};

QByteArray filled(qint64 size, char c) {
    return QByteArray(size, c);
}

TEST_F(ContentSearchTest, GroupsIdenticalFilesLargestWasteFirstAndNeverReadsUniqueSizes) {
    ContentSearch s;
    // Three copies of 10,000 bytes (waste 20,000), two of 15,000 (15,000),
    // one of the same size that differs only in its middle (its samples
    // equal theirs), and a file whose size nobody shares.
    QByteArray middle = filled(15000, 'b');
    middle[7500] = 'x';
    for (const char* n : {"c1", "c2", "c3"})
        add(s, write(n, filled(10000, 'a')));
    for (const char* n : {"b2", "b1"})
        add(s, write(n, filled(15000, 'b')));
    add(s, write("bmiddle", middle));
    add(s, write("unique", filled(50000, 'u')));

    const ContentSearch::Result r = s.finish();
    EXPECT_EQ(names(s, r), (Groups{{"c1", "c2", "c3"}, {"b1", "b2"}}));
    EXPECT_EQ(r.candidateBytes, 3 * 10000 + 3 * 15000);
    EXPECT_LE(r.bytesRead, r.candidateBytes + 6 * 8192);
    EXPECT_GE(r.bytesRead, 3 * 10000 + 3 * 15000);
    EXPECT_EQ(r.notRead, 0);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.groups[0].wastedBytes(), 20000);
}

TEST_F(ContentSearchTest, SmallFilesAndEmptyFiles) {
    ContentSearch s;
    add(s, write("s1", "hello"));
    add(s, write("s2", "hello"));
    add(s, write("s3", "world"));
    add(s, write("e1", ""));
    add(s, write("e2", ""));
    const ContentSearch::Result r = s.finish();
    // Empty files waste nothing, so they come last, and are not read.
    EXPECT_EQ(names(s, r), (Groups{{"s1", "s2"}, {"e1", "e2"}}));
    EXPECT_EQ(r.bytesRead, 15);
}

TEST_F(ContentSearchTest, HardLinksAreOneFile) {
    ContentSearch s;
    const QByteArray a = write("a", filled(9000, 'h'));
    ASSERT_EQ(link(a.constData(), at("a-link").constData()), 0);
    add(s, a);
    add(s, at("a-link"));
    // Two names of one file only: no group.
    ContentSearch alone;
    add(alone, a);
    add(alone, at("a-link"));
    EXPECT_TRUE(alone.finish().groups.empty());

    add(s, write("copy", filled(9000, 'h')));
    const ContentSearch::Result r = s.finish();
    EXPECT_EQ(names(s, r), (Groups{{"a", "a-link+", "copy"}}));
    EXPECT_EQ(r.groups[0].distinctFiles, 2);
    EXPECT_EQ(r.groups[0].wastedBytes(), 9000);
}

TEST_F(ContentSearchTest, BindMountedPathIsOneFile) {
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("src"));
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("bound"));
    write("src/f", filled(9000, 'm'));
    const QByteArray src = at("src");
    const QByteArray bound = at("bound");
    const int outcome = test::inMountNamespace("no groups", [&]() -> QByteArray {
        if (mount(src.constData(), bound.constData(), nullptr, MS_BIND, nullptr) != 0)
            return "SKIP";
        ContentSearch s;
        for (const QByteArray& p : {src + "/f", bound + "/f"}) {
            FileRecord r;
            if (!statPath(p, r) || !s.addPath(p, r))
                return "not added: " + p;
        }
        const ContentSearch::Result r = s.finish();
        return r.groups.empty() ? "no groups" : "grouped";
    });
    if (outcome == 2)
        GTEST_SKIP() << "bind mounts are not permitted here";
    EXPECT_EQ(outcome, 0);
}

// Files that are no longer what the walk saw, or cannot be read, are left
// out; their equal partners then have no group.
struct BadCase {
    const char* what;
    void (*spoil)(const QByteArray& path);
    bool needsPermissionChecks;
    friend std::ostream& operator<<(std::ostream& os, const BadCase& c) { return os << c.what; }
};

class BadInput : public ContentSearchTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadInput, IsNotRead) {
    std::optional<test::PermissionChecks> checks;
    if (GetParam().needsPermissionChecks && !checks.emplace().enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    ContentSearch s;
    const QByteArray good1 = write("good1", filled(20000, 'g'));
    const QByteArray good2 = write("good2", filled(20000, 'g'));
    const QByteArray bad = write("bad", filled(20000, 'g'));
    add(s, good1);
    add(s, good2);
    add(s, bad);
    GetParam().spoil(bad);
    const ContentSearch::Result r = s.finish();
    EXPECT_EQ(names(s, r), (Groups{{"good1", "good2"}}));
    EXPECT_EQ(r.notRead, 1);
    chmod(bad.constData(), 0644);
}

INSTANTIATE_TEST_SUITE_P(
    ContentSearch, BadInput,
    ::testing::Values(
        BadCase{"shrunk after the scan",
                [](const QByteArray& p) { ASSERT_EQ(truncate(p.constData(), 10000), 0); }, false},
        BadCase{"rewritten with a new time",
                [](const QByteArray& p) {
                    const struct timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
                    ASSERT_EQ(utimensat(AT_FDCWD, p.constData(), times, 0), 0);
                },
                false},
        BadCase{"replaced by a fifo",
                [](const QByteArray& p) {
                    ASSERT_EQ(unlink(p.constData()), 0);
                    ASSERT_EQ(mkfifo(p.constData(), 0644), 0);
                },
                false},
        BadCase{"replaced by another file of the same size",
                [](const QByteArray& p) {
                    ASSERT_EQ(unlink(p.constData()), 0);
                    QFile f(QFile::decodeName(p));
                    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                    f.write(filled(20000, 'g'));
                },
                false},
        BadCase{"unreadable",
                [](const QByteArray& p) { ASSERT_EQ(chmod(p.constData(), 0), 0); }, true}));

TEST_F(ContentSearchTest, SparsePairDifferingInTheLastByteIsToldApartByItsEnd) {
    constexpr qint64 size = qint64(5) << 30;
    ContentSearch s;
    for (const char* n : {"sparse1", "sparse2"}) {
        const QByteArray p = at(n);
        const int fd = open(p.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const char last = n[6];
        if (ftruncate(fd, size) != 0 || pwrite(fd, &last, 1, size - 1) != 1) {
            close(fd);
            GTEST_SKIP() << "no room for a 5 GiB sparse file";
        }
        close(fd);
        add(s, p);
    }
    const ContentSearch::Result r = s.finish();
    EXPECT_TRUE(r.groups.empty());
    EXPECT_EQ(r.bytesRead, 4 * 4096);
    EXPECT_EQ(r.candidateBytes, 2 * size);
}

// Sparse files with equal ends: the middle decides, and the holes are
// hashed as zeros without being read.
TEST_F(ContentSearchTest, SparseFilesDifferingInTheMiddle) {
    constexpr qint64 size = qint64(64) << 20;
    ContentSearch s;
    for (const char* n : {"mid1", "mid2", "mid3"}) {
        const QByteArray p = at(n);
        const int fd = open(p.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const char middle = n[3] == '3' ? 'e' : 'd';
        ASSERT_EQ(ftruncate(fd, size), 0);
        ASSERT_EQ(pwrite(fd, &middle, 1, size / 2), 1);
        close(fd);
        add(s, p);
    }
    const ContentSearch::Result r = s.finish();
    EXPECT_EQ(names(s, r), (Groups{{"mid1", "mid2"}}));
    EXPECT_LT(r.bytesRead, size);
}

TEST_F(ContentSearchTest, CancelStopsBeforeReading) {
    ContentSearch s;
    add(s, write("x1", filled(10000, 'x')));
    add(s, write("x2", filled(10000, 'x')));
    std::atomic<bool> cancel{true};
    qint64 lastRead = -1;
    qint64 lastTotal = -1;
    const ContentSearch::Result r =
        s.finish(&cancel, [&](qint64 read, qint64 total) { lastRead = read, lastTotal = total; });
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.groups.empty());
    EXPECT_EQ(r.bytesRead, 0);
    EXPECT_EQ(lastRead, 0);
    EXPECT_EQ(lastTotal, 20000);
}

TEST_F(ContentSearchTest, SubsetsSplitAGroupAndFlagChangedFiles) {
    const QByteArray a1 = write("a1", filled(12000, 'a'));
    const QByteArray a2 = write("a2", filled(12000, 'a'));
    QByteArray mid = filled(12000, 'a');
    mid[6000] = 'z';
    const QByteArray m1 = write("m1", mid);
    const QByteArray m2 = write("m2", mid);
    const QByteArray small = write("small", "a");
    const QByteArray gone = at("gone");
    ASSERT_EQ(link(a1.constData(), at("a1-link").constData()), 0);
    auto file = [](const QByteArray& p, qint64 size) {
        ContentCheckFile f;
        f.path = p;
        f.size = size;
        FileRecord r;
        if (statPath(p, r))
            f.modified = r.writeTime;
        return f;
    };
    std::vector<ContentCheckFile> files = {file(a1, 12000),    file(m1, 12000), file(a2, 12000),
                                           file(m2, 12000),    file(small, 1),  file(gone, 12000),
                                           file(at("a1-link"), 12000), file(m1, 11999)};
    const std::vector<int> subsets = contentSubsets(files);
    ASSERT_EQ(subsets.size(), files.size());
    EXPECT_EQ(subsets[0], subsets[2]);
    EXPECT_EQ(subsets[0], subsets[6]);  // a hard link shares its file's subset
    EXPECT_EQ(subsets[1], subsets[3]);
    EXPECT_NE(subsets[0], subsets[1]);
    EXPECT_GE(subsets[0], 0);
    EXPECT_GE(subsets[1], 0);
    EXPECT_GE(subsets[4], 0);  // alone of its size: a subset of its own
    EXPECT_NE(subsets[4], subsets[0]);
    EXPECT_EQ(subsets[5], -1);  // vanished
    EXPECT_EQ(subsets[7], -1);  // not the size the caller saw
}

}  // namespace
}  // namespace vantrel
