// The duplicates window over drives that hold one another (the home folder
// inside "/", a folder added inside the home folder): every file is listed
// once, so no file is ever shown as its own duplicate.

#include "dup/ui/TfrmDup.h"
#include "platform/Drives.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest/QtTest>

#include <algorithm>
#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

class TestDupNested : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_files = std::make_unique<test::TempTree>();
        m_home = std::make_unique<test::TempTree>();
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home->root());
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }

    void cleanup() {
        m_dialogs.reset();
        setDriveListOverride(std::nullopt);
        qputenv("HOME", m_oldHome);
        m_files.reset();
        m_home.reset();
    }

    void filenameOnlyListsEachFileOnce_data() {
        QTest::addColumn<QList<QByteArray>>("drives");  // relative; "" is the tree
        QTest::newRow("tree, then Photos") << QList<QByteArray>{"", "Photos"};
        QTest::newRow("Photos, then tree") << QList<QByteArray>{"Photos", ""};
        QTest::newRow("Photos twice") << QList<QByteArray>{"Photos", "Photos/Sub/.."};
    }

    // With the drives {tree, tree/Photos} both ticked, "Filename only" once
    // listed every file of Photos twice: two rows of one path, and deleting
    // the second removed the only copy.
    void filenameOnlyListsEachFileOnce() {
        QFETCH(QList<QByteArray>, drives);
        for (const char* f : {"Photos/beach.jpg", "Photos/Sub/cat.jpg", "Old/beach.jpg", "lone.txt"})
            m_files->file(f, 1000);
        QList<DriveEntry> list;
        QList<QByteArray> roots;
        for (const QByteArray& d : drives) {
            roots.append(m_files->path(d));
            list.append(DriveEntry{roots.last(), u"folder"_s});
        }
        setDriveListOverride(list);

        TfrmDup w(true, nullptr);
        w.pckDrive->setTickedRoots(roots);
        QCOMPARE(w.pckDrive->tickedCount(), roots.size());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.num1->setValue(0);
        w.cbDup->setCurrentIndex(0);  // Filename only
        QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
        w.btScan->click();
        QVERIFY(!finished.isEmpty() || finished.wait(60000));

        QList<QByteArray> rows;
        for (int row = 1; row <= w.grid->rowCounter(); ++row)
            rows.append(w.grid->gridModel()->pathAt(row));
        std::sort(rows.begin(), rows.end());
        const QList<QByteArray> expected = {m_files->path("Old/beach.jpg"),
                                            m_files->path("Photos/beach.jpg")};
        // A root that the other holds is the walk's only difference, so the
        // Photos-only rows hold just one beach.jpg: nothing is a duplicate.
        if (!drives.contains(""))
            QCOMPARE(rows, QList<QByteArray>());
        else
            QCOMPARE(rows, expected);
        QCOMPARE(w.pnlSel->text(), rows.isEmpty() ? QString() : u"2 duplicates found"_s);
    }

private:
    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QByteArray m_oldHome;
};

VANTREL_QTEST_MAIN(TestDupNested)
#include "tst_dup_nested.moc"
