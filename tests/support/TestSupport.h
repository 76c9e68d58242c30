#pragma once

// Helpers shared by the tests: the test environment, and fixture trees made
// at test time inside a temporary folder.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <sys/types.h>

#include <functional>

namespace vantrel::test {

// Qt's test mode for standard paths (settings, data and trash go to a test
// folder), the en_US text locale, UTC as local time. Call before the
// application object is made.
void prepareTestEnvironment();

// A temporary folder that is removed with everything in it afterwards, even
// when the test made parts of it read-only. Paths are exact bytes.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    // The root, without a trailing "/".
    QByteArray root() const;
    // root + "/" + relative
    QByteArray path(const QByteArray& relative) const;

    // Creates the folder and its missing parents.
    QByteArray mkdir(const QByteArray& relative);
    // Creates a file (and missing parent folders) of `size` bytes (filled
    // with `fill`) or with the given content; optional modification time.
    QByteArray file(const QByteArray& relative, qint64 size, char fill = 'x');
    QByteArray fileWith(const QByteArray& relative, const QByteArray& content);
    void setTimes(const QByteArray& relative, const QDateTime& modified,
                  const QDateTime& accessed = QDateTime());
    QByteArray symlink(const QByteArray& relative, const QByteArray& target);
    QByteArray fifo(const QByteArray& relative);
    void chmod(const QByteArray& relative, mode_t mode);

private:
    QTemporaryDir m_dir;
};

// True when the process can bypass permission checks (root).
bool runningAsRoot();

// While it lives, the calling thread (and threads it starts) is subject to
// permission checks even as root: it drops the capabilities that override
// file permissions from the thread's effective set and raises them again on
// destruction. enforced() says whether permission checks now apply; a test
// of unreadable folders or read-only files skips itself when it is false.
class PermissionChecks {
public:
    PermissionChecks();
    ~PermissionChecks();
    PermissionChecks(const PermissionChecks&) = delete;
    PermissionChecks& operator=(const PermissionChecks&) = delete;
    bool enforced() const { return m_enforced; }

private:
    bool m_dropped = false;
    bool m_enforced = false;
};

// Runs `body` in a child process with a mount namespace of its own, so that
// the mounts it makes are never seen outside (and vanish with it). The
// result: 0 when `body` returned `expected`, 2 when the namespace cannot be
// had or `body` returned "SKIP" (a mount it needs is not permitted here),
// 1 otherwise (what it returned instead is printed).
int inMountNamespace(const QByteArray& expected, const std::function<QByteArray()>& body);

// Runs `body(i)` for i = 0 .. processes - 1 in as many child processes at
// once (they start together, after all are made), and waits for them.
// True when every child's body returned true.
bool inConcurrentProcesses(int processes, const std::function<bool(int)>& body);

}  // namespace vantrel::test

// Qt Test main for window tests: a QApplication in the test environment.
#define VANTREL_QTEST_MAIN(TestClass)                          \
    int main(int argc, char** argv) {                          \
        vantrel::test::prepareTestEnvironment();               \
        QApplication app(argc, argv);                          \
        app.setAttribute(Qt::AA_Use96Dpi, true);               \
        TestClass tc;                                          \
        QTEST_SET_MAIN_SOURCE_PATH                             \
        return QTest::qExec(&tc, argc, argv);                  \
    }
