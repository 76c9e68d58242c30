#pragma once

#include <QApplication>

namespace vantrel {

// The application object: names the program ("vantrel", for its settings
// folder; no display name, so that window titles stay exactly their
// captions), gives it its icon, and is the default
// handler for errors that no window catches: an exception that escapes an
// event handler is shown in an error box and the program goes on running.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vantrel
