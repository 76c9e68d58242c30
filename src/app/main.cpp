// Start-up: the application object, the locale for every text format, the
// launcher (the main window), then the windows that live for the whole run,
// and the event loop until the launcher closes.

#include "app/ui/AppWindows.h"
#include "app/ui/Application.h"
#include "app/ui/TfrmMain.h"
#include "dup/ui/TfrmDup.h"
#include "text/Formats.h"

int main(int argc, char** argv) {
    vantrel::Application app(argc, argv);
    vantrel::TextLocale::initFromSystem();

    vantrel::AppWindows windows;
    windows.setToolFactory(vantrel::ToolWindow::Duplicates, [](const vantrel::ToolRequest& r) {
        return std::make_unique<vantrel::TfrmDup>(r);
    });
    vantrel::TfrmMain frmMain(windows);
    windows.createLongLivedWindows(&frmMain);
    QObject::connect(&frmMain, &vantrel::TfrmMain::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    frmMain.show();
    return app.exec();
}
