// The launcher: its look, which tool buttons it offers, how it opens tool
// windows (modal ones through the dialog seam, the statistics window not
// modally), the duplicate-mode flag, the windows made at start-up, the about
// box, help, hints and Exit.

#include "app/AppPaths.h"
#include "app/ui/AppWindows.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/HintStyle.h"
#include "app/ui/TfrmAbout.h"
#include "app/ui/TfrmMain.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTextBrowser>
#include <QToolTip>
#include <QtTest/QtTest>

#include <stdexcept>

using namespace vantrel;

namespace {

QPushButton* button(QWidget& window, const QString& name) {
    return window.findChild<QPushButton*>(name);
}

// A plain modal window standing in for a tool window.
std::unique_ptr<QDialog> toolDialog(const ToolRequest& request, const QString& title) {
    auto dialog = std::make_unique<QDialog>(request.owner);
    dialog->setWindowTitle(title);
    return dialog;
}

// Where the test leaves its pictures of the windows (to look at them).
QString pictureFolder() {
    const QString dir = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

}  // namespace

class TestLauncher : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captionAndFixedSize();
    void toolButtonsInOrder_data();
    void toolButtonsInOrder();
    void bottomRow();
    void toolButtonsDisabledWithoutTheirWindows();
    void toolButtonEnabledWhenItsWindowExists_data();
    void toolButtonEnabledWhenItsWindowExists();
    void toolWindowIsModalOwnedByTheLauncherAndDestroyed_data();
    void toolWindowIsModalOwnedByTheLauncherAndDestroyed();
    void duplicateModeIsSetBeforeTheWindowIsMade();
    void toolWindowIsDestroyedWhenAnErrorEscapesIt();
    void statisticsWindowIsShownNotModallyAndKeepsItsContents();
    void longLivedWindowsAreMadeHiddenInTheirOrder();
    void aboutOpensTheAboutBoxModally();
    void helpOpensTheHelpWindowAtTopicOne();
    void helpPathComesFromTheExecutableFolderNotTheCurrentFolder();
    void helpTopicsScrollToTheirAnchor();
    void helpFileLinksAndTopicsAreWhole();
    void missingHelpFileIsReportedClearly();
    void exitClosesTheLauncher();
    void hintSettingsAfterShow();
    void centredOnTheScreen();
    void keyboardOpensTools();
    void looksRight();
};

void TestLauncher::captionAndFixedSize() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    QCOMPARE(frmMain.windowTitle(), QStringLiteral("Vantrel Version 2.7 from Orlenda Corporation"));
    QCOMPARE(frmMain.size(), QSize(546, 413));
    QCOMPARE(frmMain.minimumSize(), QSize(546, 413));
    QCOMPARE(frmMain.maximumSize(), QSize(546, 413));
    QVERIFY(frmMain.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(frmMain.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(frmMain.isWindow());
}

void TestLauncher::toolButtonsInOrder_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::newRow("btDuplicate") << 0 << "&Duplicate files"
                                 << "Locate and view duplicate files";
    QTest::newRow("btFileHog") << 1 << "&File hogs"
                               << "Locate and view file hogs (large files)";
    QTest::newRow("btFiles") << 2 << "Files &accessed"
                             << "Files accessed within a range of dates";
    QTest::newRow("btDirHogs") << 3 << "Folder &hogs"
                               << "Displays large folders";
    QTest::newRow("btClean") << 4 << "&Quick clean"
                             << "Cleans up temporary files";
    QTest::newRow("btStatistic") << 5 << "&Statistics"
                                 << "File/disk statistics";
    QTest::newRow("btBrowse") << 6 << "&Browse"
                              << "Browse through files and folders";
}

void TestLauncher::toolButtonsInOrder() {
    QFETCH(int, row);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    AppWindows windows;
    TfrmMain frmMain(windows);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QPushButton* b = button(frmMain, name);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->size(), QSize(185, 28));

    // Its own sunken panel of 502 x 40, the button on the left, the text on
    // the right in bold.
    auto* panel = qobject_cast<QFrame*>(b->parentWidget());
    QVERIFY(panel);
    QCOMPARE(panel->parentWidget(), &frmMain);
    QCOMPARE(panel->size(), QSize(502, 40));
    QCOMPARE(panel->frameShadow(), QFrame::Sunken);
    auto* label = panel->findChild<QLabel*>();
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QVERIFY(label->font().bold());
    QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->width());
    QVERIFY(b->geometry().right() < label->geometry().left());
    QVERIFY(panel->rect().contains(b->geometry()));

    // The panels stand in the table's order from the top, one below the other.
    QList<QFrame*> panels;
    for (QFrame* f : frmMain.findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (f->findChild<QPushButton*>())
            panels.append(f);
    }
    QCOMPARE(panels.size(), 7);
    std::sort(panels.begin(), panels.end(), [](QFrame* a, QFrame* c) { return a->y() < c->y(); });
    QCOMPARE(panels[row], panel);
    if (row > 0)
        QVERIFY(panels[row - 1]->geometry().bottom() < panel->y());
    QVERIFY(frmMain.rect().contains(panel->geometry()));
}

void TestLauncher::bottomRow() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    QPushButton* about = button(frmMain, QStringLiteral("btReach"));
    QPushButton* help = button(frmMain, QStringLiteral("btHelp"));
    QPushButton* exit = button(frmMain, QStringLiteral("btClose"));
    QVERIFY(about && help && exit);
    QCOMPARE(about->text(), QStringLiteral("Ab&out"));
    QCOMPARE(help->text(), QStringLiteral("H&elp"));
    QCOMPARE(exit->text(), QStringLiteral("E&xit"));
    QCOMPARE(exit->toolTip(), QStringLiteral("Quit and close "));
    QVERIFY(about->geometry().right() < help->x());
    QVERIFY(help->geometry().right() < exit->x());
    QCOMPARE(about->y(), exit->y());
    QCOMPARE(help->y(), exit->y());
    QVERIFY(about->isEnabled() && help->isEnabled() && exit->isEnabled());
    QVERIFY(frmMain.rect().contains(exit->geometry()));
    QVERIFY(button(frmMain, QStringLiteral("btBrowse"))->mapTo(&frmMain, QPoint(0, 28)).y() <
            about->y());
}

void TestLauncher::toolButtonsDisabledWithoutTheirWindows() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    frmMain.show();
    for (const char* name :
         {"btDuplicate", "btFileHog", "btFiles", "btDirHogs", "btClean", "btStatistic", "btBrowse"})
        QVERIFY2(!button(frmMain, QString::fromLatin1(name))->isEnabled(), name);
}

void TestLauncher::toolButtonEnabledWhenItsWindowExists_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<QStringList>("enabled");
    QTest::newRow("duplicates") << int(ToolWindow::Duplicates)
                                << QStringList{"btDuplicate", "btFileHog"};
    QTest::newRow("files by date") << int(ToolWindow::FilesByDate) << QStringList{"btFiles"};
    QTest::newRow("folder hogs") << int(ToolWindow::FolderHogs) << QStringList{"btDirHogs"};
    QTest::newRow("quick clean") << int(ToolWindow::QuickClean) << QStringList{"btClean"};
    QTest::newRow("browse") << int(ToolWindow::Browse) << QStringList{"btBrowse"};
    QTest::newRow("statistics") << -1 << QStringList{"btStatistic"};
}

void TestLauncher::toolButtonEnabledWhenItsWindowExists() {
    QFETCH(int, tool);
    QFETCH(QStringList, enabled);
    AppWindows windows;
    TfrmMain frmMain(windows);
    if (tool >= 0) {
        windows.setToolFactory(ToolWindow(tool), [](const ToolRequest& r) {
            return toolDialog(r, QStringLiteral("Tool"));
        });
    } else {
        windows.setLongLivedFactory(LongLivedWindow::Statistics, [](QWidget*, const AppWindows&) {
            return std::make_unique<QWidget>();
        });
        windows.createLongLivedWindows(&frmMain);
    }
    frmMain.updateToolButtons();
    for (const char* name : {"btDuplicate", "btFileHog", "btFiles", "btDirHogs", "btClean",
                             "btStatistic", "btBrowse"}) {
        const QString n = QString::fromLatin1(name);
        QCOMPARE(button(frmMain, n)->isEnabled(), enabled.contains(n));
    }
}

void TestLauncher::toolWindowIsModalOwnedByTheLauncherAndDestroyed_data() {
    QTest::addColumn<int>("tool");
    QTest::addColumn<QString>("buttonName");
    QTest::newRow("files by date") << int(ToolWindow::FilesByDate) << "btFiles";
    QTest::newRow("folder hogs") << int(ToolWindow::FolderHogs) << "btDirHogs";
    QTest::newRow("quick clean") << int(ToolWindow::QuickClean) << "btClean";
    QTest::newRow("browse") << int(ToolWindow::Browse) << "btBrowse";
    QTest::newRow("duplicates") << int(ToolWindow::Duplicates) << "btDuplicate";
}

void TestLauncher::toolWindowIsModalOwnedByTheLauncherAndDestroyed() {
    QFETCH(int, tool);
    QFETCH(QString, buttonName);
    AppWindows windows;
    TfrmMain frmMain(windows);
    QPointer<QDialog> made;
    const AppWindows* appSeen = nullptr;
    windows.setToolFactory(ToolWindow(tool), [&](const ToolRequest& r) {
        appSeen = r.app;
        auto dialog = toolDialog(r, QStringLiteral("The tool"));
        made = dialog.get();
        return dialog;
    });
    frmMain.updateToolButtons();
    frmMain.show();
    ScriptedDialogs script;
    QWidget* ownerSeen = nullptr;
    bool shownSeen = false;
    script.dialogHandlers.push_back([&](QDialog& d) {
        ownerSeen = d.parentWidget();
        shownSeen = d.isVisible();
        return int(QDialog::Accepted);
    });
    button(frmMain, buttonName)->click();
    QCOMPARE(script.dialogTitles, QStringList({"The tool"}));
    QCOMPARE(ownerSeen, &frmMain);
    QVERIFY(shownSeen);
    QCOMPARE(appSeen, &windows);
    QVERIFY(made.isNull());  // destroyed when it closed
    // A second click makes a new window.
    script.dialogHandlers.push_back([](QDialog&) { return int(QDialog::Rejected); });
    button(frmMain, buttonName)->click();
    QCOMPARE(script.dialogTitles.size(), 2);
    QVERIFY(made.isNull());
}

void TestLauncher::duplicateModeIsSetBeforeTheWindowIsMade() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    QList<bool> requested;
    QList<bool> flagAtCreation;
    windows.setToolFactory(ToolWindow::Duplicates, [&](const ToolRequest& r) {
        requested.append(r.duplicateMode);
        flagAtCreation.append(frmMain.duplicateMode());
        return toolDialog(r, r.duplicateMode ? QStringLiteral("Find and delete duplicate files")
                                             : QStringLiteral("Find and delete file hogs"));
    });
    frmMain.updateToolButtons();
    QVERIFY(!frmMain.duplicateMode());
    ScriptedDialogs script;
    button(frmMain, QStringLiteral("btFileHog"))->click();
    button(frmMain, QStringLiteral("btDuplicate"))->click();
    button(frmMain, QStringLiteral("btFileHog"))->click();
    button(frmMain, QStringLiteral("btDuplicate"))->click();
    QCOMPARE(requested, QList<bool>({false, true, false, true}));
    QCOMPARE(flagAtCreation, requested);
    QVERIFY(frmMain.duplicateMode());
    QCOMPARE(script.dialogTitles,
             QStringList({"Find and delete file hogs", "Find and delete duplicate files",
                          "Find and delete file hogs", "Find and delete duplicate files"}));
}

void TestLauncher::toolWindowIsDestroyedWhenAnErrorEscapesIt() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    QPointer<QDialog> made;
    windows.setToolFactory(ToolWindow::Browse, [&](const ToolRequest& r) {
        auto dialog = toolDialog(r, QStringLiteral("Browse"));
        made = dialog.get();
        return dialog;
    });
    ScriptedDialogs script;
    script.dialogHandlers.push_back(
        [](QDialog&) -> int { throw std::runtime_error("the tool failed"); });
    bool thrown = false;
    try {
        frmMain.btBrowseClick();
    } catch (const std::runtime_error&) {
        thrown = true;
    }
    QVERIFY(thrown);
    QVERIFY(made.isNull());
}

void TestLauncher::statisticsWindowIsShownNotModallyAndKeepsItsContents() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    windows.setLongLivedFactory(LongLivedWindow::Statistics, [](QWidget*, const AppWindows&) {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("Statistics"));
        auto* edit = new QLineEdit(window.get());
        edit->setObjectName(QStringLiteral("results"));
        return window;
    });
    windows.createLongLivedWindows(&frmMain);
    frmMain.show();
    QPushButton* statistic = button(frmMain, QStringLiteral("btStatistic"));
    QVERIFY(statistic->isEnabled());
    ScriptedDialogs script;
    statistic->click();
    QWidget* shown = windows.longLived(LongLivedWindow::Statistics);
    QVERIFY(shown && shown->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(script.dialogTitles.isEmpty());
    shown->findChild<QLineEdit*>(QStringLiteral("results"))->setText(QStringLiteral("42 files"));
    shown->close();
    QVERIFY(!shown->isVisible());
    statistic->click();
    QCOMPARE(windows.longLived(LongLivedWindow::Statistics), shown);
    QVERIFY(shown->isVisible());
    QCOMPARE(shown->findChild<QLineEdit*>(QStringLiteral("results"))->text(),
             QStringLiteral("42 files"));
}

void TestLauncher::longLivedWindowsAreMadeHiddenInTheirOrder() {
    QPointer<QWidget> statistics;
    QPointer<QWidget> find;
    {
        AppWindows windows;
        TfrmMain frmMain(windows);
        QStringList order;
        QList<QWidget*> launchers;
        QList<const AppWindows*> apps;
        const auto factory = [&](const QString& name, QPointer<QWidget>* keep) {
            return [&, name, keep](QWidget* launcher, const AppWindows& app) {
                order.append(name);
                launchers.append(launcher);
                apps.append(&app);
                auto window = std::make_unique<QWidget>();
                window->setWindowTitle(name);
                window->show();  // made hidden whatever the factory did
                if (keep)
                    *keep = window.get();
                return window;
            };
        };
        windows.setLongLivedFactory(LongLivedWindow::PairComparison,
                                    factory(QStringLiteral("compare"), nullptr));
        windows.setLongLivedFactory(LongLivedWindow::Find, factory(QStringLiteral("find"), &find));
        windows.setLongLivedFactory(LongLivedWindow::Statistics,
                                    factory(QStringLiteral("statistics"), &statistics));
        windows.createLongLivedWindows(&frmMain);
        windows.createLongLivedWindows(&frmMain);  // only once each
        QCOMPARE(order, QStringList({"statistics", "find", "compare"}));
        QCOMPARE(launchers, QList<QWidget*>(3, &frmMain));
        QCOMPARE(apps, QList<const AppWindows*>(3, &windows));
        for (LongLivedWindow w : {LongLivedWindow::Statistics, LongLivedWindow::Find,
                                  LongLivedWindow::PairComparison}) {
            QVERIFY(windows.longLived(w));
            QVERIFY(!windows.longLived(w)->isVisible());
        }
        QCOMPARE(windows.longLived(LongLivedWindow::Find)->windowTitle(), QStringLiteral("find"));
    }
    // They live until the end of the run, that is, as long as the app's windows.
    QVERIFY(statistics.isNull());
    QVERIFY(find.isNull());
}

void TestLauncher::aboutOpensTheAboutBoxModally() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    frmMain.show();
    ScriptedDialogs script;
    QStringList texts;
    bool isAbout = false;
    QWidget* owner = nullptr;
    script.dialogHandlers.push_back([&](QDialog& d) {
        isAbout = qobject_cast<TfrmAbout*>(&d) != nullptr;
        owner = d.parentWidget();
        for (QLabel* l : d.findChildren<QLabel*>())
            texts.append(l->text());
        auto* ok = d.findChild<QPushButton*>(QStringLiteral("btOK"));
        if (ok && ok->isDefault())
            ok->click();
        return d.result();
    });
    button(frmMain, QStringLiteral("btReach"))->click();
    QCOMPARE(script.dialogTitles, QStringList({"About Vantrel"}));
    QVERIFY(isAbout);
    QCOMPARE(owner, &frmMain);
    QVERIFY(texts.contains(QStringLiteral("Vantrel")));
    QVERIFY(texts.contains(QStringLiteral("Version 2.7")));
    QVERIFY(texts.join(' ').contains(QStringLiteral("Orlenda Corporation")));
}

void TestLauncher::helpOpensTheHelpWindowAtTopicOne() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    frmMain.show();
    const QString expected = helpFilePath(QCoreApplication::applicationDirPath());
    QVERIFY2(QFile::exists(expected), qPrintable(expected));
    QCOMPARE(windows.helpFile(), expected);  // set when the launcher is shown
    ScriptedDialogs script;
    button(frmMain, QStringLiteral("btHelp"))->click();
    QVERIFY(script.messages.isEmpty());
    HelpWindow* help = windows.helpWindow();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QVERIFY(!help->isModal());
    QCOMPARE(help->topic(), 1);
    QCOMPARE(help->helpFile(), expected);
    const QUrl source = help->browser()->source();
    QCOMPARE(source.toLocalFile(), QFileInfo(expected).absoluteFilePath());
    QCOMPARE(source.fragment(), QStringLiteral("topic1"));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Vantrel Help")));
    QCOMPARE(help->browser()->verticalScrollBar()->value(), 0);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestLauncher::helpPathComesFromTheExecutableFolderNotTheCurrentFolder() {
    // A scan moves the current folder; help must still be found.
    test::TempTree elsewhere;
    elsewhere.fileWith("vantrel.hlp", "<html><body>a decoy</body></html>");
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QFile::decodeName(elsewhere.root())));
    AppWindows windows;
    TfrmMain frmMain(windows);
    frmMain.show();
    ScriptedDialogs script;
    button(frmMain, QStringLiteral("btHelp"))->click();
    QDir::setCurrent(before);
    QVERIFY(script.messages.isEmpty());
    QVERIFY(windows.helpWindow() && windows.helpWindow()->isVisible());
    QCOMPARE(QFileInfo(windows.helpFile()).absolutePath(),
             QFileInfo(QCoreApplication::applicationDirPath()).absoluteFilePath());
    QVERIFY(!windows.helpWindow()->browser()->toPlainText().contains(QStringLiteral("decoy")));
}

void TestLauncher::helpTopicsScrollToTheirAnchor() {
    AppWindows windows;
    windows.setHelpFile(helpFilePath(QCoreApplication::applicationDirPath()));
    ScriptedDialogs script;
    QVERIFY(windows.showHelp(11));
    HelpWindow* help = windows.helpWindow();
    QCOMPARE(help->browser()->source().fragment(), QStringLiteral("topic11"));
    QTRY_VERIFY(help->browser()->verticalScrollBar()->value() > 0);
    QVERIFY(windows.showHelp(1));
    QTRY_COMPARE(help->browser()->verticalScrollBar()->value(), 0);
    // The Contents button goes back to topic 1 and Back returns.
    QVERIFY(windows.showHelp(7));
    help->findChild<QPushButton*>(QStringLiteral("btContents"))->click();
    QCOMPARE(help->topic(), 1);
    QVERIFY(help->findChild<QPushButton*>(QStringLiteral("btBack"))->isEnabled());
    QVERIFY(script.messages.isEmpty());
}

void TestLauncher::helpFileLinksAndTopicsAreWhole() {
    QFile file(helpFilePath(QCoreApplication::applicationDirPath()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QSet<QString> anchors;
    const QRegularExpression name(QStringLiteral("<a name=\"([^\"]+)\""));
    for (auto it = name.globalMatch(html); it.hasNext();)
        anchors.insert(it.next().captured(1));
    for (int context = 1; context <= 12; ++context)
        QVERIFY2(anchors.contains(helpTopicAnchor(context)), qPrintable(helpTopicAnchor(context)));
    const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    int links = 0;
    for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
        const QString target = it.next().captured(1);
        QVERIFY2(anchors.contains(target), qPrintable(target));
    }
    QVERIFY(links >= 11);
    // Each tool of the launcher has its topic, under the button's caption.
    for (const char* tool : {"Duplicate files", "File hogs", "Files accessed", "Folder hogs",
                             "Quick clean", "Statistics", "Browse"})
        QVERIFY2(html.contains(QStringLiteral("<h2>") + QString::fromLatin1(tool) + "</h2>"), tool);
}

void TestLauncher::missingHelpFileIsReportedClearly() {
    test::TempTree tree;
    AppWindows windows;
    const QString missing = QFile::decodeName(tree.path("vantrel.hlp"));
    windows.setHelpFile(missing);
    ScriptedDialogs script;
    QVERIFY(!windows.showHelp(1));
    QCOMPARE(script.messages.size(), 1);
    QCOMPARE(script.messages[0].kind, BoxKind::Error);
    QCOMPARE(script.messages[0].text, QStringLiteral("Cannot open the help file ") + missing);
    QVERIFY(!windows.helpWindow() || !windows.helpWindow()->isVisible());
}

void TestLauncher::exitClosesTheLauncher() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    frmMain.show();
    QSignalSpy closed(&frmMain, &TfrmMain::closed);
    button(frmMain, QStringLiteral("btClose"))->click();
    QVERIFY(!frmMain.isVisible());
    QCOMPARE(closed.count(), 1);
}

void TestLauncher::hintSettingsAfterShow() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    frmMain.show();
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1000);
    QCOMPARE(QToolTip::palette().color(QPalette::Active, QPalette::ToolTipBase),
             QColor(255, 255, 0));
    QCOMPARE(QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase),
             QColor(255, 255, 0));
    // Showing again wraps the style only once.
    frmMain.hide();
    QStyle* style = QApplication::style();
    frmMain.show();
    QCOMPARE(QApplication::style(), style);
}

void TestLauncher::centredOnTheScreen() {
    AppWindows windows;
    TfrmMain frmMain(windows);
    frmMain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frmMain));
    const QRect area = frmMain.screen()->availableGeometry();
    const QPoint offset = frmMain.frameGeometry().center() - area.center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

void TestLauncher::keyboardOpensTools() {
    AppWindows windows;
    windows.setToolFactory(ToolWindow::Browse, [](const ToolRequest& r) {
        return toolDialog(r, QStringLiteral("Browse"));
    });
    TfrmMain frmMain(windows);
    frmMain.show();
    QApplication::setActiveWindow(&frmMain);
    if (!QTest::qWaitForWindowActive(&frmMain))
        QSKIP("this platform does not activate windows");
    ScriptedDialogs script;
    // A mnemonic presses its button and releases it a moment later.
    QTest::keyClick(frmMain.windowHandle(), Qt::Key_O, Qt::AltModifier);
    QTRY_COMPARE(script.dialogTitles, QStringList({"About Vantrel"}));
    QTest::keyClick(frmMain.windowHandle(), Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(script.dialogTitles, QStringList({"About Vantrel", "Browse"}));
    QApplication::setActiveWindow(&frmMain);
    QTest::keyClick(frmMain.windowHandle(), Qt::Key_F1);
    QVERIFY(windows.helpWindow() && windows.helpWindow()->isVisible());
    windows.helpWindow()->close();
    QApplication::setActiveWindow(&frmMain);
    QVERIFY(QTest::qWaitForWindowActive(&frmMain));
    QTest::keyClick(frmMain.windowHandle(), Qt::Key_X, Qt::AltModifier);
    QTRY_VERIFY(!frmMain.isVisible());
}

void TestLauncher::looksRight() {
    // Renders the launcher, the about box and the help window to pictures
    // (kept for a person to look at) and checks what the launcher paints:
    // the gradient darkens downwards, and the panels are light.
    AppWindows windows;
    TfrmMain frmMain(windows);
    frmMain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frmMain));
    const QImage launcher = frmMain.grab().toImage();
    QVERIFY(launcher.save(pictureFolder() + QStringLiteral("/vantrel-launcher.png")));
    const QColor top = launcher.pixelColor(3, 3);
    const QColor bottom = launcher.pixelColor(3, launcher.height() - 4);
    QVERIFY(top.lightness() > bottom.lightness() + 30);
    QFrame* panel = frmMain.findChild<QFrame*>(QStringLiteral("pnlBrowse"));
    QVERIFY(panel);
    const QPoint inside = panel->geometry().topRight() + QPoint(-4, 4);
    QVERIFY(launcher.pixelColor(inside).lightness() > 200);

    TfrmAbout about(&frmMain);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QVERIFY(about.grab().save(pictureFolder() + QStringLiteral("/vantrel-about.png")));
    about.close();

    windows.setHelpFile(helpFilePath(QCoreApplication::applicationDirPath()));
    ScriptedDialogs script;
    QVERIFY(windows.showHelp(1));
    QVERIFY(QTest::qWaitForWindowExposed(windows.helpWindow()));
    QVERIFY(
        windows.helpWindow()->grab().save(pictureFolder() + QStringLiteral("/vantrel-help.png")));
}

VANTREL_QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
