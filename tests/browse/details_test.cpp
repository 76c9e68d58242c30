#include "browse/FileDetails.h"
#include "platform/FileRecord.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace vantrel {
namespace {

using namespace Qt::StringLiterals;

// Whole clusters, rounded up: an empty file fills none, a file of exactly
// one cluster one; beside them the rest of the last cluster is wasted.
TEST(ClusterUse, WholeClustersRoundedUpAndTheirWaste) {
    const struct {
        qint64 size, clusterSize;
        const char* clusters;
        const char* waste;
    } cases[] = {
        {1, 4096, "Cluster size: 4,096  Clusters used : 1", "Wasted : 4,095 bytes"},
        {0, 4096, "Cluster size: 4,096  Clusters used : 0", "Wasted : 0 bytes"},
        {4096, 4096, "Cluster size: 4,096  Clusters used : 1", "Wasted : 0 bytes"},
        {4097, 4096, "Cluster size: 4,096  Clusters used : 2", "Wasted : 4,095 bytes"},
        {(qint64(5) << 30) + 1, 65536, "Cluster size: 65,536  Clusters used : 81,921",
         "Wasted : 65,535 bytes"},
        // No division by zero; no waste without a cluster size.
        {100, 0, "Cluster size: ???  Clusters used : ???", ""},
    };
    for (const auto& c : cases) {
        DiskGeometry g;
        g.clusterSize = c.clusterSize;
        EXPECT_EQ(clusterUseText(c.size, g), QString::fromUtf8(c.clusters)) << c.size;
        const QString waste = QString::fromUtf8(c.waste);
        EXPECT_EQ(diskUseText(c.size, 8192, g),
                  (waste.isEmpty() ? QString() : waste + u"  "_s) + u"On disk : 8,192 bytes"_s);
    }
    const QString unknown = u"Cluster size: ???  Clusters used : ???"_s;
    EXPECT_EQ(clusterUseText(100, std::nullopt), unknown);
    EXPECT_EQ(wastedClusterSpace("/no/such/folder/x", 100), unknown);
    EXPECT_EQ(diskUseText(100, 0, std::nullopt), u"On disk : 0 bytes"_s);
}

// Beside the cluster use, what the disk really spends: st_blocks x 512,
// which for a sparse file of a gigabyte is next to nothing. The printout
// has both on one line.
TEST(ClusterUse, RealAllocationBesideIt) {
    test::TempTree tree;
    const auto geometry = diskGeometry(tree.root());
    ASSERT_TRUE(geometry);
    const QByteArray small = tree.file("f.bin", 10);
    const QByteArray sparse = tree.file("sparse.bin", 0);
    ASSERT_EQ(::truncate(sparse.constData(), qint64(1) << 30), 0);
    for (const QByteArray& path : {small, sparse}) {
        FileRecord r;
        ASSERT_TRUE(statPath(path, r));
        const auto d = readFileDetails(path, QDateTime::currentDateTime());
        ASSERT_TRUE(d);
        EXPECT_EQ(d->sizeK, clusterUseText(r.size, geometry));
        EXPECT_EQ(wastedClusterSpace(path, r.size), d->sizeK);
        EXPECT_TRUE(d->diskUse.endsWith(u"  On disk : "_s + numberText(r.allocated) + u" bytes"_s))
            << d->diskUse.toStdString();
        EXPECT_EQ(d->diskUse, diskUseText(r.size, r.allocated, geometry));
        EXPECT_EQ(detailsPrintLines(*d, {})[4],
                  QString(15, u' ') + u'\t' + d->sizeK + u"  "_s + d->diskUse);
        if (path == sparse) {
            EXPECT_LT(r.allocated, qint64(1) << 20);
        }
    }
}

TEST(DetailsTexts, AttributesAndDates) {
    EXPECT_EQ(attributeWords(faAnyFile), u" ReadOnly Hidden System VolumeID Directory Archive"_s);
    EXPECT_EQ(attributeWords(faArchive | faSysFile | 0x40), u" System Archive"_s);
    const QDateTime now(QDate(2024, 3, 13), QTime(15, 0));  // a Wednesday
    const quint32 monday =
        packUnixTime(QDateTime(QDate(2024, 3, 11), QTime(10, 20, 30)).toSecsSinceEpoch());
    EXPECT_EQ(detailsDateText(monday, now, true),
              fileDateText(monday) + u' ' + fileTimeText(monday) + u"  This week"_s);
    EXPECT_EQ(detailsDateText(0, now), u"???"_s);
}

TEST(DetailsRead, FilesFoldersAndVanishedFiles) {
    test::TempTree tree;
    const QByteArray path = tree.file("caf\xE9.txt", 1234);  // a name that is not UTF-8
    tree.setTimes("caf\xE9.txt", QDateTime(QDate(2023, 1, 2), QTime(3, 4, 6)),
                  QDateTime(QDate(2024, 2, 3), QTime(5, 6, 8)));
    const QDateTime now(QDate(2024, 3, 13), QTime(12, 0));
    const auto d = readFileDetails(path, now);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->modified.endsWith(u"  14 months ago"_s)) << d->modified.toStdString();
    EXPECT_TRUE(d->accessed.endsWith(u"  6 weeks ago"_s)) << d->accessed.toStdString();
    EXPECT_EQ(readFileDetails(tree.mkdir("sub"), now)->attributes, u" Directory"_s);
    EXPECT_EQ(readFileDetails(tree.file(".profile", 3), now)->attributes, u" Hidden"_s);
    EXPECT_FALSE(readFileDetails(tree.path("gone.txt"), now) || readFileDetails({}, now));
}

// A listed file replaced by a fifo without a writer: its details and (no)
// version strings come at once, nothing opens it in a way that waits.
TEST(DetailsRead, FifoWithoutWaiting) {
    test::TempTree tree;
    const QByteArray fifo = tree.fifo("listed.exe");
    const auto d = readFileDetails(fifo, QDateTime::currentDateTime());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->attributes, u" System"_s);
    EXPECT_TRUE(d->diskUse.endsWith(u"On disk : 0 bytes"_s)) << d->diskUse.toStdString();
    EXPECT_TRUE(versionLines(fifo, true).isEmpty());
}

TEST(DetailsPrint, LinesInOrderEachDateItsOwn) {
    FileDetails d{u"/data/a.txt"_s, u"Text"_s,     u"10 bytes"_s,         u"Clusters"_s,
                  u"1/2/2020"_s,    u"3/4/2021"_s, u"3/13/2024  Today"_s, u" ReadOnly"_s};
    const QString expected =
        u"Name of file : \t/data/a.txt|Type of file : \tText| |Size of file : \t10 bytes|"
        u"               \tClusters| |Creation date     : \t1/2/2020|"
        u"Modification date : \t3/4/2021|Access date       : \t3/13/2024  Today| |"
        u"Attributes : \t ReadOnly| |Company: \tX"_s;
    EXPECT_EQ(detailsPrintLines(d, {u"Company: \tX"_s}).join(u'|'), expected);
    EXPECT_EQ(detailsPrintTitle(u"/data/a.txt"_s), u"File details of /data/a.txt"_s);
}

}  // namespace
}  // namespace vantrel
