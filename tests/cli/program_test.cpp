// The program run as a command, as a shell script would run it: exit
// statuses, what goes to standard output and error, a closed pipe, and no
// display needed.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <unistd.h>

namespace vantrel {
namespace {

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result runProgram(const QStringList& arguments,
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VANTREL_EXECUTABLE), arguments);
    Result r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString str(const QByteArray& b) {
    return QString::fromLocal8Bit(b);
}

class CliProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tree.isValid());
        // Two copies of one big file, one in a hidden folder, small files,
        // and names no line format can hold as they are.
        m_tree.file("photos/a.jpg", 300000, 'p');
        m_tree.file("backup/a.jpg", 300000, 'p');
        m_tree.file(".cache/a.jpg", 300000, 'p');
        m_tree.file("photos/small.txt", 10);
        m_tree.file("docs/tab\tname.tmp", 20);
        m_tree.file("docs/bad\xff\nname.bak", 30);
        m_tree.setTimes("docs/tab\tname.tmp", QDateTime(QDate(2020, 6, 15), QTime(12, 0)));
        m_tree.setTimes("docs/bad\xff\nname.bak", QDateTime(QDate(2021, 1, 1), QTime(12, 0)));
        m_tree.setTimes("photos/small.txt", QDateTime(QDate(2022, 3, 3), QTime(12, 0)));
    }
    QString root() const { return str(m_tree.root()); }

    test::TempTree m_tree;
};

TEST_F(CliProgram, BadArgumentsExitTwoNamingTheArgument) {
    const struct {
        QStringList arguments;
        QString named;
    } cases[] = {
        {{"dups", "--frobnicate", "."}, "--frobnicate"},
        {{"dups", "/no/such/folder"}, "/no/such/folder"},
        {{"hogs", "--min-size", "12Q", "."}, "12Q"},
        {{"dates", "--after", "2025-13-40", "."}, "2025-13-40"},
        {{"clean", "--patterns", "*", "."}, "*"},
        {{"stats"}, "stats"},
    };
    for (const auto& c : cases) {
        const Result r = runProgram(c.arguments);
        EXPECT_EQ(r.status, 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(str(r.err).contains(c.named)) << str(r.err).toStdString();
    }
    // A file is no folder to search.
    const Result r = runProgram({"hogs", str(m_tree.path("photos/small.txt"))});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(str(r.err).contains(QStringLiteral("small.txt")));
}

TEST_F(CliProgram, DuplicatesAsTheWindowFindsThem) {
    Result r = runProgram({"dups", root()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();  // the title and two copies
    EXPECT_EQ(lines[0], "size\tmodified\tpath");
    EXPECT_TRUE(lines[1].startsWith("300000\t"));
    EXPECT_TRUE(lines[1].endsWith(m_tree.path("backup/a.jpg")));
    EXPECT_TRUE(lines[2].endsWith(m_tree.path("photos/a.jpg")));

    // --hidden looks into .cache too.
    r = runProgram({"dups", "--hidden", "--no-header", root()});
    EXPECT_EQ(r.out.trimmed().split('\n').size(), 3);

    // Nothing at or above 1M: status 1, only the title line.
    r = runProgram({"dups", "--min-size", "1M", root()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "size\tmodified\tpath\n");
}

TEST_F(CliProgram, DuplicatesByContentsReadTheFiles) {
    // Beside the two copies of a.jpg: a file of their size with other bytes,
    // a second name of photos/a.jpg, a smaller pair, and one file under two
    // names (no duplicate: deleting either frees nothing).
    m_tree.file("photos/other.jpg", 300000, 'q');
    ASSERT_EQ(::link(m_tree.path("photos/a.jpg").constData(),
                     m_tree.path("backup/link.jpg").constData()),
              0);
    m_tree.file("docs/pair1.dat", 5000, 'z');
    m_tree.file("docs/pair2.dat", 5000, 'z');
    m_tree.file("docs/solo.bin", 7000, 'k');
    ASSERT_EQ(::link(m_tree.path("docs/solo.bin").constData(),
                     m_tree.path("docs/solo-link.bin").constData()),
              0);

    Result r = runProgram({"dups", "--criterion", "contents", "--min-size", "0", root()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();  // no terminal: no progress
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 6) << r.out.toStdString();
    EXPECT_EQ(lines[0], "size\tmodified\tnote\tpath");
    // Most wasted bytes first; each file's other names follow it, noted.
    const struct {
        QByteArray start;
        QByteArray path;
    } rows[] = {
        {"300000\t", "backup/a.jpg"},
        {"300000\t", "backup/link.jpg"},
        {"300000\t", "photos/a.jpg"},
        {"5000\t", "docs/pair1.dat"},
        {"5000\t", "docs/pair2.dat"},
    };
    for (int i = 0; i < 5; ++i) {
        const QByteArray& line = lines[i + 1];
        EXPECT_TRUE(line.startsWith(rows[i].start)) << line.toStdString();
        EXPECT_TRUE(line.endsWith("\t" + m_tree.path(rows[i].path))) << line.toStdString();
        EXPECT_EQ(line.split('\t').value(2), i == 2 ? "hard link" : "") << line.toStdString();
    }

    // The size limits hold as for the other criteria: nothing at or above 1M.
    r = runProgram({"dups", "--criterion", "contents", "--min-size", "1M", root()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "size\tmodified\tnote\tpath\n");
}

TEST_F(CliProgram, HogsAreLargestFirstWithinTheSizeLimits) {
    const Result r = runProgram({"hogs", "--min-size", "0", "--max-size", "25",
                                 "--format", "csv", "--no-header", root()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("20,2020-06-15 12:00:00,"));
    EXPECT_TRUE(lines[0].endsWith("/docs/tab\\tname.tmp"));
    EXPECT_TRUE(lines[1].startsWith("10,"));
}

TEST_F(CliProgram, NamesKeepTheirExactBytesInEveryFormat) {
    Result r = runProgram({"clean", "--patterns", "*.bak", root()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("/docs/bad\\xff\\nname.bak\n")) << r.out.toStdString();

    r = runProgram({"clean", "--patterns", "*.bak,*.tmp", "--format", "json", root()});
    ASSERT_EQ(r.status, 0);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject bak = QJsonDocument::fromJson(lines[0]).object();  // 30 bytes: first
    QByteArray bytes;
    for (const QJsonValue v : bak.value(QStringLiteral("path_bytes")).toArray())
        bytes.append(char(v.toInt()));
    EXPECT_EQ(bytes, m_tree.path("docs/bad\xff\nname.bak"));
    const QJsonObject tmp = QJsonDocument::fromJson(lines[1]).object();
    EXPECT_EQ(tmp.value(QStringLiteral("path")).toString(),
              str(m_tree.path("docs/tab\tname.tmp")));
    EXPECT_EQ(tmp.value(QStringLiteral("size")).toInt(), 20);
}

TEST_F(CliProgram, DatesTestTheChosenTimeInclusively) {
    // On or after 2021-01-01 and on or before 2022-03-03: both ends count.
    Result r = runProgram({"dates", "--modified", "--after", "2021-01-01", "--before",
                           "2022-03-03", "--no-header", "--wildcard", "*.bak;*.txt", root()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed().split('\n').size(), 2) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("2022-03-03 12:00:00\t10\t"));

    r = runProgram({"dates", "--before", "2019-12-31", root()});
    EXPECT_EQ(r.status, 1);
}

TEST_F(CliProgram, FoldersAndStatisticsCountEverything) {
    Result r = runProgram({"folders", "--format", "json", root()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);  // .cache, backup, photos, docs
    const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_GE(first.value(QStringLiteral("bytes")).toInteger(), 300000);
    const QJsonObject last = QJsonDocument::fromJson(lines[3]).object();
    EXPECT_EQ(last.value(QStringLiteral("path")).toString(), str(m_tree.path("docs")));
    EXPECT_EQ(last.value(QStringLiteral("files")).toInt(), 2);

    r = runProgram({"stats", root()});
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("total\tall files\t6\t900060\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("type\t.JPG\t3\t900000\n"));
}

TEST_F(CliProgram, AClosedPipeEndsQuietlyWithSuccess) {
    // More output than a pipe holds, so that the program must see the
    // reader go away.
    for (int i = 0; i < 3000; ++i)
        m_tree.file("many/a-rather-long-file-name-to-fill-the-pipe-" + QByteArray::number(i), 1);
    QProcess shell;
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"),
                 QStringLiteral("\"$0\" hogs --min-size 0 \"$1\" 2>\"$1/err.txt\" | head -1 "
                                ">/dev/null; echo \"${PIPESTATUS[0]}\""),
                 QStringLiteral(VANTREL_EXECUTABLE), root()});
    ASSERT_TRUE(shell.waitForFinished(120000));
    EXPECT_EQ(shell.readAllStandardOutput().trimmed(), "0");
    QFile err(str(m_tree.path("err.txt")));
    ASSERT_TRUE(err.open(QIODevice::ReadOnly));
    EXPECT_EQ(err.readAll(), QByteArray());
}

TEST_F(CliProgram, RunsWithoutAnyDisplay) {
    // A display platform that cannot start here: the windows would abort,
    // a command never asks for it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const Result r = runProgram({"stats", root()}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    const Result version = runProgram({"--version"}, env);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("vantrel "));
    const Result help = runProgram({"--help"}, env);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--min-size"));
}

}  // namespace
}  // namespace vantrel
