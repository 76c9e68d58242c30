// The quick-clean window as the launcher opens it: "&Quick clean" is offered
// once the tool is registered and opens the window over the launcher.

#include "app/ui/AppWindows.h"
#include "app/ui/TfrmMain.h"
#include "clean/ui/TfrmClean.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QPointer>
#include <QPushButton>
#include <QtTest/QtTest>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

class TestCleanLaunch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quickCleanOpensTheWindow() {
        test::TempTree files;
        setDriveListOverride(QList<DriveEntry>{{files.root(), u"folder"_s}});
        AppWindows windows;
        TfrmMain frmMain(windows);
        frmMain.updateToolButtons();
        auto* button = frmMain.findChild<QPushButton*>(u"btClean"_s);
        QVERIFY(button && !button->isEnabled());
        windows.setToolFactory(ToolWindow::QuickClean,
                               [](const ToolRequest& r) { return std::make_unique<TfrmClean>(r); });
        frmMain.updateToolButtons();
        QVERIFY(button->isEnabled());
        frmMain.show();

        ScriptedDialogs script;
        QPointer<QDialog> made;
        QWidget* owner = nullptr;
        script.dialogHandlers.push_back([&](QDialog& d) {
            auto& w = dynamic_cast<TfrmClean&>(d);
            made = &w;
            owner = w.parentWidget();
            w.btClose->click();
            return w.result();
        });
        button->click();
        QCOMPARE(script.dialogTitles, QStringList{u"Find and delete temporary files"_s});
        QCOMPARE(owner, &frmMain);
        QVERIFY(!made);  // gone once closed
        setDriveListOverride(std::nullopt);
    }
};

VANTREL_QTEST_MAIN(TestCleanLaunch)
#include "tst_clean_launch.moc"
