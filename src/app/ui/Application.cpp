#include "app/ui/Application.h"

#include "app/ui/Decoration.h"
#include "text/ui/Dialogs.h"

#include <exception>

namespace vantrel {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vantrel"));
    setApplicationDisplayName(QStringLiteral("Vantrel"));
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
