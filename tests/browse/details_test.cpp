#include "browse/FileDetails.h"
#include "platform/FileRecord.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct ClusterCase {
    const char* name;
    qint64 size;
    qint64 clusterSize;
    const char* expected;
};

class ClusterUse : public ::testing::TestWithParam<ClusterCase> {};

TEST_P(ClusterUse, OneClusterMoreThanTheWholeClustersFilled) {
    DiskGeometry g;
    g.clusterSize = GetParam().clusterSize;
    EXPECT_EQ(clusterUseText(GetParam().size, g), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ClusterUse,
    ::testing::Values(
        ClusterCase{"OneByte", 1, 4096, "Cluster size: 4,096  Clusters used : 1"},
        ClusterCase{"ExactCluster", 4096, 4096, "Cluster size: 4,096  Clusters used : 2"},
        ClusterCase{"Empty", 0, 4096, "Cluster size: 4,096  Clusters used : 1"},
        ClusterCase{"JustUnderTwo", 8191, 4096, "Cluster size: 4,096  Clusters used : 2"},
        ClusterCase{"SmallClusters", 1000000, 512, "Cluster size: 512  Clusters used : 1,954"},
        ClusterCase{"PastFourGiB", (qint64(5) << 30) + 1, 65536,
                    "Cluster size: 65,536  Clusters used : 81,921"},
        ClusterCase{"ZeroClusterSize", 100, 0, "Cluster size: ???  Clusters used : ???"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ClusterUse, NoGeometryIsUnknownNotADivision) {
    EXPECT_EQ(clusterUseText(100, std::nullopt),
              QStringLiteral("Cluster size: ???  Clusters used : ???"));
    EXPECT_EQ(wastedClusterSpace("/no/such/folder/x", 100),
              QStringLiteral("Cluster size: ???  Clusters used : ???"));
}

TEST(ClusterUse, RealFileUsesItsFileSystemsClusterSize) {
    test::TempTree tree;
    const QByteArray path = tree.file("f.bin", 10);
    const auto geometry = diskGeometry(tree.root());
    ASSERT_TRUE(geometry);
    EXPECT_EQ(wastedClusterSpace(path, 10), clusterUseText(10, geometry));
}

TEST(AttributeWords, EachBitInOrder) {
    EXPECT_EQ(attributeWords(0), QString());
    EXPECT_EQ(attributeWords(faReadOnly), QStringLiteral(" ReadOnly"));
    EXPECT_EQ(attributeWords(faHidden | faDirectory), QStringLiteral(" Hidden Directory"));
    EXPECT_EQ(attributeWords(faAnyFile),
              QStringLiteral(" ReadOnly Hidden System VolumeID Directory Archive"));
    EXPECT_EQ(attributeWords(faArchive | faSysFile | 0x40), QStringLiteral(" System Archive"));
}

TEST(DetailsDates, DateTwoBlanksAndRelativeText) {
    const QDateTime now(QDate(2024, 3, 13), QTime(15, 0));  // a Wednesday
    // 11 March 2024, 10:20:30 packed.
    const quint32 monday =
        (quint32(2024 - 1980) << 25) | (3u << 21) | (11u << 16) | (10u << 11) | (20u << 5) | 15u;
    EXPECT_EQ(detailsDateText(monday, now), fileDateText(monday) + QStringLiteral("  This week"));
    EXPECT_EQ(detailsDateText(monday, now, true), fileDateText(monday) + QLatin1Char(' ') +
                                                      fileTimeText(monday) +
                                                      QStringLiteral("  This week"));
    EXPECT_TRUE(fileTimeText(monday).startsWith(QStringLiteral("10:20:30")));
    EXPECT_EQ(detailsDateText(0, now), QStringLiteral("???"));
    EXPECT_EQ(detailsDateText(0, now, true), QStringLiteral("???"));
}

TEST(DetailsRead, PlainFile) {
    test::TempTree tree;
    const QByteArray path = tree.file("report.txt", 1234);
    const QDateTime modified(QDate(2023, 1, 2), QTime(3, 4, 6));
    const QDateTime accessed(QDate(2024, 2, 3), QTime(5, 6, 8));
    tree.setTimes("report.txt", modified, accessed);
    const QDateTime now(QDate(2024, 3, 13), QTime(12, 0));
    const auto d = readFileDetails(path, now);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->fileName, QString::fromUtf8(path));
    EXPECT_EQ(d->fileType, fileTypeDescription(QStringLiteral(".txt")));
    EXPECT_EQ(d->sizeBytes, QStringLiteral("1,234 bytes"));
    EXPECT_EQ(d->size, 1234);
    EXPECT_EQ(d->sizeK, wastedClusterSpace(path, 1234));
    EXPECT_EQ(d->modified, fileDateText(packUnixTime(modified.toSecsSinceEpoch())) +
                               QStringLiteral("  14 months ago"));
    EXPECT_EQ(d->accessed, fileDateText(packUnixTime(accessed.toSecsSinceEpoch())) +
                               QStringLiteral("  6 weeks ago"));
    EXPECT_FALSE(d->created.isEmpty());  // a date, or "???" without birth times
    EXPECT_EQ(d->attributes, QString());
}

TEST(DetailsRead, FolderHiddenFileAndVanishedFile) {
    test::TempTree tree;
    const QDateTime now = QDateTime::currentDateTime();
    const auto folder = readFileDetails(tree.mkdir("sub"), now);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->attributes, QStringLiteral(" Directory"));
    EXPECT_TRUE(isFolderPath(tree.path("sub")));

    const auto hidden = readFileDetails(tree.file(".profile", 3), now);
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden->attributes, QStringLiteral(" Hidden"));
    EXPECT_FALSE(isFolderPath(tree.path(".profile")));

    EXPECT_FALSE(readFileDetails(tree.path("gone.txt"), now));
    EXPECT_FALSE(readFileDetails(QByteArray(), now));
    EXPECT_FALSE(isFolderPath(tree.path("gone")));
}

TEST(DetailsRead, NameThatIsNotUtf8) {
    test::TempTree tree;
    const QByteArray path = tree.file("caf\xE9.dat", 5);
    const auto d = readFileDetails(path, QDateTime::currentDateTime());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->sizeBytes, QStringLiteral("5 bytes"));
    EXPECT_EQ(d->fileType, fileTypeDescription(QStringLiteral(".dat")));
    EXPECT_TRUE(d->fileName.endsWith(QStringLiteral(".dat")));
}

TEST(DetailsPrint, LinesInOrderEachDateItsOwn) {
    FileDetails d;
    d.fileName = QStringLiteral("/data/a.txt");
    d.fileType = QStringLiteral("Plain text document");
    d.sizeBytes = QStringLiteral("10 bytes");
    d.sizeK = QStringLiteral("Cluster size: 4,096  Clusters used : 1");
    d.created = QStringLiteral("1/2/2020  4 years ago");
    d.modified = QStringLiteral("3/4/2021  3 years ago");
    d.accessed = QStringLiteral("3/13/2024  Today");
    d.attributes = QStringLiteral(" ReadOnly");
    const QStringList version{QStringLiteral("Company: \tX"), QStringLiteral("Copyright: \t\tY")};
    const QStringList expected{
        QStringLiteral("Name of file : \t/data/a.txt"),
        QStringLiteral("Type of file : \tPlain text document"),
        QStringLiteral(" "),
        QStringLiteral("Size of file : \t10 bytes"),
        QStringLiteral("               \tCluster size: 4,096  Clusters used : 1"),
        QStringLiteral(" "),
        QStringLiteral("Creation date     : \t1/2/2020  4 years ago"),
        QStringLiteral("Modification date : \t3/4/2021  3 years ago"),
        QStringLiteral("Access date       : \t3/13/2024  Today"),
        QStringLiteral(" "),
        QStringLiteral("Attributes : \t ReadOnly"),
        QStringLiteral(" "),
        QStringLiteral("Company: \tX"),
        QStringLiteral("Copyright: \t\tY"),
    };
    EXPECT_EQ(detailsPrintLines(d, version), expected);
    EXPECT_EQ(detailsPrintTitle(QStringLiteral("/data/a.txt")),
              QStringLiteral("File details of /data/a.txt"));
}

}  // namespace
}  // namespace vantrel
