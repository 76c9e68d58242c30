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

#include <tuple>

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

class TestDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Vantrel")); }
    void boxes();
    void realBoxWithoutParentIsOwnedByTheActiveWindow();
    void scriptedQuestionsAndWindows();
    void realQuestion();
    void boxWithDetails();
};

void TestDialogs::boxes() {
    using Box = void (*)(const QString&, QWidget*);
    const std::tuple<Box, BoxKind, QString, QMessageBox::Icon> rows[] = {
        {alertBox, BoxKind::Error, QStringLiteral("Error"), QMessageBox::Critical},
        {stopBox, BoxKind::Warning, QStringLiteral("Warning"), QMessageBox::Warning},
        {infoBox, BoxKind::Information, QStringLiteral("Information"), QMessageBox::Information}};
    const QString text = QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER");
    for (const auto& [box, kind, caption, icon] : rows) {
        {
            ScriptedDialogs script;
            box(text, nullptr);
            QCOMPARE(script.messages[0].kind, kind);
            QCOMPARE(script.messages[0].caption, caption);
            QCOMPARE(script.messageTexts(), QStringList{text});
        }
        // The scripted seam is gone again: the real box comes up.
        std::optional<SeenBox> seen;
        inspectNextBox(&seen, QMessageBox::Ok);
        box(text, nullptr);
        QVERIFY(seen);
        QCOMPARE(QStringList({seen->caption, seen->text}), QStringList({caption, text}));
        QCOMPARE(seen->icon, icon);
        QCOMPARE(seen->buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    }
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
    ScriptedDialogs script;
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
}

void TestDialogs::realQuestion() {
    using B = QMessageBox;
    const std::tuple<QuestionButtons, B::StandardButton, Answer, QString> rows[] = {
        {QuestionButtons::YesNo, B::Yes, Answer::Yes, QString()},
        {QuestionButtons::YesNo, B::No, Answer::No, QStringLiteral("Confirm")},
        {QuestionButtons::YesNoCancel, B::Cancel, Answer::Cancel, QString()}};
    for (const auto& [buttons, press, answer, caption] : rows) {
        std::optional<SeenBox> seen;
        inspectNextBox(&seen, press);
        QCOMPARE(dialogs().question(QStringLiteral("Delete?"), buttons, nullptr, caption), answer);
        QVERIFY(seen);
        QCOMPARE(seen->icon, B::Question);
        // Without a caption the question carries the application's title.
        QCOMPARE(seen->caption, caption.isEmpty() ? QStringLiteral("Vantrel") : caption);
        QList<B::StandardButton> expected = {B::Yes, B::No};
        if (buttons == QuestionButtons::YesNoCancel)
            expected.append(B::Cancel);
        QCOMPARE(seen->buttons, expected);
    }
}

// A box with a details area: scripted it records the details; the real one
// is a box of its kind whose details area holds them.
void TestDialogs::boxWithDetails() {
    const QString text = QStringLiteral("2 folders could not be read; the result is incomplete.");
    const QString details = QStringLiteral("/a: Permission denied\n/b: Permission denied");
    {
        ScriptedDialogs script;
        detailsBox(BoxKind::Warning, text, details);
        QCOMPARE(script.messageTexts(), QStringList{text});
        QCOMPARE(script.messages[0].details, details);
        QCOMPARE(script.messages[0].caption, QStringLiteral("Warning"));
    }
    std::optional<SeenBox> seen;
    QString shownDetails;
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            shownDetails = box->detailedText();
    });
    timer->start(1);
    inspectNextBox(&seen, QMessageBox::Ok);
    detailsBox(BoxKind::Warning, text, details);
    delete timer;
    QVERIFY(seen);
    QCOMPARE(QStringList({seen->caption, seen->text}), QStringList({"Warning", text}));
    QCOMPARE(seen->icon, QMessageBox::Warning);
    QCOMPARE(shownDetails, details);
}

VANTREL_QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
