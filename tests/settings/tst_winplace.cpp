// A real window's placement stored in a temporary settings file and put back.

#include "settings/IniFile.h"
#include "settings/ui/WinPlace.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest/QtTest>

using namespace vantrel;

class TestWinPlace : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_tree = std::make_unique<test::TempTree>(); }
    void saveAndRestore();
    void separateSectionsKeepSeparatePlacements();
    void unusableValueLeavesTheWindowWhereItIs();
    void storedStates();
    void placeOnNoScreenIsMovedOntoTheScreen();
    void damagedValueNeverGivesAnUnusableWindow();

private:
    std::unique_ptr<test::TempTree> m_tree;
    QString iniPath() const { return QFile::decodeName(m_tree->path("vantrel.ini")); }
    // A shown window named `name` with a given normal geometry.
    static std::unique_ptr<QWidget> window(const QRect& geometry, const QString& name = "frmView") {
        auto w = std::make_unique<QWidget>();
        w->setObjectName(name);
        w->setGeometry(geometry);
        w->show();
        return w;
    }
    // Stores `value` under (S, frmView) and restores it onto a new window.
    std::unique_ptr<QWidget> restored(const QString& value) {
        if (!value.isNull())
            IniFile(iniPath()).writeString(QStringLiteral("S"), QStringLiteral("frmView"), value);
        auto w = window(QRect(40, 50, 320, 240));
        TWinPlace place(w.get());
        place.IniFileName = iniPath();
        place.Section = QStringLiteral("S");
        place.RestorePlacement();
        return w;
    }
};

void TestWinPlace::saveAndRestore() {
    auto w = window(QRect(120, 80, 500, 380));
    TWinPlace place(w.get());
    place.IniFileName = iniPath();
    place.Section = QStringLiteral("/opt/vantrel/vantrel");
    QVERIFY(!place.hasStoredPlacement());
    place.SavePlacement();
    QVERIFY(place.hasStoredPlacement());
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("[/opt/vantrel/vantrel]\nfrmView=0 1 -1 -1 -1 -1 120 80 620 460 \n"));
    w->setGeometry(1, 1, 100, 100);
    place.RestorePlacement();
    QCOMPARE(w->geometry(), QRect(120, 80, 500, 380));

    // Another delimiter, and a bare file name, which lives in the settings folder.
    place.Delimiter = QStringLiteral(",");
    place.IniFileName = QStringLiteral("vantrelm");
    place.SavePlacement();
    QCOMPARE(vantrelmIni().readString(place.Section, QStringLiteral("frmView")),
             QStringLiteral("0,1,-1,-1,-1,-1,120,80,620,460,"));
    QFile::remove(vantrelmIni().path());
}

void TestWinPlace::separateSectionsKeepSeparatePlacements() {
    // The duplicates window keeps one placement per mode under the same key.
    const std::pair<QString, QRect> modes[] = {{"frmDups", QRect(100, 100, 300, 200)},
                                               {"frmMods", QRect(200, 150, 350, 250)}};
    auto w = window(QRect(0, 0, 100, 100), QStringLiteral("frmMods"));
    TWinPlace place(w.get());
    place.IniFileName = iniPath();
    for (const auto& [section, rect] : modes) {
        w->setGeometry(rect);
        place.Section = section;
        place.SavePlacement();
    }
    for (const auto& [section, rect] : modes) {
        place.Section = section;
        place.RestorePlacement();
        QCOMPARE(w->geometry(), rect);
    }
}

void TestWinPlace::unusableValueLeavesTheWindowWhereItIs() {
    for (const QString& stored :
         {QString(), QStringLiteral(""), QStringLiteral("not a placement"),
          QStringLiteral("0 1 -1 -1 -1 -1 300 80 300 460 "),    // right equals left
          QStringLiteral("0 1 -1 -1 -1 -1 120 460 620 460 ")})  // no height
        QCOMPARE(restored(stored)->geometry(), QRect(40, 50, 320, 240));
}

void TestWinPlace::storedStates() {
    auto maximised = restored(QStringLiteral("0 3 -1 -1 -1 -1 120 80 620 460 "));
    QVERIFY(maximised->windowState() & Qt::WindowMaximized);
    QCOMPARE(TWinPlace::placementOf(*maximised).showCmd, 3);
    // Minimised comes back as the normal place: a modal window that opened
    // minimised would leave nothing on the screen to answer.
    auto minimised = restored(QStringLiteral("0 2 -1 -1 -1 -1 120 80 620 460 "));
    QVERIFY(!(minimised->windowState() & Qt::WindowMinimized));
    QCOMPARE(minimised->geometry(), QRect(120, 80, 500, 380));
}

void TestWinPlace::placeOnNoScreenIsMovedOntoTheScreen() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const int left = area.right() + 5000, top = area.bottom() + 5000;
    const Placement far{.left = left, .top = top, .right = left + 300, .bottom = top + 200};
    auto w = window(QRect(10, 10, 200, 150));
    QVERIFY(TWinPlace::applyPlacement(*w, far));
    QCOMPARE(w->geometry().size(), QSize(300, 200));
    QVERIFY(area.intersects(w->geometry()));
}

// -2147483648 in a field once overflowed the width and restored a window of
// no size; a tiny stored size comes back usable.
void TestWinPlace::damagedValueNeverGivesAnUnusableWindow() {
    for (const QString& stored :
         {QStringLiteral("0 1 -1 -1 -1 -1 -2147483648 80 620 460 "),
          QStringLiteral("0 1 -1 -1 -1 -1 -2147483648 -2147483648 2147483647 2147483647 "),
          QStringLiteral("0 3 -1 -1 -1 -1 0 0 2147483647 460 ")})
        QCOMPARE(restored(stored)->geometry(), QRect(40, 50, 320, 240));
    auto tiny = restored(QStringLiteral("0 1 -1 -1 -1 -1 30 40 31 41 "));
    QCOMPARE(tiny->geometry(), QRect(30, 40, 160, 100));
}

VANTREL_QTEST_MAIN(TestWinPlace)
#include "tst_winplace.moc"
