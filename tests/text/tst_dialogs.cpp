// The message-box seam: what the scripted seam records, and what the real
// boxes look like. The real boxes are inspected and closed from a timer that
// runs inside their own modal loop, so nothing ever waits for a person.

#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QtTest>

#include <functional>

using namespace vantrel;

namespace {

// What one real message box looked like when it came up.
struct SeenBox {
    bool seen = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QWidget* parent = nullptr;
};

// Waits (inside the box's own event loop) for the modal message box, records
// it and presses `press` on it. Gives up after a few hundred tries so that a
// box that never appears cannot hang the test.
void inspectNextBox(SeenBox* seen, QMessageBox::StandardButton press) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, seen, press, tries] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++*tries > 400)
                timer->deleteLater();
            return;
        }
        seen->seen = true;
        seen->caption = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->parent = box->parentWidget();
        for (QAbstractButton* b : box->buttons())
            seen->buttons.append(box->standardButton(b));
        std::sort(seen->buttons.begin(), seen->buttons.end());
        if (QAbstractButton* b = box->button(press))
            b->click();
        else
            box->reject();
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Vantrel")); }
    void scriptedBoxesRecordKindAndCaption_data();
    void scriptedBoxesRecordKindAndCaption();
    void scriptedQuestionsAnswerFromTheScript();
    void scriptedExecHandsTheDialogToTheHandler();
    void scriptedSeamsNestAndRestore();
    void realBoxesHaveCaptionIconAndOneOkButton_data();
    void realBoxesHaveCaptionIconAndOneOkButton();
    void realBoxWithoutParentIsOwnedByTheActiveWindow();
    void realQuestionOffersYesNoAndReportsTheAnswer_data();
    void realQuestionOffersYesNoAndReportsTheAnswer();
    void realExecRunsTheDialogModally();
};

using BoxFunction = std::function<void(const QString&)>;
Q_DECLARE_METATYPE(BoxFunction)
Q_DECLARE_METATYPE(BoxKind)

void TestDialogs::scriptedBoxesRecordKindAndCaption_data() {
    QTest::addColumn<BoxFunction>("box");
    QTest::addColumn<BoxKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::newRow("alertBox") << BoxFunction([](const QString& t) { alertBox(t); })
                              << BoxKind::Error << QStringLiteral("Error");
    QTest::newRow("stopBox") << BoxFunction([](const QString& t) { stopBox(t); })
                             << BoxKind::Warning << QStringLiteral("Warning");
    QTest::newRow("infoBox") << BoxFunction([](const QString& t) { infoBox(t); })
                             << BoxKind::Information << QStringLiteral("Information");
}

void TestDialogs::scriptedBoxesRecordKindAndCaption() {
    QFETCH(BoxFunction, box);
    QFETCH(BoxKind, kind);
    QFETCH(QString, caption);
    ScriptedDialogs script;
    box(QStringLiteral("Could not open file /x"));
    box(QStringLiteral("second"));
    QCOMPARE(script.messages.size(), 2);
    QCOMPARE(script.messages[0].kind, kind);
    QCOMPARE(script.messages[0].caption, caption);
    QCOMPARE(script.messages[0].text, QStringLiteral("Could not open file /x"));
    QCOMPARE(script.messageTexts(), QStringList({"Could not open file /x", "second"}));
    QCOMPARE(boxCaption(kind), caption);
}

void TestDialogs::scriptedQuestionsAnswerFromTheScript() {
    ScriptedDialogs script;
    script.answers = {Answer::Yes, Answer::Cancel};
    QCOMPARE(dialogs().question(QStringLiteral("Really delete?"), QuestionButtons::YesNo, nullptr),
             Answer::Yes);
    QCOMPARE(dialogs().question(QStringLiteral("Save?"), QuestionButtons::YesNoCancel, nullptr),
             Answer::Cancel);
    // An empty script answers No, the safe answer for every question asked.
    QCOMPARE(dialogs().question(QStringLiteral("Again?"), QuestionButtons::YesNo, nullptr),
             Answer::No);
    QCOMPARE(script.questions, QStringList({"Really delete?", "Save?", "Again?"}));
}

void TestDialogs::scriptedExecHandsTheDialogToTheHandler() {
    ScriptedDialogs script;
    QDialog first;
    first.setWindowTitle(QStringLiteral("First"));
    bool wasVisible = false;
    script.dialogHandlers.push_back([&](QDialog& d) {
        wasVisible = d.isVisible();
        return int(QDialog::Accepted);
    });
    QCOMPARE(dialogs().exec(first), int(QDialog::Accepted));
    QVERIFY(wasVisible);
    QVERIFY(!first.isVisible());

    QDialog second;
    second.setWindowTitle(QStringLiteral("Second"));
    QCOMPARE(dialogs().exec(second), int(QDialog::Rejected));  // no handler left
    QCOMPARE(script.dialogTitles, QStringList({"First", "Second"}));
}

void TestDialogs::scriptedSeamsNestAndRestore() {
    ScriptedDialogs outer;
    {
        ScriptedDialogs inner;
        QCOMPARE(&dialogs(), static_cast<Dialogs*>(&inner));
        infoBox(QStringLiteral("inner"));
    }
    QCOMPARE(&dialogs(), static_cast<Dialogs*>(&outer));
    infoBox(QStringLiteral("outer"));
    QCOMPARE(outer.messageTexts(), QStringList({"outer"}));
}

void TestDialogs::realBoxesHaveCaptionIconAndOneOkButton_data() {
    scriptedBoxesRecordKindAndCaption_data();
}

void TestDialogs::realBoxesHaveCaptionIconAndOneOkButton() {
    // The _data rows above give box, kind and caption; the icon follows the kind.
    QFETCH(BoxFunction, box);
    QFETCH(BoxKind, kind);
    QFETCH(QString, caption);
    const QMessageBox::Icon icon = kind == BoxKind::Error     ? QMessageBox::Critical
                                   : kind == BoxKind::Warning ? QMessageBox::Warning
                                                              : QMessageBox::Information;
    QVERIFY(dynamic_cast<QtDialogs*>(&dialogs()));
    SeenBox seen;
    inspectNextBox(&seen, QMessageBox::Ok);
    box(QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER"));
    QVERIFY(seen.seen);
    QCOMPARE(seen.caption, caption);
    QCOMPARE(seen.icon, icon);
    QCOMPARE(seen.text, QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER"));
    QCOMPARE(seen.buttons, QList<QMessageBox::StandardButton>({QMessageBox::Ok}));
}

void TestDialogs::realBoxWithoutParentIsOwnedByTheActiveWindow() {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tool"));
    window.resize(300, 200);
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        QSKIP("this platform does not activate windows");
    SeenBox seen;
    inspectNextBox(&seen, QMessageBox::Ok);
    infoBox(QStringLiteral("done"));
    QVERIFY(seen.seen);
    QCOMPARE(seen.parent, &window);
}

void TestDialogs::realQuestionOffersYesNoAndReportsTheAnswer_data() {
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

void TestDialogs::realQuestionOffersYesNoAndReportsTheAnswer() {
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    QFETCH(QString, caption);
    SeenBox seen;
    inspectNextBox(&seen, QMessageBox::StandardButton(press));
    const Answer got = dialogs().question(QStringLiteral("Really delete?"),
                                          QuestionButtons(buttons), nullptr, caption);
    QVERIFY(seen.seen);
    QCOMPARE(int(got), answer);
    QCOMPARE(seen.text, QStringLiteral("Really delete?"));
    QCOMPARE(seen.icon, QMessageBox::Question);
    // Without a caption the question carries the application's title.
    QCOMPARE(seen.caption, caption.isEmpty() ? QStringLiteral("Vantrel") : caption);
    QList<QMessageBox::StandardButton> expected = {QMessageBox::Yes, QMessageBox::No};
    if (QuestionButtons(buttons) == QuestionButtons::YesNoCancel)
        expected.append(QMessageBox::Cancel);
    std::sort(expected.begin(), expected.end());
    QCOMPARE(seen.buttons, expected);
}

void TestDialogs::realExecRunsTheDialogModally() {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Modal"));
    bool wasModal = false;
    QTimer::singleShot(0, &dialog, [&] {
        wasModal = QApplication::activeModalWidget() == &dialog;
        dialog.accept();
    });
    QCOMPARE(dialogs().exec(dialog), int(QDialog::Accepted));
    QVERIFY(wasModal);
}

VANTREL_QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
