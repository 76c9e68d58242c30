// Figures of the file viewer, measured headless:
//   first page   open a 4 GiB sparse file in the viewer window and paint it
//   last hex     switch to hexadecimal and go to the last page (Ctrl+End)
//   count        peak resident memory while the lines of a big file of short
//                lines are counted, and the count's speed
//   strings      extractStrings over a cached 1 GiB file, in MB/s
//
// Usage: viewer_bench [--dir DIR] [--lines-gib N] [--strings-gib N] [--keep]
//        viewer_bench --shot FILE PREFIX   (PREFIX-text.png, PREFIX-hex.png, ...)
// The generated files go to DIR (default $TMPDIR or /tmp) and are removed
// afterwards unless --keep is given (a kept file of the right size is reused).

#include "browse/Strings.h"
#include "browse/ui/FileViewer.h"
#include "browse/ui/TFindDlg.h"
#include "browse/ui/TfrmView.h"
#include "text/Formats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

using namespace vantrel;

namespace {

qint64 fileSize(const QByteArray& path) {
    struct stat st = {};
    return ::stat(path.constData(), &st) == 0 ? qint64(st.st_size) : -1;
}

// VmRSS or VmHWM of this process in KiB.
long statusKiB(const char* key) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    const size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, n) == 0) {
            value = std::strtol(line + n + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

bool writeFile(const QByteArray& path, qint64 size,
               const std::function<void(std::vector<char>&)>& fill) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::vector<char> block;
    qint64 done = 0;
    while (done < size) {
        fill(block);
        const qint64 n = std::min<qint64>(qint64(block.size()), size - done);
        if (::write(fd, block.data(), size_t(n)) != n) {
            ::close(fd);
            return false;
        }
        done += n;
    }
    ::close(fd);
    return true;
}

void readThrough(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    std::vector<char> buffer(4 << 20);
    while (fd >= 0 && ::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    if (fd >= 0)
        ::close(fd);
}

void pressKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &press);
}

int shots(const QByteArray& file, const QString& prefix) {
    TfrmView view;
    view.setFileName(file);
    view.show();
    QApplication::processEvents();
    for (int i = 0; i < 50 && !view.viewer()->lineCount(); ++i) {
        QThread::msleep(10);
        QApplication::processEvents();
    }
    view.viewer()->moveCaretTo(2, 4);
    view.viewer()->setFocus();
    for (int i = 0; i < 7; ++i)
        pressKey(view.viewer(), Qt::Key_Right, Qt::ShiftModifier);
    QApplication::processEvents();
    view.grab().save(prefix + QStringLiteral("-text.png"));
    view.findChild<QWidget*>(QStringLiteral("rbHex"))->setFocus();
    QMetaObject::invokeMethod(&view, &TfrmView::rbHexClick);
    view.viewer()->setFocus();
    QApplication::processEvents();
    view.grab().save(prefix + QStringLiteral("-hex.png"));
    TfrmView strings;
    strings.hideModeControls();
    strings.setFileName(file);
    strings.resize(600, 300);
    strings.show();
    QApplication::processEvents();
    strings.grab().save(prefix + QStringLiteral("-strings.png"));
    TFindDlg find;
    find.Edit1->setText(QStringLiteral("needle"));
    find.show();
    QApplication::processEvents();
    find.grab().save(prefix + QStringLiteral("-find.png"));
    std::printf("wrote %s-{text,hex,strings,find}.png\n", qPrintable(prefix));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Window placements go to a test settings folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    TextLocale::initFromSystem();
    QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QStringLiteral("--shot"))
        return shots(QFile::encodeName(args[2]), args[3]);

    QByteArray dir = qgetenv("TMPDIR");
    if (dir.isEmpty())
        dir = "/tmp";
    double linesGiB = 4;
    double stringsGiB = 1;
    bool keep = false;
    QString only;  // "page", "count" or "strings": that figure alone
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--dir") && i + 1 < args.size())
            dir = QFile::encodeName(args[++i]);
        else if (args[i] == QStringLiteral("--lines-gib") && i + 1 < args.size())
            linesGiB = args[++i].toDouble();
        else if (args[i] == QStringLiteral("--strings-gib") && i + 1 < args.size())
            stringsGiB = args[++i].toDouble();
        else if (args[i] == QStringLiteral("--keep"))
            keep = true;
        else if (args[i] == QStringLiteral("--only") && i + 1 < args.size())
            only = args[++i];
    }
    const qint64 GiB = qint64(1) << 30;

    // Warm up the toolkit (fonts, styles) on a small file, so that the
    // figures below are the viewer's own.
    const QByteArray small = dir + "/vantrel-view-small.txt";
    writeFile(small, 4096, [](std::vector<char>& b) { b.assign(4096, 'a'); });
    {
        TfrmView warm;
        warm.setFileName(small);
        warm.show();
        warm.grab();
    }
    ::unlink(small.constData());

    auto wanted = [&only](const char* name) {
        return only.isEmpty() || only == QLatin1String(name);
    };

    // 1. First page of a 4 GiB sparse file.
    const QByteArray sparse = dir + "/vantrel-view-sparse";
    if (wanted("page")) {
        const int fd = ::open(sparse.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, 4 * GiB) != 0) {
            std::fprintf(stderr, "cannot make %s\n", sparse.constData());
            return 1;
        }
        ::close(fd);
        TfrmView view;
        QElapsedTimer t;
        t.start();
        view.setFileName(sparse);
        view.show();
        view.grab();
        const double firstPage = double(t.nsecsElapsed()) / 1e6;
        std::printf("first page of a 4 GiB file: %.1f ms (status: %s | %s)\n", firstPage,
                    qPrintable(view.statusSection(1)), qPrintable(view.statusSection(3)));

        // 2. Last page in hexadecimal.
        t.restart();
        QMetaObject::invokeMethod(&view, &TfrmView::rbHexClick);
        pressKey(view.viewer(), Qt::Key_End, Qt::ControlModifier);
        view.grab();
        const double lastHex = double(t.nsecsElapsed()) / 1e6;
        std::printf("hex mode, last page: %.1f ms (%s, top %s)\n", lastHex,
                    qPrintable(view.statusSection(0)), qPrintable(view.statusSection(2)));
    }
    ::unlink(sparse.constData());

    // 3. Memory while the lines of a big file of short lines are counted.
    const QByteArray lines = dir + "/vantrel-view-lines.txt";
    const qint64 linesSize = qint64(linesGiB * double(GiB));
    if (wanted("count") && fileSize(lines) != linesSize) {
        std::printf("writing %.1f GiB of short lines...\n", linesGiB);
        qint64 n = 0;
        writeFile(lines, linesSize, [&n](std::vector<char>& b) {
            b.clear();
            char line[64];
            while (b.size() < (8u << 20)) {
                const int len =
                    std::snprintf(line, sizeof line, "line %09lld of a long file\n", ++n);
                b.insert(b.end(), line, line + len);
            }
        });
    }
    if (wanted("count")) {
        readThrough(lines);  // cached, so that the count runs at memory speed
        const long before = statusKiB("VmRSS:");
        long peak = before;
        TfrmView view;
        QElapsedTimer t;
        t.start();
        view.setFileName(lines);
        view.show();
        while (!view.viewer()->lineCount()) {
            QApplication::processEvents();
            peak = std::max(peak, statusKiB("VmRSS:"));
            QThread::msleep(5);
        }
        QApplication::processEvents();
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        peak = std::max(peak, statusKiB("VmRSS:"));
        std::printf(
            "count of %s lines (%.1f GiB): %.2f s, %.0f MB/s; resident memory %.1f MB "
            "before, peak %.1f MB while counting (%s)\n",
            qPrintable(numberText(*view.viewer()->lineCount())), linesGiB, seconds,
            double(linesSize) / 1e6 / seconds, double(before) / 1024.0, double(peak) / 1024.0,
            qPrintable(view.statusSection(1)));
    }
    if (!keep)
        ::unlink(lines.constData());

    // 4. Strings extraction speed.
    const QByteArray binary = dir + "/vantrel-strings.bin";
    const qint64 binarySize = qint64(stringsGiB * double(GiB));
    if (!wanted("strings"))
        return 0;
    if (fileSize(binary) != binarySize) {
        std::printf("writing %.1f GiB of mixed binary data...\n", stringsGiB);
        QRandomGenerator rng(1);
        writeFile(binary, binarySize, [&rng](std::vector<char>& b) {
            b.resize(8u << 20);
            size_t i = 0;
            while (i < b.size()) {
                // Binary bytes with words and sentences among them.
                const quint32 kind = rng.bounded(4);
                const size_t len = std::min<size_t>(b.size() - i, 1 + rng.bounded(kind ? 40 : 200));
                for (size_t k = 0; k < len; ++k)
                    b[i + k] = kind ? char(rng.bounded(256)) : char('a' + rng.bounded(26));
                i += len;
            }
        });
    }
    readThrough(binary);
    const QByteArray out = dir + "/vantrel-strings.txt";
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        extractStrings(binary, out, 5, 100);
        best = std::max(best, double(binarySize) / 1e6 / (double(t.nsecsElapsed()) / 1e9));
    }
    std::printf("extractStrings over %.1f GiB: %.0f MB/s (best of 3), %lld bytes of strings\n",
                stringsGiB, best, fileSize(out));
    ::unlink(out.constData());
    if (!keep)
        ::unlink(binary.constData());
    return 0;
}
