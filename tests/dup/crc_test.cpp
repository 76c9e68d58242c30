#include "dup/Crc32.h"
#include "dup/FileMapping.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <libdeflate.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <vector>

namespace vantrel {
namespace {

using test::TempTree;

QByteArray randomBytes(std::size_t length, unsigned seed) {
    std::mt19937 rng(seed);
    QByteArray out(static_cast<qsizetype>(length), Qt::Uninitialized);
    for (char& c : out)
        c = static_cast<char>(rng() & 0xFF);
    return out;
}

quint32 tableCrc(const QByteArray& bytes) {
    return ~UpdateCRC(0xFFFFFFFFu, bytes.constData(), static_cast<std::size_t>(bytes.size()));
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

TEST(Crc32, TableFollowsTheReflectedPolynomial) {
    EXPECT_EQ(crcTable[0], 0u);
    EXPECT_EQ(crcTable[1], 0x77073096u);
    EXPECT_EQ(crcTable[128], 0xEDB88320u);
    EXPECT_EQ(crcTable[255], 0x2D02EF8Du);
}

TEST(Crc32, CheckValues) {
    TempTree tree;
    TCRC32Calc calc;
    const QByteArray digits("123456789");
    EXPECT_EQ(tableCrc(digits), 0xCBF43926u);
    EXPECT_EQ(fileCrc(calc, tree.fileWith("digits", digits)), 0xCBF43926u);

    const QByteArray zero(1, '\0');
    EXPECT_EQ(tableCrc(zero), 0xD202EF8Du);
    EXPECT_EQ(fileCrc(calc, tree.fileWith("zero", zero)), 0xD202EF8Du);
}

TEST(Crc32, UpdateCrcLeavesTheValueForNoData) {
    EXPECT_EQ(UpdateCRC(0x12345678u, nullptr, 100), 0x12345678u);
    const char byte = 'x';
    EXPECT_EQ(UpdateCRC(0x12345678u, &byte, 0), 0x12345678u);
}

TEST(Crc32, UpdateCrcRunsInPieces) {
    const QByteArray bytes = randomBytes(10000, 7);
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype at = 0; at < bytes.size(); at += 777)
        c = UpdateCRC(c, bytes.constData() + at,
                      static_cast<std::size_t>(qMin<qsizetype>(777, bytes.size() - at)));
    EXPECT_EQ(~c, tableCrc(bytes));
}

// The table, libdeflate and the mapped-file checksum agree on every length,
// around the word and vector widths and the page size in particular.
class CrcLengths : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CrcLengths, TableLibdeflateAndFileAgree) {
    const std::size_t length = GetParam();
    const QByteArray bytes = randomBytes(length, static_cast<unsigned>(length) * 31 + 1);
    const quint32 expected = libdeflate_crc32(0, bytes.constData(), length);
    EXPECT_EQ(tableCrc(bytes), expected);

    TempTree tree;
    TCRC32Calc calc;
    EXPECT_EQ(fileCrc(calc, tree.fileWith("data", bytes)), expected);
    EXPECT_FALSE(calc.busy());
}

INSTANTIATE_TEST_SUITE_P(Lengths, CrcLengths,
                         ::testing::Values(1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64,
                                           65, 127, 128, 129, 255, 256, 1000, 4095, 4096, 4097,
                                           8191, 65536, 65537, 1048576 + 13, 3 * 1048576 + 5));

TEST(Crc32, FileDescriptorAndQFileGiveTheSameValue) {
    TempTree tree;
    const QByteArray bytes = randomBytes(12345, 3);
    const QByteArray path = tree.fileWith("f", bytes);
    TCRC32Calc calc;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(calc.CalcFileCRC(fd), tableCrc(bytes));
    // The caller's descriptor stays open and usable.
    char first = 0;
    EXPECT_EQ(::pread(fd, &first, 1, 0), 1);
    EXPECT_EQ(first, bytes[0]);
    ::close(fd);
}

TEST(Crc32, EmptyFileRaisesAndLeavesTheCalculatorIdle) {
    TempTree tree;
    const QByteArray empty = tree.fileWith("empty", QByteArray());
    const QByteArray digits = tree.fileWith("digits", "123456789");
    TCRC32Calc calc;
    expectError<EFileMappingError>([&] { (void)fileCrc(calc, empty); },
                                   "Could not create file mapping object");
    EXPECT_FALSE(calc.busy());
    // A new checksum can start at once.
    EXPECT_EQ(fileCrc(calc, digits), 0xCBF43926u);
}

TEST(Crc32, FileThatIsNotOpenIsInvalid) {
    TempTree tree;
    TCRC32Calc calc;
    QFile closed(QFile::decodeName(tree.fileWith("x", "abc")));
    expectError<EFileMappingError>([&] { (void)calc.CalcFileCRC(closed); },
                                   "Invalid parameters. Could not create file mapping object");
    expectError<EFileMappingError>([&] { (void)calc.CalcFileCRC(-1); },
                                   "Invalid parameters. Could not create file mapping object");
    EXPECT_FALSE(calc.busy());
}

TEST(Crc32, UnreadableFileCannotBeOpenedSoItIsInvalid) {
    TempTree tree;
    const QByteArray path = tree.fileWith("secret", "abc");
    tree.chmod("secret", 0200);
    TCRC32Calc calc;
    {
        test::PermissionChecks checks;
        if (!checks.enforced())
            GTEST_SKIP() << "permission checks cannot be enforced here";
        QFile file(QFile::decodeName(path));
        EXPECT_FALSE(file.open(QIODevice::ReadOnly));
        expectError<EFileMappingError>([&] { (void)calc.CalcFileCRC(file); },
                                       "Invalid parameters. Could not create file mapping object");
    }
    EXPECT_FALSE(calc.busy());
}

TEST(Crc32, WriteOnlyDescriptorCannotBeMapped) {
    TempTree tree;
    const QByteArray path = tree.fileWith("w", "abcdef");
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    TCRC32Calc calc;
    expectError<EFileMappingError>([&] { (void)calc.CalcFileCRC(fd); }, "Could not map file");
    ::close(fd);
    EXPECT_FALSE(calc.busy());
}

TEST(Crc32, FolderCannotBeMapped) {
    TempTree tree;
    const QByteArray dir = tree.mkdir("sub");
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    TCRC32Calc calc;
    try {
        (void)calc.CalcFileCRC(fd);
        ADD_FAILURE() << "a folder was checksummed";
    } catch (const EFileMappingError& e) {
        // Its size reads as 0 on some file systems and as a block on others.
        const std::string message = e.what();
        EXPECT_TRUE(message == "Could not map file" ||
                    message == "Could not create file mapping object")
            << message;
    }
    ::close(fd);
    EXPECT_FALSE(calc.busy());
}

TEST(Crc32, EmptyFifoHasNothingToMap) {
    TempTree tree;
    const QByteArray fifo = tree.fifo("pipe");
    const int fd = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    TCRC32Calc calc;
    expectError<EFileMappingError>([&] { (void)calc.CalcFileCRC(fd); },
                                   "Could not create file mapping object");
    ::close(fd);
}

TEST(FileMapping, MapsTheWholeFileAndReleasesTwice) {
    TempTree tree;
    const QByteArray bytes = randomBytes(9000, 11);
    QFile file(QFile::decodeName(tree.fileWith("m", bytes)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    TFileMapping mapping(&file);
    file.close();  // the mapping does not depend on the caller's handle
    ASSERT_EQ(mapping.size(), 9000u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(mapping.memory()), 9000), bytes);
    mapping.close();
    EXPECT_EQ(mapping.memory(), nullptr);
    EXPECT_EQ(mapping.size(), 0u);
    EXPECT_NO_THROW(mapping.close());
}

TEST(FileMapping, NullStreamIsInvalid) {
    expectError<EFileMappingError>([] { TFileMapping m(static_cast<QFile*>(nullptr)); },
                                   "Invalid parameters. Could not create file mapping object");
}

// BufferSize accepts 4096..1,048,576 and silently ignores anything else.
struct BufferSizeCase {
    quint32 requested;
    quint32 expected;
};

class BufferSizes : public ::testing::TestWithParam<BufferSizeCase> {};

TEST_P(BufferSizes, OutOfRangeValuesAreIgnored) {
    TCRC32Calc calc;
    EXPECT_EQ(calc.BufferSize(), 4096u);
    EXPECT_NO_THROW(calc.setBufferSize(GetParam().requested));
    EXPECT_EQ(calc.BufferSize(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BufferSizes,
                         ::testing::Values(BufferSizeCase{2048, 4096}, BufferSizeCase{4095, 4096},
                                           BufferSizeCase{0, 4096}, BufferSizeCase{2000000, 4096},
                                           BufferSizeCase{1048577, 4096},
                                           BufferSizeCase{4096, 4096}, BufferSizeCase{8192, 8192},
                                           BufferSizeCase{1048576, 1048576}));

// A data source that delivers `data` in pieces of at most the buffer size.
TCRC32Calc::GetDataEvent sourceOf(const QByteArray& data, qsizetype* at) {
    return [data, at](TCRC32Calc&, uchar* buffer, quint32 capacity, quint32& count) {
        const qsizetype n = qMin<qsizetype>(capacity, data.size() - *at);
        memcpy(buffer, data.constData() + *at, static_cast<std::size_t>(n));
        *at += n;
        count = static_cast<quint32>(n);
    };
}

TEST(Crc32, CalcCrcPullsDataThroughTheBuffer) {
    TCRC32Calc calc;
    EXPECT_EQ(calc.CalcCRC(), 0u);  // no handler: no data
    const QByteArray bytes = randomBytes(50000, 5);
    qsizetype at = 0;
    calc.setOnGetData(sourceOf(bytes, &at));
    calc.setBufferSize(8192);
    EXPECT_EQ(calc.CalcCRC(), tableCrc(bytes));
    EXPECT_EQ(at, bytes.size());
}

TEST(Crc32, HandlerCannotOverfillTheBuffer) {
    TCRC32Calc calc;
    int calls = 0;
    calc.setOnGetData([&calls](TCRC32Calc&, uchar* buffer, quint32 capacity, quint32& count) {
        memset(buffer, 'a', capacity);
        count = ++calls == 1 ? capacity * 10 : 0;
    });
    EXPECT_EQ(calc.CalcCRC(), tableCrc(QByteArray(4096, 'a')));
}

// Everything that changes or starts the calculator is refused while it runs,
// and the refusal reaches the caller with the calculator idle again.
enum class WhileBusy { SetBufferSize, SetOnGetData, CalcFileCRC, CalcCRC };

class BusyRules : public ::testing::TestWithParam<WhileBusy> {};

TEST_P(BusyRules, RefusedWhileRunning) {
    TempTree tree;
    const QByteArray path = tree.fileWith("digits", "123456789");
    TCRC32Calc calc;
    bool sawBusy = false;
    calc.setOnGetData([&](TCRC32Calc& sender, uchar*, quint32, quint32& count) {
        sawBusy = sender.busy();
        count = 0;
        switch (GetParam()) {
            case WhileBusy::SetBufferSize:
                sender.setBufferSize(8192);
                break;
            case WhileBusy::SetOnGetData:
                sender.setOnGetData(nullptr);
                break;
            case WhileBusy::CalcFileCRC:
                (void)fileCrc(sender, path);
                break;
            case WhileBusy::CalcCRC:
                (void)sender.CalcCRC();
                break;
        }
    });
    expectError<ECRC32CalcError>([&] { (void)calc.CalcCRC(); }, "CRC Calc is Busy");
    EXPECT_TRUE(sawBusy);
    EXPECT_FALSE(calc.busy());
    EXPECT_EQ(calc.BufferSize(), 4096u);
    EXPECT_TRUE(static_cast<bool>(calc.OnGetData()));
    EXPECT_EQ(fileCrc(calc, path), 0xCBF43926u);
}

INSTANTIATE_TEST_SUITE_P(Operations, BusyRules,
                         ::testing::Values(WhileBusy::SetBufferSize, WhileBusy::SetOnGetData,
                                           WhileBusy::CalcFileCRC, WhileBusy::CalcCRC));

// The overridable checks: a calculator that accepts only powers of two.
class PowerOfTwoCalc : public TCRC32Calc {
protected:
    bool ValidBufferSize(quint32 size) const override {
        return TCRC32Calc::ValidBufferSize(size) && (size & (size - 1)) == 0;
    }
};

TEST(Crc32, BufferSizeCheckCanBeOverridden) {
    PowerOfTwoCalc calc;
    calc.setBufferSize(5000);
    EXPECT_EQ(calc.BufferSize(), 4096u);
    calc.setBufferSize(16384);
    EXPECT_EQ(calc.BufferSize(), 16384u);
}

// Lengths past 4 GiB map in one piece: a sparse file of 4 GiB of zeros and a
// short tail.
TEST(Crc32, FileLargerThanFourGiB) {
    if (sizeof(void*) < 8)
        GTEST_SKIP() << "needs a 64-bit address space";
    TempTree tree;
    const QByteArray path = tree.path("big");
    const qint64 holeLength = (qint64(1) << 32) + 4096;
    const QByteArray tail("tail of a large file");
    {
        QFile file(QFile::decodeName(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (!file.resize(holeLength) || !file.seek(holeLength) || file.write(tail) != tail.size())
            GTEST_SKIP() << "cannot make a sparse file here";
    }
    quint32 expected = 0;
    const std::vector<char> zeros(1 << 20, 0);
    for (qint64 done = 0; done < holeLength;) {
        const std::size_t n =
            static_cast<std::size_t>(qMin<qint64>(zeros.size(), holeLength - done));
        expected = libdeflate_crc32(expected, zeros.data(), n);
        done += static_cast<qint64>(n);
    }
    expected = libdeflate_crc32(expected, tail.constData(), static_cast<std::size_t>(tail.size()));

    TCRC32Calc calc;
    EXPECT_EQ(fileCrc(calc, path), expected);
    QFile::remove(QFile::decodeName(path));
}

}  // namespace
}  // namespace vantrel
