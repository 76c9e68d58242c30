// A result window's guard: no hints of that window (and only of that
// window) while they are off, all of them back afterwards, and Enter in the
// grid never reaching the window's default button.
#include "results/ui/ResultWindowGuard.h"
#include "support/TestSupport.h"

#include <QDialog>
#include <QHelpEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest/QtTest>

using namespace vantrel;

namespace {

// Counts the tool-tip requests that reach it.
class HintProbe : public QWidget {
public:
    using QWidget::QWidget;
    int tips = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip)
            ++tips;
        return QWidget::event(event);
    }
};

// True when a tool-tip request for `w` reached it.
bool tipReaches(HintProbe* w) {
    const int before = w->tips;
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), w->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(w, &help);
    return w->tips > before;
}

// A window with a default button, a grid stand-in and a widget deeper down.
struct Window {
    QDialog dialog;
    QPushButton* start = new QPushButton(QStringLiteral("&Start"), &dialog);
    HintProbe* grid = new HintProbe(&dialog);
    QWidget* panel = new QWidget(&dialog);
    HintProbe* deep = new HintProbe(panel);

    Window() {
        start->setDefault(true);
        grid->setFocusPolicy(Qt::StrongFocus);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(start);
        layout->addWidget(panel);
        layout->addWidget(grid);
    }
};

}  // namespace

class TestResultWindowGuard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hintsOffForThisWindowOnlyAndBackAfterwards() {
        Window w;
        Window other;
        auto* guard = new ResultWindowGuard(&w.dialog, w.grid);
        QVERIFY(tipReaches(w.deep));

        guard->setHintsShown(false);
        QVERIFY(!guard->hintsShown());
        QVERIFY(!tipReaches(w.deep));
        QVERIFY(!tipReaches(w.grid));
        QVERIFY(tipReaches(other.deep));
        // Saying it twice changes nothing.
        guard->setHintsShown(false);
        QVERIFY(!tipReaches(w.deep));

        guard->setHintsShown(true);
        QVERIFY(tipReaches(w.deep));
        QVERIFY(tipReaches(w.grid));

        // A guard that goes while hints are off leaves none hidden.
        guard->setHintsShown(false);
        delete guard;
        QVERIFY(tipReaches(w.deep));
    }

    void enterInTheGridDoesNotPressTheDefaultButton() {
        Window w;
        new ResultWindowGuard(&w.dialog, w.grid);
        w.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.dialog));
        QSignalSpy clicks(w.start, &QPushButton::clicked);
        QTest::keyClick(w.grid, Qt::Key_Return);
        QTest::keyClick(w.grid, Qt::Key_Enter);
        QCOMPARE(clicks.count(), 0);
        // Elsewhere in the window Enter still starts.
        QTest::keyClick(w.deep, Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
    }
};

VANTREL_QTEST_MAIN(TestResultWindowGuard)
#include "tst_resultwindowguard.moc"
