// Measures the CRC-32 throughput over a large cached file:
//   bench_crc [size in MiB, default 1024] [runs, default 5]
// The file is written to $TMPDIR (or /tmp) and checksummed, warm, by
// CalcFileCRC (mapping + libdeflate), first as writing left it in the page
// cache and again after it was dropped and read back through a mapping,
// then by the table loop UpdateCRC over the same mapped bytes. Prints the
// best of the runs.
#include "dup/Crc32.h"
#include "dup/FileMapping.h"

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace vantrel;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

bool writeFile(const std::string& path, long long bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::vector<char> block(1 << 20);
    std::mt19937_64 rng(42);
    for (auto& c : block)
        c = static_cast<char>(rng());
    bool ok = true;
    for (long long done = 0; ok && done < bytes;) {
        const auto n = static_cast<std::size_t>(std::min<long long>(block.size(), bytes - done));
        block[0] = static_cast<char>(done >> 20);  // no two blocks alike
        ok = ::write(fd, block.data(), n) == static_cast<ssize_t>(n);
        done += static_cast<long long>(n);
    }
    return ::close(fd) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    const long long mib = argc > 1 ? std::atoll(argv[1]) : 1024;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantrel-bench-crc.bin";
    const long long bytes = mib << 20;

    if (!writeFile(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }

    TCRC32Calc calc;
    // The best of `runs` checksums after one that warms the cache.
    auto bestOf = [&](quint32* crc) {
        *crc = calc.CalcFileCRC(fd);
        double best = 1e30;
        for (int i = 0; i < runs; ++i) {
            const auto start = Clock::now();
            *crc = calc.CalcFileCRC(fd);
            best = std::min(best, seconds(start));
        }
        return best;
    };
    // First with the page cache as writing left it, then after the file was
    // dropped from the cache and read back once through a mapping, as a
    // file is that the program checksums twice. How the cache holds a file
    // (small pages or huge ones) decides how much mapping it costs.
    quint32 writtenCrc = 0;
    const double bestWritten = bestOf(&writtenCrc);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    quint32 fileCrc = 0;
    const double bestFile = bestOf(&fileCrc);

    double bestTable = 1e30;
    quint32 tableCrc = 0;
    {
        TFileMapping mapping(fd);
        for (int i = 0; i < std::max(1, runs / 2); ++i) {
            const auto start = Clock::now();
            tableCrc = ~UpdateCRC(0xFFFFFFFFu, mapping.memory(), mapping.size());
            bestTable = std::min(bestTable, seconds(start));
        }
    }
    ::close(fd);
    ::unlink(path.c_str());

    const double gb = static_cast<double>(bytes) / 1e9;
    std::printf("file size          %lld MiB\n", mib);
    std::printf("CalcFileCRC        %8.2f GB/s  (%.3f s, crc %08X)  cache as written\n",
                gb / bestWritten, bestWritten, writtenCrc);
    std::printf("CalcFileCRC        %8.2f GB/s  (%.3f s, crc %08X)  cache read back via mapping\n",
                gb / bestFile, bestFile, fileCrc);
    std::printf("UpdateCRC (table)  %8.2f GB/s  (%.3f s, crc %08X)\n", gb / bestTable, bestTable,
                tableCrc);
    if (fileCrc != tableCrc || writtenCrc != tableCrc) {
        std::printf("MISMATCH\n");
        return 2;
    }
    return 0;
}
