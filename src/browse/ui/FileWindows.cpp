#include "browse/ui/FileWindows.h"

#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
#include "results/ui/ResultGrid.h"
#include "text/ui/Dialogs.h"

namespace vantrel {

void showFileView(QWidget* parent, const QByteArray& path) {
    TfrmView view(parent);
    view.setFileName(path);
    dialogs().exec(view);
}

void showFileDetails(QWidget* parent, const QByteArray& path) {
    TfrmDetails details(parent);
    details.setFileName(path);
    dialogs().exec(details);
}

void openFileWindowsFrom(ResultGrid* grid, QWidget* window) {
    QObject::connect(grid, &ResultGrid::viewRequested, window,
                     [window](const QByteArray& path) { showFileView(window, path); });
    QObject::connect(grid, &ResultGrid::detailsRequested, window,
                     [window](const QByteArray& path) { showFileDetails(window, path); });
}

}  // namespace vantrel
