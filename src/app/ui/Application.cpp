#include "app/ui/Application.h"

#include "app/ui/Decoration.h"
#include "text/ui/Dialogs.h"

#include <exception>

namespace vantrel {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vantrel"));
    // No display name: the window-system integrations append it to every
    // window title (" — Vantrel"), and each window's caption is its own
    // complete text ("Error", "File Details", ...). Boxes that need the
    // product name as their caption say so themselves (see the dialogs seam).
    setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    setWindowIcon(programIcon());
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        alertBox(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        alertBox(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

}  // namespace vantrel
