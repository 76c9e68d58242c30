#include "browse/FileDetails.h"
#include "browse/PeFixture.h"
#include "browse/ui/FileIcon.h"
#include "browse/ui/TfrmDetails.h"
#include "platform/FileRecord.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QPrinterInfo>
#include <QtTest>
#include <QtWidgets>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

QString labelText(const TfrmDetails& w, const char* name) {
    auto* label = w.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text().remove(QChar(0x200B)) : u"<missing>"_s;
}

template <class T>
T* child(const TfrmDetails& w, const char* name) {
    return w.findChild<T*>(QLatin1String(name));
}

}  // namespace

class TestDetails : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dialogs = std::make_unique<ScriptedDialogs>(); }
    void cleanup() { m_dialogs.reset(); }

    void showsAndPrintsAProgram() {
        test::TempTree tree;
        const QByteArray path = tree.fileWith("sample.exe", test::samplePeImage(true));
        const QDateTime modified(QDate(2021, 1, 2), QTime(3, 4, 6));
        tree.setTimes("sample.exe", modified, QDateTime(QDate(2022, 7, 8), QTime(9, 10, 12)));
        const qint64 size = QFileInfo(QString::fromUtf8(path)).size();
        TfrmDetails w;
        w.setFileName(path);
        w.show();
        QCOMPARE(labelText(w, "lblSizeBytes"), numberText(size) + u" bytes"_s);
        QCOMPARE(labelText(w, "lblSizeK"), wastedClusterSpace(path, size));
        FileRecord record;
        QVERIFY(statPath(path, record));
        QCOMPARE(labelText(w, "lblDiskUse"),
                 diskUseText(size, record.allocated, diskGeometry(tree.root())));
        QVERIFY(labelText(w, "lblModify")
                    .startsWith(fileDateText(packUnixTime(modified.toSecsSinceEpoch())) + u"  "_s));
        QVERIFY(!child<QLabel>(w, "Image1")->pixmap().isNull());
        const QStringList lines =
            child<QPlainTextEdit>(w, "Memo1")->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines, versionLines(path, true));

        if (QPrinterInfo::availablePrinters().isEmpty()) {  // prints to a PDF file only
            m_dialogs->printAnswers = {true};
            child<QPushButton>(w, "btPrint")->click();
            QCOMPARE(w.printLines().mid(11), QStringList{u" "_s} + lines);
        }
        // A folder has no version strings: the memo goes and the window closes up.
        TfrmDetails folder;
        folder.setFileName(tree.mkdir("photos"));
        folder.show();
        QCOMPARE(labelText(folder, "lblAttributes"), u" Directory"_s);
        QCOMPARE(child<QLabel>(folder, "Image1")->pixmap().toImage(),
                 programIcon(u"DIRECTORY"_s).pixmap(32, 32).toImage());
        QVERIFY(child<QPlainTextEdit>(folder, "Memo1")->isHidden() && folder.height() < w.height());
        QVERIFY(folder.height() - child<QPushButton>(folder, "btPrint")->geometry().bottom() <= 12);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void vanishedFileLeavesTheLabelsBlank() {
        test::TempTree tree;
        TfrmDetails w;
        w.setFileName(tree.path("gone.txt"));
        w.show();
        for (const char* name :
             {"lblFileName", "lblFileType", "lblSizeBytes", "lblSizeK", "lblDiskUse", "lblCreate",
              "lblModify", "lblAccess", "lblAttributes"})
            QCOMPARE(labelText(w, name), QString());
        QVERIFY(child<QLabel>(w, "Image1")->pixmap().isNull());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void runFailureShowsTheMessage() {
        test::TempTree tree;
        const QByteArray path = tree.fileWith("caf\xE9.sh", "echo\n");
        QByteArray launched;
        TfrmDetails w;
        w.setFileName(path);
        w.setLauncher([&launched](const QByteArray& p) {
            launched = p;
            return false;
        });
        w.show();
        child<QPushButton>(w, "btLaunch")->click();
        QCOMPARE(launched, path);
        QCOMPARE(m_dialogs->messageTexts(), QStringList{u"Couldn't run "_s + displayText(path)});
        QCOMPARE(m_dialogs->messages.first().kind, BoxKind::Error);
    }

private:
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

VANTREL_QTEST_MAIN(TestDetails)
#include "tst_details.moc"
