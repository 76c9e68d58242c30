// Opening a file with its application: the URL handed to the desktop keeps
// every byte of the path, and a refusal comes back as false. The desktop is
// replaced by a handler of the "file" scheme, so nothing is started.

#include "platform/ui/Shell.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QtTest/QtTest>

using namespace vantrel;

// Stands in for the desktop: records the URLs it is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void urlKeepsEveryByte_data();
    void urlKeepsEveryByte();
    void openHandsTheUrlToTheDesktop();
};

void TestShell::urlKeepsEveryByte_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("plain") << QByteArray("/home/ann/a.txt") << QByteArray("file:///home/ann/a.txt");
    QTest::newRow("blank and hash")
        << QByteArray("/tmp/my file#1.txt") << QByteArray("file:///tmp/my%20file%231.txt");
    QTest::newRow("percent and question mark")
        << QByteArray("/tmp/100%?.txt") << QByteArray("file:///tmp/100%25%3F.txt");
    QTest::newRow("not UTF-8") << QByteArray("/tmp/caf\xe9.txt")
                               << QByteArray("file:///tmp/caf%E9.txt");
    QTest::newRow("UTF-8") << QByteArray("/tmp/caf\xc3\xa9.txt")
                           << QByteArray("file:///tmp/caf%C3%A9.txt");
}

void TestShell::urlKeepsEveryByte() {
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, encoded);
    const QUrl url = urlForPath(path);
    QVERIFY(url.isValid());
    QVERIFY(url.isLocalFile());
    QCOMPARE(url.toEncoded(), encoded);
    QCOMPARE(QByteArray::fromPercentEncoding(url.toEncoded(QUrl::RemoveScheme).mid(2)), path);
}

void TestShell::openHandsTheUrlToTheDesktop() {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const bool opened = openWithAssociatedApplication(QByteArray("/tmp/r\xe9sum\xe9 1.pdf"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(opened);
    QCOMPARE(catcher.urls.size(), 1);
    QCOMPARE(catcher.urls[0].toEncoded(), QByteArray("file:///tmp/r%E9sum%E9%201.pdf"));
}

VANTREL_QTEST_MAIN(TestShell)
#include "tst_shell.moc"
