// The application object: the program's names, and the default handling of
// an error that escapes a window's handler (shown in an error box; the
// program goes on running).

#include "app/ui/Application.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QPushButton>
#include <QtTest/QtTest>

#include <new>
#include <stdexcept>

using namespace vantrel;

class TestApplication : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesAndIcon();
    void errorInAHandlerIsShownAndTheProgramGoesOn();
    void unknownErrorIsShownToo();
};

void TestApplication::namesAndIcon() {
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("vantrel"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Vantrel"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("2.7"));
    QVERIFY(!QGuiApplication::windowIcon().isNull());
}

void TestApplication::errorInAHandlerIsShownAndTheProgramGoesOn() {
    QPushButton button(QStringLiteral("Start"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, [&] {
        if (++clicks == 1)
            throw std::runtime_error("Could not read the folder");
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    ScriptedDialogs script;
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(script.messages.size(), 1);
    QCOMPARE(script.messages[0].kind, BoxKind::Error);
    QCOMPARE(script.messages[0].text, QStringLiteral("Could not read the folder"));
    // Still running: the next click is handled as usual.
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(script.messages.size(), 1);
}

void TestApplication::unknownErrorIsShownToo() {
    QObject target;
    QObject::connect(&target, &QObject::objectNameChanged, &target, [] { throw 42; });
    ScriptedDialogs script;
    QTimer::singleShot(0, &target, [&] { target.setObjectName(QStringLiteral("x")); });
    QTRY_COMPARE(script.messages.size(), 1);
    QCOMPARE(script.messages[0].text, QStringLiteral("An unexpected error occurred."));
}

int main(int argc, char** argv) {
    test::prepareTestEnvironment();
    Application app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestApplication tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_application.moc"
