#include "dup/PairMatch.h"

#include "dup/Crc32.h"
#include "dup/DupSearch.h"
#include "text/Formats.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <exception>

namespace vantrel {

namespace {

QString cell(const QStringList& row, int column) {
    return column < row.size() ? row.at(column) : QString();
}

// The name a row compares: the last part of its exact path, or its name
// cell when it has no path.
QString comparedName(const PairRow& row) {
    if (row.path.isEmpty())
        return cell(row.cells, pcName);
    return exactNameText(row.path.mid(row.path.lastIndexOf('/') + 1));
}

// Closes the descriptor however the checksum ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

quint32 fileCrc(TCRC32Calc& calc, const QByteArray& path) {
    const QString cannotOpen = QStringLiteral("Could not open file ") + displayText(path);
    // Without O_NONBLOCK, opening a fifo waits for a writer, possibly for
    // ever; with it, open() returns at once and the type check refuses it.
    const Descriptor fd(
        path.isEmpty() ? -1
                       : ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0)
        throw std::runtime_error(cannotOpen.toStdString());
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw std::runtime_error(cannotOpen.toStdString());
    if (!S_ISREG(st.st_mode))
        throw std::runtime_error(
            (cannotOpen + QStringLiteral(" (not a regular file)")).toStdString());
    return calc.CalcFileCRC(fd.get());
}

}  // namespace

bool pairModeComparesTimes(int mode) {
    return mode == 2 || mode == 4 || mode == 6;
}

bool pairMatches(const PairRow& first, const PairRow& second, int mode) {
    auto same = [&](int column) { return cell(first.cells, column) == cell(second.cells, column); };
    auto sameName = [&] {
        return compareIgnoringCase(comparedName(first), comparedName(second)) == 0;
    };
    auto sameTime = [&] {
        return first.modified && second.modified && *first.modified == *second.modified;
    };
    switch (mode) {
        case 0:
            return sameName();
        case 1:
            return sameName() && same(pcSize);
        case 2:
            return sameName() && same(pcSize) && sameTime();
        case 3:
            return same(pcSize);
        case 4:
            return same(pcSize) && sameTime();
        case 5:
            return same(pcSize) && same(pcType);
        case 6:
            return same(pcType) && sameTime();
        default:
            return true;
    }
}

void GridRowsCopy::clear() {
    m_bytes.clear();
    m_rowStart.clear();
}

void GridRowsCopy::reserve(qsizetype rows) {
    m_rowStart.reserve(std::size_t(rows));
}

void GridRowsCopy::append(const QStringList& cells, const QByteArray& path) {
    m_rowStart.push_back(m_bytes.size());
    for (const QString& c : cells) {
        m_bytes += c.toUtf8();
        m_bytes += '\0';
    }
    m_bytes += path;
}

QByteArrayView GridRowsCopy::rowBytes(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    const qsizetype start = m_rowStart[std::size_t(row)];
    const qsizetype end = row + 1 < rowCount() ? m_rowStart[std::size_t(row) + 1] : m_bytes.size();
    return QByteArrayView(m_bytes.constData() + start, end - start);
}

QStringList GridRowsCopy::cells(int row) const {
    QStringList out;
    QByteArrayView rest = rowBytes(row);
    for (qsizetype nul = rest.indexOf('\0'); nul >= 0; nul = rest.indexOf('\0')) {
        out.append(QString::fromUtf8(rest.first(nul)));
        rest = rest.sliced(nul + 1);
    }
    return out;
}

QString GridRowsCopy::cell(int row, int column) const {
    QByteArrayView rest = rowBytes(row);
    for (int c = 0;; ++c) {
        const qsizetype nul = rest.indexOf('\0');
        if (nul < 0)
            return QString();
        if (c == column)
            return QString::fromUtf8(rest.first(nul));
        rest = rest.sliced(nul + 1);
    }
}

QByteArray GridRowsCopy::path(int row) const {
    const QByteArrayView bytes = rowBytes(row);
    return bytes.sliced(bytes.lastIndexOf('\0') + 1).toByteArray();
}

int nextPairRow(int left, int rowCount, const std::function<bool(int)>& matches) {
    const int lastPair = rowCount - 2;
    if (left >= lastPair)
        return left;
    for (int r = left + 1; r < lastPair; ++r) {
        if (matches(r))
            return r;
    }
    return lastPair;
}

int prevPairRow(int left, const std::function<bool(int)>& matches) {
    if (left < 2)
        return left;
    for (int r = left - 1; r > 1; --r) {
        if (matches(r))
            return r;
    }
    return 1;
}

int openingPairRow(int current, int rowCount) {
    return std::max(1, std::min(current, rowCount - 2));
}

QString crcText(quint32 crc) {
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char(' ')).toUpper();
}

QString crcComparisonSuffix(bool identical) {
    return identical ? QStringLiteral(" file contents are identical")
                     : QStringLiteral(" file contents differ");
}

QString PairCrc::leftText() const {
    return crcText(left) + crcComparisonSuffix(identical());
}

QString PairCrc::rightText() const {
    return crcText(right) + crcComparisonSuffix(identical());
}

PairCrc pairCrc(const QByteArray& leftPath, const QByteArray& rightPath) {
    PairCrc result;
    TCRC32Calc calc;
    try {
        result.left = fileCrc(calc, leftPath);
        result.right = fileCrc(calc, rightPath);
        result.ok = true;
    } catch (const std::exception& e) {
        result.error = QString::fromUtf8(e.what());
    }
    return result;
}

}  // namespace vantrel
