// The output formats: one line per row whatever a name holds, exact bytes
// recoverable from TSV/CSV escapes and from JSON's byte arrays.

#include "cli/RowWriter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vantrel {
namespace {

// Writes rows through a RowWriter into a temporary file and reads them back.
QByteArray written(CliFormat format, const QList<QList<CliField>>& rows, bool header = true) {
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    {
        RowWriter w(format, file.handle(), {QStringLiteral("size"), QStringLiteral("path")},
                    header);
        for (const auto& r : rows)
            EXPECT_TRUE(w.write(r));
    }
    file.seek(0);
    return file.readAll();
}

// Undoes escapeLineCell, the way a script reading the output would.
QByteArray unescape(const QByteArray& cell) {
    QByteArray out;
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\') {
            out.append(cell[i]);
            continue;
        }
        const char c = cell[++i];
        if (c == 't')
            out.append('\t');
        else if (c == 'n')
            out.append('\n');
        else if (c == 'r')
            out.append('\r');
        else if (c == '\\')
            out.append('\\');
        else if (c == 'x') {
            out.append(char(cell.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        }
    }
    return out;
}

const QByteArray kNastyNames[] = {
    QByteArray("plain.txt"),
    QByteArray("tab\there"),
    QByteArray("line\nbreak\r\n"),
    QByteArray("back\\slash\\t"),
    QByteArray("bad\xff\xfe bytes"),
    QByteArray("cut \xe2\x82"),                // a sequence cut short
    QByteArray("overlong \xc0\xaf"),           // "/" in two bytes
    QByteArray("surrogate \xed\xa0\x80"),      // not UTF-8
    QByteArray("bell\x07 del\x7f"),
    QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80"),  // valid, kept as is
    QByteArray("comma, \"quoted\""),
};

TEST(CliOutput, LineCellsEscapeToOneLineAndBackExactly) {
    for (const QByteArray& name : kNastyNames) {
        const QByteArray cell = escapeLineCell(name);
        EXPECT_FALSE(cell.contains('\t')) << name.toStdString();
        EXPECT_FALSE(cell.contains('\n'));
        EXPECT_FALSE(cell.contains('\r'));
        EXPECT_TRUE(QString::fromUtf8(cell).toUtf8() == cell) << "not UTF-8: " << cell.toStdString();
        EXPECT_EQ(unescape(cell), name) << cell.toStdString();
    }
    EXPECT_EQ(escapeLineCell("caf\xc3\xa9"), QByteArray("caf\xc3\xa9"));
    EXPECT_EQ(escapeLineCell("a\xff"), QByteArray("a\\xff"));
}

TEST(CliOutput, TsvAndCsvWriteOneLinePerRow) {
    QList<QList<CliField>> rows;
    for (const QByteArray& name : kNastyNames)
        rows.append({CliField::integer(7), CliField::text(name)});
    for (const CliFormat format : {CliFormat::Tsv, CliFormat::Csv}) {
        const QByteArray out = written(format, rows);
        const QList<QByteArray> lines = out.split('\n');
        ASSERT_EQ(lines.size(), qsizetype(std::size(kNastyNames)) + 2);  // title, rows, ""
        EXPECT_EQ(lines[0], format == CliFormat::Csv ? "size,path" : "size\tpath");
        EXPECT_TRUE(lines.last().isEmpty());
    }
    const QByteArray csv = written(CliFormat::Csv, {{CliField::integer(1),
                                                     CliField::text("comma, \"quoted\"")}},
                                   false);
    EXPECT_EQ(csv, QByteArray("1,\"comma, \"\"quoted\"\"\"\n"));
    const QByteArray tsv = written(CliFormat::Tsv, {{CliField::missing(), CliField::text("x")}},
                                   false);
    EXPECT_EQ(tsv, QByteArray("\tx\n"));
}

TEST(CliOutput, JsonLinesParseAndCarryExactBytes) {
    QList<QList<CliField>> rows;
    for (const QByteArray& name : kNastyNames)
        rows.append({CliField::integer(123456789012LL), CliField::text(name)});
    rows.append({CliField::missing(), CliField::text("x")});
    const QByteArray out = written(CliFormat::JsonLines, rows);
    const QList<QByteArray> lines = out.split('\n');
    ASSERT_EQ(lines.size(), qsizetype(std::size(kNastyNames)) + 2);  // no title
    for (qsizetype i = 0; i < qsizetype(std::size(kNastyNames)); ++i) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(lines[i], &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << lines[i].toStdString();
        const QJsonObject o = doc.object();
        EXPECT_EQ(o.value(QStringLiteral("size")).toInteger(), 123456789012LL);
        const QByteArray& name = kNastyNames[i];
        const bool valid = QString::fromUtf8(name).toUtf8() == name;
        if (valid) {
            EXPECT_EQ(o.value(QStringLiteral("path")).toString().toUtf8(), name);
            EXPECT_FALSE(o.contains(QStringLiteral("path_bytes")));
        } else {
            QByteArray bytes;
            for (const QJsonValue v : o.value(QStringLiteral("path_bytes")).toArray())
                bytes.append(char(v.toInt()));
            EXPECT_EQ(bytes, name) << lines[i].toStdString();
            EXPECT_TRUE(o.value(QStringLiteral("path")).toString().contains(QChar(0xFFFD)));
        }
    }
    const QJsonObject last = QJsonDocument::fromJson(lines[std::size(kNastyNames)]).object();
    EXPECT_TRUE(last.value(QStringLiteral("size")).isNull());
}

TEST(CliOutput, AWriterWithoutReaderBreaksQuietly) {
    std::signal(SIGPIPE, SIG_IGN);  // as the program does
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ::close(fds[0]);
    RowWriter w(CliFormat::Tsv, fds[1], {QStringLiteral("path")}, true);
    // Enough rows to pass the buffer, so that the failed write is seen.
    bool ok = true;
    for (int i = 0; i < 20000 && ok; ++i)
        ok = w.write({CliField::text(QByteArray("some/long/enough/path/name"))});
    EXPECT_FALSE(ok);
    EXPECT_TRUE(w.broken());
    EXPECT_EQ(w.error(), EPIPE);
    ::close(fds[1]);
}

}  // namespace
}  // namespace vantrel
