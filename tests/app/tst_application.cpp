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
    void namesIconAndErrorsEscapingAHandler();
};

void TestApplication::namesIconAndErrorsEscapingAHandler() {
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("vantrel"));
    // No display name of its own (it would be appended to every window
    // title): the display name falls back to the application name.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("vantrel"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("2.7"));
    QVERIFY(!QGuiApplication::windowIcon().isNull());
    // An error that escapes a handler is shown; the program goes on.
    QPushButton button(QStringLiteral("Start"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, [&] {
        if (++clicks == 1)
            throw std::runtime_error("Could not read the folder");
        if (clicks == 2)
            throw 42;
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    ScriptedDialogs script;
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(&button, Qt::LeftButton);
    // Still running: every click was handled.
    QCOMPARE(clicks, 3);
    QCOMPARE(script.messageTexts(),
             QStringList({"Could not read the folder", "An unexpected error occurred."}));
    QCOMPARE(script.messages[0].kind, BoxKind::Error);
}

int main(int argc, char** argv) {
    test::prepareTestEnvironment();
    Application app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestApplication tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_application.moc"
