// A real window's placement stored in a temporary settings file and put back.

#include "settings/IniFile.h"
#include "settings/ui/WinPlace.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest/QtTest>

using namespace vantrel;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestWinPlace : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void defaults();
    void saveStoresTheTenNumbers();
    void restorePutsTheWindowBack();
    void separateSectionsKeepSeparatePlacements();
    void unusableValueLeavesTheWindowWhereItIs_data();
    void unusableValueLeavesTheWindowWhereItIs();
    void otherDelimiter();
    void maximisedStateComesBack();
    void minimisedStateComesBackAsNormal();
    void placeOnNoScreenIsMovedOntoTheScreen();
    void bareFileNameLivesInTheSettingsFolder();

private:
    std::unique_ptr<test::TempTree> m_tree;
    QString iniPath() const { return QFile::decodeName(m_tree->path("vantrel.ini")); }
    // A shown top-level window with a given normal geometry.
    std::unique_ptr<QWidget> window(const QRect& geometry, const QString& name = "frmView");
};

void TestWinPlace::init() {
    m_tree = std::make_unique<test::TempTree>();
}

void TestWinPlace::cleanup() {
    m_tree.reset();
}

std::unique_ptr<QWidget> TestWinPlace::window(const QRect& geometry, const QString& name) {
    auto w = std::make_unique<QWidget>();
    w->setObjectName(name);
    w->setGeometry(geometry);
    w->show();
    return w;
}

void TestWinPlace::defaults() {
    QWidget owner;
    owner.setObjectName(QStringLiteral("frmBrowse"));
    TWinPlace place(&owner);
    QCOMPARE(place.IniFileName, QStringLiteral("WinPlace.INI"));
    QCOMPARE(place.Section, QCoreApplication::applicationFilePath());
    QCOMPARE(place.Identifier, QStringLiteral("frmBrowse"));
    QCOMPARE(place.Delimiter, QStringLiteral(" "));
    QCOMPARE(place.parent(), &owner);
}

void TestWinPlace::saveStoresTheTenNumbers() {
    auto w = window(QRect(120, 80, 500, 380));
    TWinPlace place(w.get());
    place.IniFileName = iniPath();
    place.Section = QStringLiteral("/opt/vantrel/vantrel");
    QVERIFY(!place.hasStoredPlacement());
    place.SavePlacement();
    QVERIFY(place.hasStoredPlacement());
    // The file holds the value with its final blank; reading trims it.
    QCOMPARE(fileBytes(iniPath()),
             QByteArray("[/opt/vantrel/vantrel]\nfrmView=0 1 -1 -1 -1 -1 120 80 620 460 \n"));
}

void TestWinPlace::restorePutsTheWindowBack() {
    {
        auto w = window(QRect(130, 90, 410, 300));
        TWinPlace place(w.get());
        place.IniFileName = iniPath();
        place.SavePlacement();
    }
    auto w = window(QRect(10, 10, 200, 150));
    TWinPlace place(w.get());
    place.IniFileName = iniPath();
    place.RestorePlacement();
    QCOMPARE(w->geometry(), QRect(130, 90, 410, 300));
}

void TestWinPlace::separateSectionsKeepSeparatePlacements() {
    // The duplicates window keeps one placement per mode under the same key.
    auto dups = window(QRect(100, 100, 300, 200), QStringLiteral("frmMods"));
    TWinPlace dupPlace(dups.get());
    dupPlace.IniFileName = iniPath();
    dupPlace.Section = QStringLiteral("frmDups");
    dupPlace.SavePlacement();
    auto hogs = window(QRect(200, 150, 350, 250), QStringLiteral("frmMods"));
    TWinPlace hogPlace(hogs.get());
    hogPlace.IniFileName = iniPath();
    hogPlace.Section = QStringLiteral("frmMods");
    hogPlace.SavePlacement();

    auto again = window(QRect(0, 0, 100, 100), QStringLiteral("frmMods"));
    TWinPlace againPlace(again.get());
    againPlace.IniFileName = iniPath();
    againPlace.Section = QStringLiteral("frmDups");
    againPlace.RestorePlacement();
    QCOMPARE(again->geometry(), QRect(100, 100, 300, 200));
    againPlace.Section = QStringLiteral("frmMods");
    againPlace.RestorePlacement();
    QCOMPARE(again->geometry(), QRect(200, 150, 350, 250));
}

void TestWinPlace::unusableValueLeavesTheWindowWhereItIs_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("missing") << QString();
    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("garbage") << QStringLiteral("not a placement");
    QTest::newRow("right equals left") << QStringLiteral("0 1 -1 -1 -1 -1 300 80 300 460 ");
    QTest::newRow("right left of left") << QStringLiteral("0 1 -1 -1 -1 -1 620 80 120 460 ");
    QTest::newRow("no height") << QStringLiteral("0 1 -1 -1 -1 -1 120 460 620 460 ");
}

void TestWinPlace::unusableValueLeavesTheWindowWhereItIs() {
    QFETCH(QString, stored);
    if (!stored.isNull())
        QVERIFY(
            IniFile(iniPath()).writeString(QStringLiteral("S"), QStringLiteral("frmView"), stored));
    auto w = window(QRect(40, 50, 320, 240));
    const QRect before = w->geometry();
    TWinPlace place(w.get());
    place.IniFileName = iniPath();
    place.Section = QStringLiteral("S");
    place.RestorePlacement();
    QCOMPARE(w->geometry(), before);
    QVERIFY(!TWinPlace::applyPlacement(*w, parsePlacement(stored)));
}

void TestWinPlace::otherDelimiter() {
    auto w = window(QRect(120, 80, 500, 380));
    TWinPlace place(w.get());
    place.IniFileName = iniPath();
    place.Delimiter = QStringLiteral(",");
    place.SavePlacement();
    QCOMPARE(IniFile(iniPath()).readString(place.Section, place.Identifier),
             QStringLiteral("0,1,-1,-1,-1,-1,120,80,620,460,"));
    w->setGeometry(1, 1, 100, 100);
    place.RestorePlacement();
    QCOMPARE(w->geometry(), QRect(120, 80, 500, 380));
}

void TestWinPlace::maximisedStateComesBack() {
    QVERIFY(IniFile(iniPath()).writeString(QStringLiteral("S"), QStringLiteral("frmView"),
                                           QStringLiteral("0 3 -1 -1 -1 -1 120 80 620 460 ")));
    auto w = window(QRect(10, 10, 200, 150));
    TWinPlace place(w.get());
    place.IniFileName = iniPath();
    place.Section = QStringLiteral("S");
    place.RestorePlacement();
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QCOMPARE(TWinPlace::placementOf(*w).showCmd, 3);
}

void TestWinPlace::minimisedStateComesBackAsNormal() {
    QVERIFY(IniFile(iniPath()).writeString(QStringLiteral("S"), QStringLiteral("frmView"),
                                           QStringLiteral("0 2 -1 -1 -1 -1 120 80 620 460 ")));
    auto w = window(QRect(10, 10, 200, 150));
    TWinPlace place(w.get());
    place.IniFileName = iniPath();
    place.Section = QStringLiteral("S");
    place.RestorePlacement();
    QVERIFY(!(w->windowState() & Qt::WindowMinimized));
    QCOMPARE(w->geometry(), QRect(120, 80, 500, 380));
}

void TestWinPlace::placeOnNoScreenIsMovedOntoTheScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    const QRect area = screen->availableGeometry();
    Placement far;
    far.left = area.right() + 5000;
    far.top = area.bottom() + 5000;
    far.right = far.left + 300;
    far.bottom = far.top + 200;
    auto w = window(QRect(10, 10, 200, 150));
    QVERIFY(TWinPlace::applyPlacement(*w, far));
    QCOMPARE(w->geometry().size(), QSize(300, 200));
    QVERIFY(area.intersects(w->geometry()));
}

void TestWinPlace::bareFileNameLivesInTheSettingsFolder() {
    auto w = window(QRect(120, 80, 500, 380));
    TWinPlace place(w.get());
    place.IniFileName = QStringLiteral("vantrelm");
    place.SavePlacement();
    const QString stored = settingsFolder() + QStringLiteral("/vantrelm");
    QVERIFY(QFile::exists(stored));
    QVERIFY(fileBytes(stored).contains("\nfrmView=0 1 -1 -1 -1 -1 120 80 620 460 \n"));
    QFile::remove(stored);
}

VANTREL_QTEST_MAIN(TestWinPlace)
#include "tst_winplace.moc"
