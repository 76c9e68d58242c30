// The launcher driven as a user drives it: start-up order, the seven tool
// buttons, modal tool windows, the statistics window, the about box, help
// and Exit; then the help file itself and what goes wrong with it.

#include "app/AppPaths.h"
#include "app/ui/AppWindows.h"
#include "app/ui/HelpWindow.h"
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
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTextBrowser>
#include <QToolTip>
#include <QtTest/QtTest>

#include <stdexcept>
#include <tuple>

using namespace vantrel;

namespace {

QPushButton* button(QWidget& window, const char* name) {
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

QString helpFile() {
    return helpFilePath(QCoreApplication::applicationDirPath());
}

}  // namespace

class TestLauncher : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void userOpensEveryToolAboutHelpAndExits();
    void toolsOpenTheBrowserThroughTheProgram();
    void helpComesFromTheExecutableFolderNotTheCurrentFolder();
    void helpFileHasEveryTopic();
    void missingHelpFileIsReportedClearly();
};

void TestLauncher::userOpensEveryToolAboutHelpAndExits() {
    const std::tuple<const char*, const char*, const char*> tools[] = {
        {"btDuplicate", "&Duplicate files", "Locate and view duplicate files"},
        {"btFileHog", "&File hogs", "Locate and view file hogs (large files)"},
        {"btFiles", "Files &accessed", "Files accessed within a range of dates"},
        {"btDirHogs", "Folder &hogs", "Displays large folders"},
        {"btClean", "&Quick clean", "Cleans up temporary files"},
        {"btStatistic", "&Statistics", "File/disk statistics"},
        {"btBrowse", "&Browse", "Browse through files and folders"}};
    AppWindows windows;
    TfrmMain frmMain(windows);
    QCOMPARE(frmMain.windowTitle(), QStringLiteral("Vantrel Version 2.7 from Orlenda Corporation"));
    QCOMPARE(frmMain.size(), QSize(546, 413));
    // The tool buttons stand from the top in the table's order, each in its
    // own panel with its text in bold; without their windows they are disabled.
    int lastY = -1;
    for (const auto& [name, caption, text] : tools) {
        QPushButton* b = button(frmMain, name);
        QVERIFY2(b, name);
        auto* label = b->parentWidget()->findChild<QLabel*>();
        QCOMPARE(QStringList({b->text(), label->text()}), QStringList({caption, text}));
        QVERIFY(!b->isEnabled() && label->font().bold() && b->parentWidget()->y() > lastY);
        lastY = b->parentWidget()->geometry().bottom();
    }
    QVERIFY(button(frmMain, "btReach")->y() > lastY);
    QCOMPARE(button(frmMain, "btClose")->toolTip(), QStringLiteral("Quit and close "));

    // Start-up: the tool factories, then the long-lived windows after the
    // launcher, made hidden in their order.
    QList<bool> requestedModes, flagWhenMade;
    for (ToolWindow tool : {ToolWindow::Duplicates, ToolWindow::FilesByDate, ToolWindow::FolderHogs,
                            ToolWindow::QuickClean, ToolWindow::Browse}) {
        windows.setToolFactory(tool, [&, tool](const ToolRequest& r) {
            if (tool == ToolWindow::Duplicates) {
                requestedModes.append(r.duplicateMode);
                flagWhenMade.append(frmMain.duplicateMode());
            }
            // A plain modal window stands in for the tool window.
            auto dialog = std::make_unique<QDialog>(r.owner);
            dialog->setWindowTitle(QStringLiteral("Tool %1").arg(int(tool)));
            return dialog;
        });
    }
    QStringList made;
    const std::pair<LongLivedWindow, const char*> longLived[] = {
        {LongLivedWindow::PairComparison, "compare"},
        {LongLivedWindow::Find, "find"},
        {LongLivedWindow::Statistics, "statistics"}};
    for (auto [which, name] : longLived) {
        windows.setLongLivedFactory(which, [&, name](QWidget* launcher, const AppWindows& app) {
            made.append(QString::fromLatin1(name));
            auto window = std::make_unique<QWidget>();
            new QLineEdit(window.get());
            window->show();  // made hidden whatever the factory does
            return launcher == &frmMain && &app == &windows ? std::move(window) : nullptr;
        });
    }
    windows.createLongLivedWindows(&frmMain);
    windows.createLongLivedWindows(&frmMain);  // only once each
    QCOMPARE(made, QStringList({"statistics", "find", "compare"}));
    for (auto [which, name] : longLived)
        QVERIFY2(windows.longLived(which) && !windows.longLived(which)->isVisible(), name);
    frmMain.updateToolButtons();
    frmMain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frmMain));
    for (const auto& tool : tools)
        QVERIFY(button(frmMain, std::get<0>(tool))->isEnabled());

    // Showing sets the hints and the help file; the launcher is centred.
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1000);
    QCOMPARE(QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase),
             QColor(Qt::yellow));
    QCOMPARE(windows.helpFile(), helpFile());
    const QPoint offset =
        frmMain.frameGeometry().center() - frmMain.screen()->availableGeometry().center();
    QVERIFY(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1);

    // Each modal tool window is made per click, owned by the launcher, and
    // destroyed when it closes.
    ScriptedDialogs script;
    QList<QPointer<QDialog>> shown;
    const auto recordShown = [&](QDialog& d) {
        [&] { QCOMPARE(d.parentWidget(), &frmMain); }();
        shown.append(&d);
        return int(QDialog::Accepted);
    };
    for (const char* name :
         {"btFileHog", "btDuplicate", "btFiles", "btDirHogs", "btClean", "btBrowse", "btFileHog"}) {
        script.dialogHandlers.push_back(recordShown);
        button(frmMain, name)->click();
    }
    QCOMPARE(script.dialogTitles,
             QStringList({"Tool 0", "Tool 0", "Tool 1", "Tool 2", "Tool 3", "Tool 4", "Tool 0"}));
    QCOMPARE(shown.count(nullptr), 7);  // every one destroyed
    // A window that fails is destroyed all the same.
    script.dialogHandlers.push_back([&](QDialog& d) -> int {
        shown.append(&d);
        throw std::runtime_error("failed");
    });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, frmMain.btBrowseClick());
    QVERIFY(shown.last().isNull());
    // The duplicate-mode flag is set before the duplicates window is made.
    QCOMPARE(requestedModes, QList<bool>({false, true, false}));
    QCOMPARE(flagWhenMade, requestedModes);

    // Statistics: the window made at start-up, not modal, keeps its contents.
    QWidget* statistics = windows.longLived(LongLivedWindow::Statistics);
    auto* results = statistics->findChild<QLineEdit*>();
    button(frmMain, "btStatistic")->click();
    QVERIFY(statistics->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    results->setText(QStringLiteral("42 files"));
    statistics->close();
    button(frmMain, "btStatistic")->click();
    QCOMPARE(windows.longLived(LongLivedWindow::Statistics), statistics);
    QVERIFY(statistics->isVisible());
    QCOMPARE(results->text(), QStringLiteral("42 files"));

    // About: the about box, modal over the launcher, closed with its OK button.
    QStringList texts;
    script.dialogHandlers.push_back([&](QDialog& d) {
        [&] { QVERIFY(qobject_cast<TfrmAbout*>(&d) && d.parentWidget() == &frmMain); }();
        for (QLabel* l : d.findChildren<QLabel*>())
            texts.append(l->text());
        d.findChild<QPushButton*>(QStringLiteral("btOK"))->click();
        return d.result();
    });
    button(frmMain, "btReach")->click();
    QCOMPARE(script.dialogTitles.last(), QStringLiteral("About Vantrel"));
    QVERIFY(texts.contains(QStringLiteral("Version 2.7")));

    // Help: vantrel.hlp beside the executable, at topic 1, not modal.
    button(frmMain, "btHelp")->click();
    QVERIFY(script.messages.isEmpty());
    HelpWindow* help = windows.helpWindow();
    QVERIFY(help && help->isVisible() && !help->isModal());
    QCOMPARE(help->topic(), 1);
    QCOMPARE(help->browser()->source().toLocalFile(), QFileInfo(helpFile()).absoluteFilePath());
    QCOMPARE(help->browser()->source().fragment(), QStringLiteral("topic1"));

    // Exit closes the launcher, which ends the program.
    QSignalSpy closed(&frmMain, &TfrmMain::closed);
    button(frmMain, "btClose")->click();
    QVERIFY(!frmMain.isVisible());
    QCOMPARE(closed.count(), 1);
}

// A tool asks the program for the browser at a folder and file; the browser
// is the Browse tool's window, made with that place, modal over the tool.
void TestLauncher::toolsOpenTheBrowserThroughTheProgram() {
    AppWindows windows;
    const ToolServices& services = windows;
    QWidget tool;
    ScriptedDialogs script;
    services.browse(&tool, BrowseRequest{"/tmp", "x", QStringLiteral("*.txt")});
    QVERIFY(!services.canBrowse() && script.dialogTitles.isEmpty());

    QList<ToolRequest> requests;
    windows.setToolFactory(ToolWindow::Browse, [&](const ToolRequest& r) {
        requests.append(r);
        auto dialog = std::make_unique<QDialog>(r.owner);
        dialog->setWindowTitle(QStringLiteral("Browse through folders"));
        return dialog;
    });
    QPointer<QDialog> shown;
    script.dialogHandlers.push_back([&](QDialog& d) {
        shown = &d;
        return int(QDialog::Rejected);
    });
    QVERIFY(services.canBrowse());
    services.browse(&tool, BrowseRequest{"/tmp/a\xff", "b c", QStringLiteral("*.txt")});
    QCOMPARE(script.dialogTitles, QStringList{QStringLiteral("Browse through folders")});
    QVERIFY(shown.isNull());  // destroyed when it closed
    QCOMPARE(requests.size(), 1);
    const ToolRequest& r = requests.first();
    QVERIFY(r.owner == &tool && r.services == &windows && r.browseAt);
    QCOMPARE(r.browseAt->folder, QByteArray("/tmp/a\xff"));
    QCOMPARE(r.browseAt->file, QByteArray("b c"));
    QCOMPARE(r.browseAt->mask, QStringLiteral("*.txt"));
}

void TestLauncher::helpComesFromTheExecutableFolderNotTheCurrentFolder() {
    // A scan moves the current folder; help must still be found.
    test::TempTree elsewhere;
    elsewhere.fileWith("vantrel.hlp", "<html><body>a decoy</body></html>");
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QFile::decodeName(elsewhere.root())));
    AppWindows windows;
    TfrmMain frmMain(windows);
    ScriptedDialogs script;
    frmMain.btHelpClick();
    QDir::setCurrent(before);
    QVERIFY(script.messages.isEmpty() && windows.helpWindow());
    QCOMPARE(windows.helpFile(), helpFile());
    QVERIFY(!windows.helpWindow()->browser()->toPlainText().contains(QStringLiteral("decoy")));
}

void TestLauncher::helpFileHasEveryTopic() {
    QFile file(helpFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    for (int context = 1; context <= 12; ++context) {
        const QString anchor = QStringLiteral("<a name=\"%1\"").arg(helpTopicAnchor(context));
        QVERIFY2(html.contains(anchor), qPrintable(anchor));
    }
    // A topic further down is scrolled to.
    AppWindows windows;
    windows.setHelpFile(helpFile());
    QVERIFY(windows.showHelp(11));
    QCOMPARE(windows.helpWindow()->browser()->source().fragment(), QStringLiteral("topic11"));
    QTRY_VERIFY(windows.helpWindow()->browser()->verticalScrollBar()->value() > 0);
}

void TestLauncher::missingHelpFileIsReportedClearly() {
    test::TempTree tree;
    AppWindows windows;
    const QString missing = QFile::decodeName(tree.path("vantrel.hlp"));
    windows.setHelpFile(missing);
    ScriptedDialogs script;
    QVERIFY(!windows.showHelp(1));
    QCOMPARE(script.messageTexts(), QStringList{"Cannot open the help file " + missing});
    QCOMPARE(script.messages[0].kind, BoxKind::Error);
    QVERIFY(!windows.helpWindow() || !windows.helpWindow()->isVisible());
}

VANTREL_QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
