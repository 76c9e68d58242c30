#pragma once

#include "scan/ScanProgress.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantrel {

// Messages of a command on its error stream, one line each, "vantrel: "
// first. Any thread may print; a progress line on the same terminal is
// cleared first and drawn again by its next update.
// Writes all of `bytes` to `fd`, going on after interruptions; stops
// quietly when the descriptor takes no more (a closed pipe, a full disk).
void writeAll(int fd, const QByteArray& bytes);

class CliMessages {
public:
    explicit CliMessages(int fd) : m_fd(fd) {}
    void print(const QString& message);
    // Replaces the progress line (no line break); empty clears it.
    void showProgress(const QByteArray& line);

private:
    int m_fd;
    std::mutex m_mutex;
    bool m_progressShown = false;
};

// While it exists and `enabled` is true, draws the walk's progress (folders,
// entries, the folder being read) on the error stream about five times a
// second, from a thread of its own; clears the line when it ends.
class CliProgress {
public:
    CliProgress(const ScanProgress& progress, CliMessages& messages, bool enabled);
    ~CliProgress();
    CliProgress(const CliProgress&) = delete;
    CliProgress& operator=(const CliProgress&) = delete;

private:
    void loop();

    const ScanProgress& m_progress;
    CliMessages& m_messages;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace vantrel
