#include "dup/Crc32.h"

#include "dup/FileMapping.h"

#include <QFile>

#include <libdeflate.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vantrel {

namespace {

constexpr std::array<quint32, 256> makeTable() {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}

// Sets the busy flag for one computation and clears it however it ends.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyScope() { m_flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_flag;
};

// The checksum of a mapped file. The mapping settles what can be
// checksummed (an empty or unmappable file raises its error), but the bytes
// are read from the page cache in 1 MiB blocks with pread: touching a large
// mapping page by page costs several times the checksum itself on virtual
// machines, while copying cached blocks keeps libdeflate at memory speed.
// libdeflate_crc32 keeps the running value complemented (it starts from 0
// and returns the finished CRC), so blocks simply chain. A file that shrinks
// meanwhile ends the read early instead of faulting on the mapping.
quint32 mappedCrc(TFileMapping& mapping, int fd) {
    constexpr std::size_t kBlock = std::size_t(1) << 20;
    const std::size_t total = mapping.size();
    std::unique_ptr<uchar[]> block(new uchar[kBlock]);
    quint32 crc = 0;
    std::size_t done = 0;
    while (done < total) {
        const std::size_t want = std::min(kBlock, total - done);
        const ssize_t got = ::pread(fd, block.get(), want, off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // Not readable this way (a descriptor opened for writing only):
            // checksum the rest through the mapping itself.
            if (got < 0)
                crc = libdeflate_crc32(crc, mapping.memory() + done, total - done);
            break;
        }
        crc = libdeflate_crc32(crc, block.get(), std::size_t(got));
        done += std::size_t(got);
    }
    mapping.close();
    return crc;
}

}  // namespace

const std::array<quint32, 256> crcTable = makeTable();

quint32 UpdateCRC(quint32 c, const void* data, std::size_t length) {
    if (!data)
        return c;
    const auto* p = static_cast<const uchar*>(data);
    for (const uchar* end = p + length; p != end; ++p)
        c = (c >> 8) ^ crcTable[(c ^ *p) & 0xFFu];
    return c;
}

TCRC32Calc::TCRC32Calc() : m_buffer(std::make_unique<uchar[]>(kDefaultBufferSize)) {}

TCRC32Calc::~TCRC32Calc() = default;

void TCRC32Calc::checkIdle() const {
    if (m_busy)
        throw ECRC32CalcError("CRC Calc is Busy");
}

bool TCRC32Calc::ValidBufferSize(quint32 size) const {
    return size >= kMinBufferSize && size <= kMaxBufferSize;
}

void TCRC32Calc::setBufferSize(quint32 size) {
    checkIdle();
    if (size == m_bufferSize || !ValidBufferSize(size))
        return;
    if (m_buffer) {
        m_buffer.reset();
        m_buffer = std::make_unique<uchar[]>(size);
    }
    m_bufferSize = size;
}

void TCRC32Calc::setOnGetData(GetDataEvent handler) {
    checkIdle();
    m_onGetData = std::move(handler);
}

quint32 TCRC32Calc::GetData() {
    quint32 count = 0;
    if (m_onGetData)
        m_onGetData(*this, m_buffer.get(), m_bufferSize, count);
    return count;
}

quint32 TCRC32Calc::CalcCRC() {
    checkIdle();
    BusyScope busy(m_busy);
    if (!m_buffer)
        m_buffer = std::make_unique<uchar[]>(m_bufferSize);
    quint32 c = 0xFFFFFFFFu;
    for (;;) {
        // A handler cannot deliver more than the buffer holds.
        const quint32 count = qMin(GetData(), m_bufferSize);
        if (count == 0)
            break;
        c = UpdateCRC(c, m_buffer.get(), count);
    }
    return ~c;
}

quint32 TCRC32Calc::CalcFileCRC(QFile& stream) {
    checkIdle();
    BusyScope busy(m_busy);
    TFileMapping mapping(&stream);
    return mappedCrc(mapping, stream.handle());
}

quint32 TCRC32Calc::CalcFileCRC(int fd) {
    checkIdle();
    BusyScope busy(m_busy);
    TFileMapping mapping(fd);
    return mappedCrc(mapping, fd);
}

}  // namespace vantrel
