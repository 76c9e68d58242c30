// Times one read of a key from a 1,000-line settings file. Every settings
// access reads the whole file again (nothing is cached), so this is what a
// window pays for each value it loads. Prints the median of many reads.

#include "settings/IniFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    // 50 sections of up to 19 keys, then the section read: 1,000 lines. The
    // key read is in the last section, so the whole file is searched.
    QByteArray content;
    int lines = 0;
    for (int s = 0; lines < 998; ++s) {
        content += "[Section" + QByteArray::number(s) + "]\n";
        ++lines;
        for (int k = 0; k < 19 && lines < 998; ++k, ++lines)
            content += "File" + QByteArray::number(k + 1) + "=*.ext" + QByteArray::number(k) + "\n";
    }
    content += "[Vantrel]\nNdelete=12345\n";
    const QString path = dir.filePath(QStringLiteral("vantrel.ini"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        return 1;
    f.close();

    const vantrel::IniFile ini(path);
    using Clock = std::chrono::steady_clock;
    std::vector<double> micros;
    qint64 sum = 0;
    for (int i = 0; i < 2000; ++i) {
        const auto start = Clock::now();
        sum += ini.readInteger(QStringLiteral("vantrel"), QStringLiteral("NDELETE"), -1);
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    if (sum != qint64(12345) * 2000) {
        std::fprintf(stderr, "wrong value read\n");
        return 1;
    }
    std::sort(micros.begin(), micros.end());
    const double median = micros[micros.size() / 2];
    const double p95 = micros[micros.size() * 95 / 100];
    std::printf(
        "settings: read one key from a %d-line file: median %.1f us, 95th percentile "
        "%.1f us (target under 1,000 us)\n",
        lines + 2, median, p95);
    return median < 1000.0 ? 0 : 2;
}
