// The browser's file listing: which entries of a folder become rows (and
// that nothing is opened), their exact paths and texts, name order, 64-bit
// sizes, folders that cannot be read, and the worker that hands the rows
// over in batches.

#include "browse/BrowseListing.h"
#include "browse/FolderLister.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QtTest/QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {
namespace {

using namespace Qt::StringLiterals;

QStringList names(const std::vector<GridRow>& rows) {
    QStringList out;
    for (const GridRow& row : rows)
        out.append(row.cells.value(kColFilename));
    return out;
}

// A unix socket bound at `path`; false when the path is too long for one.
bool makeSocket(const QByteArray& path) {
    sockaddr_un address{};
    if (size_t(path.size()) >= sizeof(address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

FolderListingRequest request(const QByteArray& folder, const char* mask = "*.*",
                             bool showHidden = false) {
    FolderListingRequest r;
    r.folder = folder;
    r.mask = Wildcard(mask);
    r.showHidden = showHidden;
    return r;
}

// Regular files only, in name order ignoring case: no folders, links,
// fifos or sockets (listing a folder with a fifo returns, so the fifo was
// never opened), no hidden files unless asked; names kept as bytes.
TEST(BrowseListing, ListsRegularFilesOnlyByExactPath) {
    test::TempTree tree;
    tree.file("b.txt", 2000);
    tree.file("A.doc", 10);
    tree.file("README", 1);
    tree.file("caf\xE9.txt", 5);
    tree.file("line\nbreak.txt", 7);
    tree.file(".profile", 3);
    tree.file("sub/inner.txt", 4);
    tree.symlink("link.txt", tree.path("b.txt"));
    tree.fifo("pipe.txt");
    const bool socket = makeSocket(tree.path("sock.txt"));

    FolderFiles all = readFolderFiles(request(tree.root()));
    ASSERT_EQ(all.error, 0);
    EXPECT_EQ(names(all.rows), (QStringList{"A.doc", "b.txt", u"caf\uFFFD.txt"_s,
                                            u"line\uFFFDbreak.txt"_s, "README"}));
    EXPECT_EQ(all.files, 5);
    EXPECT_EQ(all.bytes, 2023);
    EXPECT_EQ(all.rows[2].path, tree.path("caf\xE9.txt"));
    EXPECT_EQ(all.rows[3].path, tree.path("line\nbreak.txt"));
    // Size, type, and no type for a name without an extension.
    EXPECT_EQ(all.rows[1].cells[kColSize], u"2,000"_s);
    EXPECT_EQ(all.rows[1].cells[kColType], fileTypeDescription(u".txt"_s));
    EXPECT_FALSE(all.rows[1].cells[kColType].isEmpty());
    EXPECT_TRUE(all.rows[4].cells[kColType].isEmpty());
    if (!socket)
        std::fprintf(stderr, "note: no socket could be made in %s\n", tree.root().constData());

    EXPECT_EQ(names(readFolderFiles(request(tree.root(), "*.txt")).rows),
              (QStringList{"b.txt", u"caf\uFFFD.txt"_s, u"line\uFFFDbreak.txt"_s}));
    EXPECT_EQ(names(readFolderFiles(request(tree.root(), "*.*", true)).rows),
              (QStringList{".profile", "A.doc", "b.txt", u"caf\uFFFD.txt"_s,
                           u"line\uFFFDbreak.txt"_s, "README"}));
    FolderListingRequest descending = request(tree.root(), "*.doc;readme");
    descending.namesDescending = true;
    EXPECT_EQ(names(readFolderFiles(descending).rows), (QStringList{"README", "A.doc"}));
}

// Sizes, totals and their texts are 64-bit: a 5 GiB file counts whole.
TEST(BrowseListing, SizesAre64Bit) {
    test::TempTree tree;
    const QByteArray big = tree.file("big.iso", 0);
    ASSERT_EQ(::truncate(big.constData(), qint64(5) << 30), 0);
    tree.file("small.txt", 1);
    const FolderFiles files = readFolderFiles(request(tree.root()));
    ASSERT_EQ(files.rows.size(), 2u);
    EXPECT_EQ(files.rows[0].cells[kColSize], u"5,368,709,120"_s);
    EXPECT_EQ(files.bytes, (qint64(5) << 30) + 1);
    EXPECT_EQ(files.rows[0].values.last().value, double(qint64(5) << 30));
}

// Paths are never cut: a folder path far beyond 255 bytes and a name of
// 255 bytes keep every byte, and marking the row finds the file.
TEST(BrowseListing, LongPathsKeepEveryByte) {
    test::TempTree tree;
    QByteArray deep;
    for (int i = 0; i < 4; ++i)
        deep += (i ? "/" : "") + QByteArray(200, char('a' + i));
    tree.mkdir(deep);
    const QByteArray name = QByteArray(251, 'n') + ".txt";
    const QByteArray file = tree.file(deep + '/' + name, 42);
    ASSERT_GT(file.size(), 800);
    const FolderFiles files = readFolderFiles(request(tree.path(deep)));
    ASSERT_EQ(files.rows.size(), 1u);
    EXPECT_EQ(files.rows[0].path, file);
    ResultGridModel model(browseGridLayout());
    model.addToGrid(files.rows[0]);
    model.deleteOneFile(1);
    EXPECT_EQ(model.markedCount(), 1);
    EXPECT_EQ(model.markedBytes(), 42);
    EXPECT_EQ(model.markedPaths(), QList<QByteArray>{file});
}

// A folder that cannot be read gives its reason and no rows.
TEST(BrowseListing, UnreadableOrMissingFolderGivesTheReason) {
    test::TempTree tree;
    tree.file("gone/x.txt", 1);
    EXPECT_EQ(readFolderFiles(request(tree.path("missing"))).error, ENOENT);
    EXPECT_EQ(readFolderFiles(request(tree.path("gone/x.txt"))).error, ENOTDIR);
    tree.symlink("via", tree.path("gone"));
    // A link in place of the folder is not followed (O_NOFOLLOW with
    // O_DIRECTORY gives ENOTDIR).
    EXPECT_EQ(readFolderFiles(request(tree.path("via"))).error, ENOTDIR);
    FolderListingRequest root = request(tree.path("via"));
    root.followLink = true;
    EXPECT_EQ(readFolderFiles(root).files, 1);

    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    tree.chmod("gone", 0);
    const FolderFiles locked = readFolderFiles(request(tree.path("gone")));
    tree.chmod("gone", 0755);
    EXPECT_EQ(locked.error, EACCES);
    EXPECT_TRUE(locked.rows.empty());
}

// The worker hands the rows over in batches, the first one small; a new
// listing drops the one before it, whose rows never arrive afterwards.
TEST(FolderLister, BatchesInNameOrderAndANewListingDropsTheOld) {
    test::TempTree tree;
    for (int i = 0; i < 25; ++i)
        tree.file(QByteArray("f") + (i < 10 ? "0" : "") + QByteArray::number(i), i);
    tree.file("other/only.txt", 1);
    FolderLister lister;
    lister.setBatchRows(3, 10);
    QList<int> batches;
    QStringList order;
    quint64 wrongId = 0;
    quint64 expected = 0;
    QObject::connect(&lister, &FolderLister::rowsReady, &lister,
                     [&](quint64 id, const std::vector<GridRow>& rows) {
                         if (id != expected)
                             wrongId = id;
                         batches.append(int(rows.size()));
                         order += names(rows);
                     });
    QSignalSpy finished(&lister, &FolderLister::finished);

    const quint64 dropped = lister.start(request(tree.path("other")));
    expected = lister.start(request(tree.root()));
    EXPECT_NE(dropped, expected);
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_EQ(finished.size(), 1);
    const auto summary = finished.first().first().value<ListingSummary>();
    EXPECT_EQ(summary.id, expected);
    EXPECT_EQ(summary.files, 25);
    EXPECT_EQ(summary.bytes, 300);
    EXPECT_EQ(wrongId, 0u);
    EXPECT_EQ(batches, (QList<int>{3, 10, 10, 2}));
    EXPECT_EQ(order.first(), u"f00"_s);
    EXPECT_EQ(order.last(), u"f24"_s);
    EXPECT_FALSE(lister.isRunning());

    // A folder that cannot be read ends at once with its reason.
    lister.start(request(tree.path("none")));
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished.last().first().value<ListingSummary>().error, ENOENT);
}

}  // namespace
}  // namespace vantrel
