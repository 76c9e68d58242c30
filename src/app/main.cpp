// Start-up: a command runs without windows (see runCommandLine); otherwise
// the application object, the locale for every text format, the
// launcher (the main window), then the windows that live for the whole run,
// and the event loop until the launcher closes.

#include "app/ui/AppWindows.h"
#include "app/ui/Application.h"
#include "app/ui/TfrmMain.h"
#include "browse/ui/TFindDlg.h"
#include "cli/CliArguments.h"
#include "cli/CliRunner.h"
#include "browse/ui/TfrmBrowse.h"
#include "clean/ui/TfrmClean.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "dup/ui/TfrmDup.h"
#include "dup/ui/TfrmDupCompare.h"
#include "mods/ui/TfrmMods.h"
#include "stats/ui/TfrmStatistics.h"
#include "text/Formats.h"

int main(int argc, char** argv) {
    // A command ("vantrel dups ~/Downloads") runs with Qt Core alone, so it
    // is decided before anything of the windows exists.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    if (vantrel::isCliInvocation(arguments))
        return vantrel::runCommandLine(argc, argv);

    vantrel::Application app(argc, argv);
    vantrel::TextLocale::initFromSystem();

    vantrel::AppWindows windows;
    windows.setToolFactory(vantrel::ToolWindow::Duplicates, [](const vantrel::ToolRequest& r) {
        return std::make_unique<vantrel::TfrmDup>(r);
    });
    windows.setToolFactory(vantrel::ToolWindow::QuickClean, [](const vantrel::ToolRequest& r) {
        return std::make_unique<vantrel::TfrmClean>(r);
    });
    windows.setToolFactory(vantrel::ToolWindow::FolderHogs, [](const vantrel::ToolRequest& r) {
        return std::make_unique<vantrel::TfrmDirHog>(r);
    });
    windows.setToolFactory(vantrel::ToolWindow::Browse, [](const vantrel::ToolRequest& r) {
        return std::make_unique<vantrel::TfrmBrowse>(r);
    });
    windows.setToolFactory(vantrel::ToolWindow::FilesByDate, [](const vantrel::ToolRequest& r) {
        return std::make_unique<vantrel::TfrmMods>(r);
    });
    // The statistics window keeps its figures from run to run.
    windows.setLongLivedFactory(
        vantrel::LongLivedWindow::Statistics,
        [](QWidget* launcher, const vantrel::AppWindows&) -> std::unique_ptr<QWidget> {
            return std::make_unique<vantrel::TfrmStatistics>(launcher);
        });
    // The viewer's one find dialog, so that every viewer starts from the
    // last search.
    windows.setLongLivedFactory(
        vantrel::LongLivedWindow::Find,
        [](QWidget* launcher, const vantrel::AppWindows&) -> std::unique_ptr<QWidget> {
            auto find = std::make_unique<vantrel::TFindDlg>(launcher);
            vantrel::TFindDlg::install(find.get());
            return find;
        });
    windows.setLongLivedFactory(
        vantrel::LongLivedWindow::PairComparison,
        [](QWidget* launcher, const vantrel::AppWindows&) -> std::unique_ptr<QWidget> {
            return std::make_unique<vantrel::TfrmDupCompare>(launcher);
        });
    vantrel::TfrmMain frmMain(windows);
    windows.createLongLivedWindows(&frmMain);
    QObject::connect(&frmMain, &vantrel::TfrmMain::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    frmMain.show();
    return app.exec();
}
