// Opening a file with its application: the URL handed to the desktop keeps
// every byte of the path. The desktop is replaced by a handler of the "file"
// scheme, so nothing is started.

#include "platform/ui/Shell.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QtTest/QtTest>

using namespace vantrel;

class TestShell : public QObject {
    Q_OBJECT

public Q_SLOTS:
    // Stands in for the desktop.
    void open(const QUrl& url) { m_urls.append(url.toEncoded()); }

private Q_SLOTS:
    void openHandsEveryByteOfThePathToTheDesktop();

private:
    QList<QByteArray> m_urls;
};

void TestShell::openHandsEveryByteOfThePathToTheDesktop() {
    const std::pair<QByteArray, QByteArray> rows[] = {
        {"/home/ann/a.txt", "file:///home/ann/a.txt"},
        {"/tmp/my file#1.txt", "file:///tmp/my%20file%231.txt"},
        {"/tmp/100%?.txt", "file:///tmp/100%25%3F.txt"},
        {"/tmp/r\xe9sum\xe9.pdf", "file:///tmp/r%E9sum%E9.pdf"},  // not UTF-8
        {"/tmp/caf\xc3\xa9.txt", "file:///tmp/caf%C3%A9.txt"}};
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
    for (const auto& [path, encoded] : rows) {
        QVERIFY(urlForPath(path).isLocalFile());
        QVERIFY(openWithAssociatedApplication(path));
        QCOMPARE(m_urls.takeLast(), encoded);
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

VANTREL_QTEST_MAIN(TestShell)
#include "tst_shell.moc"
