#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>

class QFile;

namespace vantrel {

// The CRC-32 of IEEE 802.3 (the zlib one): reflected polynomial 0xEDB88320,
// running value started at 0xFFFFFFFF and complemented at the end.

// The 256-entry table: entry i is i shifted right eight times, XORed with
// the polynomial whenever the bit shifted out was 1.
extern const std::array<quint32, 256> crcTable;

// Runs `length` bytes at `data` through the table, one byte at a time:
// c = (c >> 8) ^ table[(c ^ b) & 0xFF]. A null address or length 0 returns
// c unchanged. Start with 0xFFFFFFFF and complement the result for the CRC.
[[nodiscard]] quint32 UpdateCRC(quint32 c, const void* data, std::size_t length);

// Raised with "CRC Calc is Busy" when the calculator is asked to change or to
// start while a computation runs.
class ECRC32CalcError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The CRC-32 calculator. Plain object, used on one thread; the busy flag
// guards against re-entry from code that runs while a computation is under
// way (a data handler, an event loop run from inside it), not between threads.
//
// CalcFileCRC maps the whole file and checksums it in one pass; it does not
// use the buffer or OnGetData. CalcCRC pulls data through OnGetData into the buffer until
// the handler delivers 0 bytes.
class TCRC32Calc {
public:
    // Fills `buffer` (capacity `capacity` bytes, the BufferSize) and sets
    // `count` to the number of bytes delivered; 0 ends the data.
    using GetDataEvent =
        std::function<void(TCRC32Calc& sender, uchar* buffer, quint32 capacity, quint32& count)>;

    static constexpr quint32 kDefaultBufferSize = 4096;
    static constexpr quint32 kMinBufferSize = 4096;
    static constexpr quint32 kMaxBufferSize = 1048576;

    TCRC32Calc();
    virtual ~TCRC32Calc();
    TCRC32Calc(const TCRC32Calc&) = delete;
    TCRC32Calc& operator=(const TCRC32Calc&) = delete;

    [[nodiscard]] quint32 BufferSize() const { return m_bufferSize; }
    // Raises ECRC32CalcError when busy. A value equal to the current one, or
    // outside 4096..1,048,576, is ignored without error; otherwise the buffer
    // is replaced by one of the new size.
    void setBufferSize(quint32 size);

    [[nodiscard]] const GetDataEvent& OnGetData() const { return m_onGetData; }
    // Raises ECRC32CalcError when busy.
    void setOnGetData(GetDataEvent handler);

    [[nodiscard]] bool busy() const { return m_busy; }

    // The CRC-32 of the whole contents of an open file (64-bit length), which
    // is mapped read-only and read in large blocks in one pass. Raises ECRC32CalcError
    // when busy and passes on the EFileMappingError of the mapping (an empty
    // file gives "Could not create file mapping object"; a QFile that is not
    // open, or fd < 0, "Invalid parameters. Could not create file mapping
    // object"). The calculator is idle again whatever happens.
    [[nodiscard]] quint32 CalcFileCRC(QFile& stream);
    [[nodiscard]] quint32 CalcFileCRC(int fd);

    // The CRC-32 of the data that OnGetData delivers (0 bytes, and no
    // handler, give the CRC of nothing: 0). Raises ECRC32CalcError when busy;
    // an exception from the handler goes on to the caller with the
    // calculator idle again.
    [[nodiscard]] quint32 CalcCRC();

protected:
    // The data request: calls OnGetData when one is set and returns the
    // count it reported; without a handler, 0.
    virtual quint32 GetData();
    // Whether a buffer size is acceptable: 4096 <= size <= 1,048,576.
    [[nodiscard]] virtual bool ValidBufferSize(quint32 size) const;

private:
    void checkIdle() const;

    quint32 m_bufferSize = kDefaultBufferSize;
    std::unique_ptr<uchar[]> m_buffer;
    GetDataEvent m_onGetData;
    bool m_busy = false;
};

}  // namespace vantrel
