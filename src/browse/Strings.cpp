#include "browse/Strings.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr size_t kReadBytes = 1024 * 1024;
constexpr size_t kWriteBytes = 256 * 1024;

const std::array<bool, 256>& printableTable() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (int c = 'A'; c <= 'Z'; ++c)
            t[size_t(c)] = true;
        for (int c = 'a'; c <= 'z'; ++c)
            t[size_t(c)] = true;
        for (int c = '0'; c <= '9'; ++c)
            t[size_t(c)] = true;
        t[size_t(' ')] = true;
        return t;
    }();
    return table;
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
class Extractor {
public:
    Extractor(int target, int minLength, int maxLength)
        : m_target(target),
          m_min(minLength),
          m_max(maxLength),
          m_run(size_t(std::max(maxLength + 1, 1))) {
        m_out.reserve(kWriteBytes + size_t(m_max) + 4);
        m_lastWritten.reserve(m_run.size());
    }

    void feed(const uchar* p, size_t n) {
        const auto& printable = printableTable();
        const uchar* const end = p + n;
        while (p < end) {
            if (m_abandoned) {
                // A run too long to keep: skip to its end.
                while (p < end && printable[*p])
                    ++p;
                if (p == end)
                    return;
            } else {
                // Gather the run; a run that grows past maxLength + 1
                // characters is dropped.
                while (p < end && printable[*p]) {
                    if (m_length <= m_max) {
                        m_run[size_t(m_length++)] = char(*p);
                    } else {
                        m_abandoned = true;
                        break;
                    }
                    ++p;
                }
                if (p == end || m_abandoned)
                    continue;
                if (m_length > m_min)
                    writeRun();
            }
            // *p ends the run.
            m_length = 0;
            m_abandoned = false;
            ++p;
            // Most bytes of a binary file end an empty run: skip them.
            while (p < end && !printable[*p])
                ++p;
        }
    }

    bool flush() {
        const bool ok = m_ok && writeAll(m_target, m_out.data(), m_out.size());
        m_out.clear();
        m_ok = ok;
        return ok;
    }

private:
    void writeRun() {
        const size_t n = size_t(m_length);
        if (m_hasWritten && m_lastWritten.size() == n &&
            std::memcmp(m_lastWritten.data(), m_run.data(), n) == 0)
            return;
        m_lastWritten.assign(m_run.data(), m_run.data() + n);
        m_hasWritten = true;
        m_out.insert(m_out.end(), m_run.data(), m_run.data() + n);
        m_out.push_back('\r');
        m_out.push_back('\n');
        if (m_out.size() >= kWriteBytes)
            flush();
    }

    int m_target;
    int m_min;
    int m_max;
    std::vector<char> m_run;
    int m_length = 0;
    bool m_abandoned = false;
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
    // A fifo or device opened without blocking reads like a file; reading
    // goes on until its end like any other source.
    ::fcntl(in, F_SETFL, ::fcntl(in, F_GETFL) & ~O_NONBLOCK);
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
