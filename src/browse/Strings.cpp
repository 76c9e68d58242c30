#include "browse/Strings.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr size_t kReadBytes = 1024 * 1024;
constexpr size_t kWriteBytes = 256 * 1024;

const std::array<uchar, 256>& printableTable() {
    static const std::array<uchar, 256> table = [] {
        std::array<uchar, 256> t{};
        for (int c = 'A'; c <= 'Z'; ++c)
            t[size_t(c)] = 1;
        for (int c = 'a'; c <= 'z'; ++c)
            t[size_t(c)] = 1;
        for (int c = '0'; c <= '9'; ++c)
            t[size_t(c)] = 1;
        t[size_t(' ')] = 1;
        return t;
    }();
    return table;
}

// Bit i set when byte i of the 64 at p is printable.
quint64 printableMask(const uchar* p) {
#if defined(__SSE2__)
    quint64 mask = 0;
    for (int part = 0; part < 4; ++part) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + part * 16));
        // Shift each range to start at -128, so that one signed compare tests it.
        const __m128i lower = _mm_or_si128(v, _mm_set1_epi8(0x20));
        const __m128i letter = _mm_cmplt_epi8(_mm_add_epi8(lower, _mm_set1_epi8(char(128 - 'a'))),
                                              _mm_set1_epi8(char(-128 + 26)));
        const __m128i digit = _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(char(128 - '0'))),
                                             _mm_set1_epi8(char(-128 + 10)));
        const __m128i blank = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
        const __m128i yes = _mm_or_si128(_mm_or_si128(letter, digit), blank);
        mask |= quint64(quint32(_mm_movemask_epi8(yes)) & 0xFFFF) << (part * 16);
    }
    return mask;
#else
    const auto& printable = printableTable();
    quint64 mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= quint64(printable[p[i]]) << i;
    return mask;
#endif
}

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        n -= size_t(done);
    }
    return true;
}

// The run-splitting state machine, fed the file in pieces of any size.
//
// Only the length of the current run is tracked per byte (no copying, and a
// single branch that is rarely taken on binary data); a run's characters are
// taken from the read buffer when it ends, or from a small carry when it
// began in the previous piece. A run is written when it ends with more than
// minLength and at most maxLength + 1 characters: a longer one was dropped
// when its (maxLength + 2)-th character came.
class Extractor {
public:
    Extractor(int target, int minLength, int maxLength)
        : m_target(target),
          m_min(std::max(minLength, 0)),
          m_longest(std::max(maxLength + 1, 1)),
          m_carry(size_t(m_longest)),
          m_joined(size_t(m_longest)) {
        m_out.reserve(kWriteBytes + size_t(m_longest) + 4);
        m_lastWritten.reserve(size_t(m_longest));
    }

    void feed(const uchar* p, size_t n) {
        qint64 length = m_length;
        size_t i = 0;
        if (m_min < 63) {
            for (; i + 64 <= n; i += 64)
                length = block(p, i, length);
        }
        const auto& printable = printableTable();
        const qint64 least = m_min;
        for (; i < n; ++i) {
            // Arithmetic rather than branches: on binary data whether a byte
            // is printable cannot be predicted.
            const qint64 yes = printable[p[i]];
            if (Q_UNLIKELY((yes ^ 1) & qint64(length > least)))
                ended(p, i, length);
            length = (length + 1) & -yes;
        }
        // Keep the characters of a run still open (when it can still be
        // written) for the next piece.
        if (length > 0 && length <= m_longest) {
            const size_t fromHere = std::min<size_t>(size_t(length), n);
            const size_t fromCarry = size_t(length) - fromHere;
            std::memmove(m_carry.data(), m_carry.data() + (size_t(m_length) - fromCarry),
                         fromCarry);
            std::memcpy(m_carry.data() + fromCarry, p + n - fromHere, fromHere);
        }
        m_length = length;
    }

    bool flush() {
        const bool ok = m_ok && writeAll(m_target, m_out.data(), m_out.size());
        m_out.clear();
        m_ok = ok;
        return ok;
    }

private:
    // The 64 bytes at p + at, with `length` the run open before them: finds
    // the runs long enough to be written with a few operations per 64 bytes,
    // and returns the run open after them.
    qint64 block(const uchar* p, size_t at, qint64 length) {
        const quint64 m = printableMask(p + at);
        // The bytes before the block as a mask: only its open run matters.
        const quint64 before = length >= 64  ? ~quint64(0)
                               : length == 0 ? 0
                                             : ~quint64(0) << (64 - length);
        // Bit i: bytes i - m_min .. i are all printable.
        quint64 longEnough = m;
        for (int k = 1; k <= m_min; ++k)
            longEnough &= (m << k) | (before >> (64 - k));
        // Bit i: byte i ends a run of more than m_min characters.
        quint64 ends = ~m & ((longEnough << 1) | quint64(length > m_min));
        while (ends) {
            const int i = std::countr_zero(ends);
            ends &= ends - 1;
            const quint64 zerosBelow = ~m & ((quint64(1) << i) - 1);
            const qint64 run =
                zerosBelow == 0 ? length + i : i - 1 - (63 - std::countl_zero(zerosBelow));
            ended(p, at + size_t(i), run);
        }
        if (m == ~quint64(0))
            return length + 64;
        return std::countl_one(m);
    }

    // A run of `length` characters ended just before p[i].
    void ended(const uchar* p, size_t i, qint64 length) {
        if (length > m_longest)
            return;
        const size_t n = size_t(length);
        const char* run = nullptr;
        if (n <= i) {
            run = reinterpret_cast<const char*>(p + i - n);
        } else {
            const size_t fromCarry = n - i;
            std::memcpy(m_joined.data(), m_carry.data(), fromCarry);
            std::memcpy(m_joined.data() + fromCarry, p, i);
            run = m_joined.data();
        }
        if (m_hasWritten && m_lastWritten.size() == n &&
            std::memcmp(m_lastWritten.data(), run, n) == 0)
            return;
        m_lastWritten.assign(run, run + n);
        m_hasWritten = true;
        m_out.insert(m_out.end(), run, run + n);
        m_out.push_back('\r');
        m_out.push_back('\n');
        if (m_out.size() >= kWriteBytes)
            flush();
    }

    int m_target;
    qint64 m_min;
    qint64 m_longest;
    qint64 m_length = 0;         // characters in the current run
    std::vector<char> m_carry;   // the current run's characters from earlier pieces
    std::vector<char> m_joined;  // a run put together from the carry and a piece
    std::vector<char> m_lastWritten;
    bool m_hasWritten = false;
    std::vector<char> m_out;
    bool m_ok = true;
};

}  // namespace

StringsResult extractStrings(const QByteArray& source, const QByteArray& target, int minLength,
                             int maxLength, const std::atomic<bool>* cancel) {
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    const int out = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        if (in >= 0)
            ::close(in);
        return StringsResult::TargetFailed;
    }
    if (in < 0) {
        ::close(out);
        return StringsResult::SourceFailed;
    }
    // Only a regular file has an end to read to: a fifo (a listed file
    // replaced by one) could keep the reading thread waiting for data that
    // never comes, and a device could go on for ever. Opening without
    // blocking lets this check come before any wait.
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        ::close(out);
        return StringsResult::SourceFailed;
    }
    ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);

    Extractor extractor(out, minLength, maxLength);
    std::vector<uchar> buffer(kReadBytes);
    StringsResult result = StringsResult::Done;
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            result = StringsResult::Cancelled;
            break;
        }
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result = StringsResult::SourceFailed;
            break;
        }
        if (got == 0)
            break;
        extractor.feed(buffer.data(), size_t(got));
    }
    if (!extractor.flush() && result == StringsResult::Done)
        result = StringsResult::TargetFailed;
    ::close(in);
    if (::close(out) != 0 && result == StringsResult::Done)
        result = StringsResult::TargetFailed;
    return result;
}

}  // namespace vantrel
