#include "browse/ui/FileWindows.h"

#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
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

}  // namespace vantrel
