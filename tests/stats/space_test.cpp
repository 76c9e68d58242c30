// Engine tests of drive space: the figures of the "Space" page (one unit for
// every bar, the Total bar, file systems counted once, the reserved blocks)
// and asking for a root's space without hanging on a mount that does not
// answer.
#include "stats/SpaceFigures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <atomic>
#include <future>
#include <thread>

namespace vantrel {
namespace {

// A file system of `capacityKb` KB in 4 KiB blocks with `freeKb` free (and
// `reservedKb` of it kept back), on `device`.
VolumeSpace volume(qint64 capacityKb, qint64 freeKb, quint64 device, qint64 reservedKb = 0) {
    VolumeSpace v;
    v.blockSize = 4096;
    v.totalBlocks = capacityKb / 4;
    v.freeBlocks = (freeKb + reservedKb) / 4;
    v.availableBlocks = freeKb / 4;
    v.device = device;
    return v;
}

TEST(SpaceFigures, EveryBarSharesTheUnitOfTheLargest) {
    // A 5,120 KB tmpfs beside a 100 GB disk: both in MB, the tmpfs as 5 MB.
    const SpaceFigures f = spaceFigures({{"/run/small", volume(5120, 1024, 1)},
                                         {"/", volume(100 * 1024 * 1024, 50 * 1024 * 1024, 2)}});
    EXPECT_EQ(f.unit, SpaceFigures::Unit::MB);
    ASSERT_EQ(f.bars.size(), 3);
    EXPECT_DOUBLE_EQ(f.bars[0].capacity(), 5.0);
    EXPECT_DOUBLE_EQ(f.bars[0].free, 1.0);
    EXPECT_DOUBLE_EQ(f.bars[1].capacity(), 100.0 * 1024);
    EXPECT_EQ(f.bars[2].label, "Total");
    EXPECT_DOUBLE_EQ(f.bars[2].capacity(), 100.0 * 1024 + 5);

    // Small drives alone stay in KB, by the largest bar (here the Total).
    const struct {
        QList<qint64> capacitiesKb;
        SpaceFigures::Unit unit;
    } cases[] = {{{9996}, SpaceFigures::Unit::KB},
                 {{10000}, SpaceFigures::Unit::MB},
                 {{4000, 4000}, SpaceFigures::Unit::KB},
                 {{6000, 6000}, SpaceFigures::Unit::MB}};
    for (const auto& c : cases) {
        QList<SpaceDrive> drives;
        for (qint64 kb : c.capacitiesKb)
            drives.append({"/d" + QString::number(drives.size()),
                           volume(kb, 0, quint64(drives.size()) + 10)});
        EXPECT_EQ(spaceFigures(drives).unit, c.unit) << c.capacitiesKb.first();
    }
}

TEST(SpaceFigures, TheTotalBarWheneverTwoOrMoreDrivesShow) {
    // The summed free space equals the last drive's: the Total bar still shows.
    SpaceFigures f = spaceFigures({{"/full", volume(40000, 0, 1)}, {"/b", volume(40000, 8000, 2)}});
    ASSERT_EQ(f.bars.size(), 3);
    EXPECT_EQ(f.bars[2].label, "Total");
    EXPECT_DOUBLE_EQ(f.bars[2].free, f.bars[1].free);
    f = spaceFigures({{"/only", volume(40000, 8000, 1)}});
    EXPECT_EQ(f.bars.size(), 1);
    f = spaceFigures({});
    EXPECT_TRUE(f.bars.isEmpty());
    EXPECT_EQ(f.capacityBytes, 0);
}

TEST(SpaceFigures, AFileSystemCountsOnceAndTheSegmentsAddUp) {
    // "/" and a folder on it; then a second file system with reserved blocks
    // and more clusters than 32 bits can count.
    VolumeSpace big;
    big.blockSize = 4096;
    big.totalBlocks = qint64(3) << 32;
    big.freeBlocks = qint64(1) << 32;
    big.availableBlocks = (qint64(1) << 32) - 1000;
    big.device = 9;
    const SpaceFigures f = spaceFigures({{"/", volume(80000, 20000, 1, 4000)},
                                         {"/home/ann", volume(80000, 20000, 1, 4000)},
                                         {"/data", big}});
    EXPECT_EQ(f.capacityBytes, 80000 * 1024 + big.capacityBytes());
    EXPECT_EQ(f.freeBytes, 20000 * 1024 + big.freeBytes());
    EXPECT_EQ(f.reservedBytes, 4000 * 1024 + 1000 * 4096);
    EXPECT_EQ(f.usedBytes + f.reservedBytes + f.freeBytes, f.capacityBytes);
    EXPECT_EQ(big.capacityBytes(), qint64(3) << 44);
    ASSERT_EQ(f.bars.size(), 4);
    for (const SpaceBar& b : f.bars)
        EXPECT_GT(b.capacity(), 0) << b.label.toStdString();
    EXPECT_NEAR(f.bars[3].capacity(), f.inUnit(f.capacityBytes), 1e-6);
    EXPECT_EQ(distinctCapacity({volume(80000, 0, 1), volume(80000, 0, 1), volume(100, 0, 2)}),
              80100 * 1024);
}

TEST(SpaceFigures, TextsAndTheLowSpaceWarning) {
    const SpaceFigures f = spaceFigures({{"/", volume(2000000, 50000, 1)}});
    EXPECT_EQ(f.unitText(), "MB");
    EXPECT_EQ(f.amountText(f.capacityBytes), "1,953");
    EXPECT_TRUE(f.lowOnSpace());
    EXPECT_FALSE(spaceFigures({{"/", volume(2000000, 200000, 1)}}).lowOnSpace());
}

class VolumeProbeTest : public ::testing::Test {
protected:
    void TearDown() override { setVolumeQuery(nullptr); }
};

TEST_F(VolumeProbeTest, TheRealQueryAgreesWithStat) {
    test::TempTree tree;
    const QList<VolumeProbe> probes =
        probeVolumes({tree.root(), tree.path("missing")}, std::chrono::seconds(30));
    ASSERT_EQ(probes.size(), 2);
    ASSERT_TRUE(probes[0].ready());
    EXPECT_EQ(probes[1].state, VolumeProbe::State::NotReady);
    // stat -f: fundamental block size, total blocks (in those), free blocks.
    QProcess p;
    p.start(QStringLiteral("stat"), {QStringLiteral("-f"), QStringLiteral("-c"),
                                     QStringLiteral("%S %b"), QFile::decodeName(tree.root())});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    ASSERT_EQ(f.size(), 2);
    EXPECT_EQ(probes[0].space.blockSize, f[0].toLongLong());
    EXPECT_EQ(probes[0].space.totalBlocks, f[1].toLongLong());
    EXPECT_GT(probes[0].space.capacityBytes(), 0);
}

TEST_F(VolumeProbeTest, AMountThatDoesNotAnswerIsGivenUpWithoutHanging) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> asked{0};
    setVolumeQuery([&, released](const QByteArray& root) -> std::optional<VolumeSpace> {
        ++asked;
        if (root == "/mnt/hung")
            released.wait();
        return volume(1000, 500, 1);
    });
    QList<VolumeProbe> probes =
        probeVolumes({"/mnt/hung", "/home"}, std::chrono::milliseconds(100));
    EXPECT_EQ(probes[0].state, VolumeProbe::State::NoAnswer);
    EXPECT_TRUE(probes[1].ready());
    EXPECT_EQ(asked.load(), 2);
    // While the first query still hangs, the root is not asked again.
    probes = probeVolumes({"/mnt/hung"}, std::chrono::milliseconds(100));
    EXPECT_EQ(probes[0].state, VolumeProbe::State::NoAnswer);
    EXPECT_EQ(asked.load(), 2);
    // Once it returns, the root is asked afresh.
    release.set_value();
    for (int i = 0; i < 3000 && !probes[0].ready(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        probes = probeVolumes({"/mnt/hung"}, std::chrono::seconds(30));
    }
    EXPECT_TRUE(probes[0].ready());
}

}  // namespace
}  // namespace vantrel
