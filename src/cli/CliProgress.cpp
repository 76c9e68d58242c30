#include "cli/CliProgress.h"

#include "cli/RowWriter.h"

#include <cerrno>
#include <chrono>
#include <unistd.h>

namespace vantrel {

namespace {

// The terminal line keeps to 100 columns: the start of a long folder path
// gives way.
// Control characters in a name are escaped so that they cannot move the
// cursor, and the cut never splits a UTF-8 sequence.
QByteArray fitted(const QByteArray& folder, qsizetype room) {
    const QByteArray text = escapeLineCell(folder);
    if (text.size() <= room)
        return text;
    QByteArray tail = text.right(room - 3);
    qsizetype skip = 0;
    while (skip < tail.size() && (uchar(tail[skip]) & 0xC0) == 0x80)
        ++skip;
    return "..." + tail.mid(skip);
}

}  // namespace

void writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        p += n;
        left -= n;
    }
}

void CliMessages::print(const QString& message) {
    std::lock_guard lock(m_mutex);
    QByteArray line;
    if (m_progressShown) {
        line = "\r\x1b[K";
        m_progressShown = false;
    }
    line += "vantrel: " + message.toLocal8Bit() + '\n';
    writeAll(m_fd, line);
}

void CliMessages::showProgress(const QByteArray& text) {
    std::lock_guard lock(m_mutex);
    writeAll(m_fd, "\r\x1b[K" + text);
    m_progressShown = !text.isEmpty();
}

CliProgress::CliProgress(const ScanProgress& progress, CliMessages& messages, bool enabled)
    : m_progress(progress), m_messages(messages) {
    if (enabled)
        m_thread = std::thread([this] { loop(); });
}

CliProgress::~CliProgress() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    m_messages.showProgress(QByteArray());
}

void CliProgress::loop() {
    quint64 shown = 0;
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(200), [this] { return m_stop; })) {
        const ScanProgress::Snapshot s = m_progress.snapshot();
        if (s.generation == shown)
            continue;
        shown = s.generation;
        const QByteArray counts = QByteArray::number(s.folders) + " folders, " +
                                  QByteArray::number(s.entries) + " entries  ";
        m_messages.showProgress(counts + fitted(s.folder, 100 - counts.size()));
    }
}

}  // namespace vantrel
