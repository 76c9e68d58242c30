#include "dup/Crc32.h"
#include "dup/FileMapping.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <libdeflate.h>

#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <vector>

namespace vantrel {
namespace {

using test::TempTree;

quint32 tableCrc(const QByteArray& bytes) {
    return ~UpdateCRC(0xFFFFFFFFu, bytes.constData(), std::size_t(bytes.size()));
}

quint32 fileCrc(TCRC32Calc& calc, const QByteArray& path) {
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot open " << path.constData();
    return calc.CalcFileCRC(file);
}

// Runs `body`, which must raise E with exactly `message`.
template <typename E, typename Body>
void expectError(Body body, const char* message) {
    try {
        body();
        ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const E& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

// Known values, then the table, libdeflate and the file checksum agree on
// lengths around the word widths and the read block size.
TEST(Crc32, KnownValuesAndLengths) {
    TempTree tree;
    TCRC32Calc calc;
    for (const auto& [bytes, crc] : {std::pair{QByteArray("123456789"), 0xCBF43926u},
                                     std::pair{QByteArray(1, '\0'), 0xD202EF8Du}}) {
        EXPECT_EQ(tableCrc(bytes), crc);
        EXPECT_EQ(fileCrc(calc, tree.fileWith("f", bytes)), crc);
    }
    for (const qsizetype length :
         {1, 3, 7, 8, 9, 63, 64, 65, 4095, 4096, 4097, 1048575, 1048576 + 13, 3 * 1048576 + 5}) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (qsizetype i = 0; i < length; ++i)
            bytes[i] = char((quint64(i) * 2654435761u) >> 13);
        const quint32 expected = libdeflate_crc32(0, bytes.constData(), std::size_t(length));
        EXPECT_EQ(tableCrc(bytes), expected) << length;
        EXPECT_EQ(fileCrc(calc, tree.fileWith("data", bytes)), expected) << length;
        EXPECT_FALSE(calc.busy());
    }
}

// Files that cannot be checksummed raise the mapping's message and leave the
// calculator idle, ready for the next file.
TEST(Crc32, FilesThatCannotBeChecksummed) {
    TempTree tree;
    const QByteArray path = tree.fileWith("f", "abc");
    TCRC32Calc calc;
    QFile closed(QFile::decodeName(path));
    const int writeOnly = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    const int fifo = ::open(tree.fifo("pipe").constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const char* noObject = "Could not create file mapping object";
    const char* invalid = "Invalid parameters. Could not create file mapping object";
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { (void)fileCrc(calc, tree.fileWith("empty", QByteArray())); }, noObject},
        {[&] { (void)calc.CalcFileCRC(closed); }, invalid},
        {[&] { (void)calc.CalcFileCRC(-1); }, invalid},
        {[] { TFileMapping m(static_cast<QFile*>(nullptr)); }, invalid},
        {[&] { (void)calc.CalcFileCRC(writeOnly); }, "Could not map file"},
        {[&] { (void)calc.CalcFileCRC(fifo); }, noObject}};
    for (const auto& [body, message] : cases) {
        expectError<EFileMappingError>(body, message);
        EXPECT_FALSE(calc.busy());
    }
    ::close(writeOnly);
    ::close(fifo);
    EXPECT_EQ(fileCrc(calc, tree.fileWith("digits", "123456789")), 0xCBF43926u);

    // An unreadable file cannot be opened, so the QFile given is not open.
    tree.chmod("f", 0200);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    QFile unreadable(QFile::decodeName(path));
    EXPECT_FALSE(unreadable.open(QIODevice::ReadOnly));
    expectError<EFileMappingError>([&] { (void)calc.CalcFileCRC(unreadable); }, invalid);
    EXPECT_FALSE(calc.busy());
}

TEST(Crc32, BufferSizeIgnoresValuesOutsideItsRange) {
    const std::pair<quint32, quint32> cases[] = {
        {0, 4096}, {4095, 4096}, {1048577, 4096}, {8192, 8192}, {1048576, 1048576}};
    for (const auto& [requested, expected] : cases) {
        TCRC32Calc calc;
        EXPECT_EQ(calc.BufferSize(), 4096u);
        EXPECT_NO_THROW(calc.setBufferSize(requested));
        EXPECT_EQ(calc.BufferSize(), expected) << requested;
    }
}

// CalcCRC pulls data through the buffer until the handler delivers nothing;
// a handler that reports more than the buffer holds is held to the buffer.
TEST(Crc32, CalcCrcPullsDataThroughTheBuffer) {
    TCRC32Calc calc;
    EXPECT_EQ(calc.CalcCRC(), 0u);  // no handler: no data
    calc.setBufferSize(8192);
    int calls = 0;
    calc.setOnGetData([&calls](TCRC32Calc&, uchar* buffer, quint32 capacity, quint32& count) {
        memset(buffer, 'a', capacity);
        count = ++calls < 3 ? capacity * (calls == 1 ? 10 : 1) : 0;
    });
    EXPECT_EQ(calc.CalcCRC(), tableCrc(QByteArray(2 * 8192, 'a')));
}

// Everything that changes or starts the calculator is refused while it runs,
// and the refusal reaches the caller with the calculator idle again.
TEST(Crc32, RefusedWhileRunning) {
    TempTree tree;
    const QByteArray path = tree.fileWith("digits", "123456789");
    const std::function<void(TCRC32Calc&)> operations[] = {
        [](TCRC32Calc& c) { c.setBufferSize(8192); },
        [](TCRC32Calc& c) { c.setOnGetData(nullptr); },
        [&path](TCRC32Calc& c) { (void)fileCrc(c, path); },
        [](TCRC32Calc& c) { (void)c.CalcCRC(); }};
    for (const auto& operation : operations) {
        TCRC32Calc calc;
        calc.setOnGetData([&](TCRC32Calc& sender, uchar*, quint32, quint32& count) {
            count = 0;
            operation(sender);
        });
        expectError<ECRC32CalcError>([&] { (void)calc.CalcCRC(); }, "CRC Calc is Busy");
        EXPECT_FALSE(calc.busy());
        EXPECT_EQ(calc.BufferSize(), 4096u);
        EXPECT_TRUE(bool(calc.OnGetData()));
        EXPECT_EQ(fileCrc(calc, path), 0xCBF43926u);
    }
}

// Lengths past 4 GiB are read in full: a sparse file of 4 GiB of zeros and a
// short tail.
TEST(Crc32, FileLargerThanFourGiB) {
    TempTree tree;
    const QByteArray path = tree.path("big");
    const qint64 holeLength = (qint64(1) << 32) + 4096;
    const QByteArray tail("tail of a large file");
    QFile file(QFile::decodeName(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    if (!file.resize(holeLength) || !file.seek(holeLength) || file.write(tail) != tail.size())
        GTEST_SKIP() << "cannot make a sparse file here";
    file.close();
    quint32 expected = 0;
    const std::vector<char> zeros(1 << 20, 0);
    for (qint64 done = 0; done < holeLength; done += qint64(zeros.size()))
        expected = libdeflate_crc32(expected, zeros.data(),
                                    std::size_t(qMin<qint64>(zeros.size(), holeLength - done)));
    expected = libdeflate_crc32(expected, tail.constData(), std::size_t(tail.size()));
    TCRC32Calc calc;
    EXPECT_EQ(fileCrc(calc, path), expected);
}

}  // namespace
}  // namespace vantrel
