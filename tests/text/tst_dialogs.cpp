// The message-box seam: what the scripted seam records and answers, and what
// the real boxes look like. Real boxes are inspected and closed from a timer
// that runs inside their own modal loop, so nothing waits for a person.

#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QtTest>

#include <functional>

using namespace vantrel;

namespace {

// What one real message box looked like when it came up.
struct SeenBox {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QWidget* parent = nullptr;
};

// Waits (inside the box's own modal loop) for the next message box, records
// it into `seen` and presses `press`. Gives up after about two seconds so that
// a box that never comes cannot hang the test.
void inspectNextBox(std::optional<SeenBox>* seen, QMessageBox::StandardButton press) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box && ++*tries < 400)
            return;
        timer->deleteLater();
        if (!box)
            return;
        SeenBox s{box->windowTitle(), box->text(), box->icon(), {}, box->parentWidget()};
        for (QAbstractButton* b : box->buttons())
            s.buttons.append(box->standardButton(b));
        std::sort(s.buttons.begin(), s.buttons.end());
        *seen = s;
        box->button(press) ? box->button(press)->click() : box->reject();
    });
    timer->start(5);
}

}  // namespace

using BoxFunction = std::function<void(const QString&)>;
Q_DECLARE_METATYPE(BoxFunction)
Q_DECLARE_METATYPE(BoxKind)

class TestDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Vantrel")); }
    void boxes_data();
    void boxes();
    void realBoxWithoutParentIsOwnedByTheActiveWindow();
    void scriptedQuestionsAndWindows();
    void realQuestion_data();
    void realQuestion();
};

void TestDialogs::boxes_data() {
    QTest::addColumn<BoxFunction>("box");
    QTest::addColumn<BoxKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::newRow("alertBox") << BoxFunction([](const QString& t) { alertBox(t); })
                              << BoxKind::Error << "Error" << int(QMessageBox::Critical);
    QTest::newRow("stopBox") << BoxFunction([](const QString& t) { stopBox(t); })
                             << BoxKind::Warning << "Warning" << int(QMessageBox::Warning);
    QTest::newRow("infoBox") << BoxFunction([](const QString& t) { infoBox(t); })
                             << BoxKind::Information << "Information"
                             << int(QMessageBox::Information);
}

void TestDialogs::boxes() {
    QFETCH(BoxFunction, box);
    QFETCH(BoxKind, kind);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    const QString text = QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER");
    {
        ScriptedDialogs script;
        box(text);
        QCOMPARE(script.messages.size(), 1);
        QCOMPARE(script.messages[0].kind, kind);
        QCOMPARE(script.messages[0].caption, caption);
        QCOMPARE(script.messageTexts(), QStringList{text});
    }
    // The scripted seam is gone again: the real box comes up.
    std::optional<SeenBox> seen;
    inspectNextBox(&seen, QMessageBox::Ok);
    box(text);
    QVERIFY(seen);
    QCOMPARE(seen->caption, caption);
    QCOMPARE(int(seen->icon), icon);
    QCOMPARE(seen->text, text);
    QCOMPARE(seen->buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
}

void TestDialogs::realBoxWithoutParentIsOwnedByTheActiveWindow() {
    QWidget window;
    window.resize(300, 200);
    window.show();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        QSKIP("this platform does not activate windows");
    std::optional<SeenBox> seen;
    inspectNextBox(&seen, QMessageBox::Ok);
    infoBox(QStringLiteral("done"));
    QVERIFY(seen);
    QCOMPARE(seen->parent, &window);
}

void TestDialogs::scriptedQuestionsAndWindows() {
    ScriptedDialogs outer;
    ScriptedDialogs script;  // nested seams: the inner one answers
    script.answers = {Answer::Yes, Answer::Cancel};
    QCOMPARE(dialogs().question("Delete?", QuestionButtons::YesNo, nullptr), Answer::Yes);
    QCOMPARE(dialogs().question("Save?", QuestionButtons::YesNoCancel, nullptr), Answer::Cancel);
    // An empty script answers No, the safe answer.
    QCOMPARE(dialogs().question("Again?", QuestionButtons::YesNo, nullptr), Answer::No);
    QCOMPARE(script.questions, QStringList({"Delete?", "Save?", "Again?"}));
    QDialog first, second;
    first.setWindowTitle(QStringLiteral("First"));
    second.setWindowTitle(QStringLiteral("Second"));
    bool wasVisible = false;
    script.dialogHandlers.push_back([&](QDialog& d) {
        wasVisible = d.isVisible();
        return int(QDialog::Accepted);
    });
    QCOMPARE(dialogs().exec(first), int(QDialog::Accepted));
    QVERIFY(wasVisible && !first.isVisible());
    QCOMPARE(dialogs().exec(second), int(QDialog::Rejected));  // no handler left
    QCOMPARE(script.dialogTitles, QStringList({"First", "Second"}));
    QVERIFY(outer.questions.isEmpty() && outer.dialogTitles.isEmpty());
}

void TestDialogs::realQuestion_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("caption");
    QTest::newRow("yes") << int(QuestionButtons::YesNo) << int(QMessageBox::Yes) << int(Answer::Yes)
                         << QString();
    QTest::newRow("no") << int(QuestionButtons::YesNo) << int(QMessageBox::No) << int(Answer::No)
                        << QStringLiteral("Confirm");
    QTest::newRow("cancel") << int(QuestionButtons::YesNoCancel) << int(QMessageBox::Cancel)
                            << int(Answer::Cancel) << QString();
}

void TestDialogs::realQuestion() {
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    QFETCH(QString, caption);
    std::optional<SeenBox> seen;
    inspectNextBox(&seen, QMessageBox::StandardButton(press));
    const Answer got =
        dialogs().question(QStringLiteral("Delete?"), QuestionButtons(buttons), nullptr, caption);
    QVERIFY(seen);
    QCOMPARE(int(got), answer);
    QCOMPARE(seen->icon, QMessageBox::Question);
    // Without a caption the question carries the application's title.
    QCOMPARE(seen->caption, caption.isEmpty() ? QStringLiteral("Vantrel") : caption);
    QList<QMessageBox::StandardButton> expected = {QMessageBox::Yes, QMessageBox::No};
    if (QuestionButtons(buttons) == QuestionButtons::YesNoCancel)
        expected.append(QMessageBox::Cancel);
    std::sort(expected.begin(), expected.end());
    QCOMPARE(seen->buttons, expected);
}

VANTREL_QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
