#include "results/ui/ResultWindowGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace vantrel {

ResultWindowGuard::ResultWindowGuard(QWidget* window, QWidget* grid)
    : QObject(window), m_window(window), m_grid(grid) {
    m_grid->installEventFilter(this);
}

ResultWindowGuard::~ResultWindowGuard() {
    setHintsShown(true);
}

void ResultWindowGuard::setHintsShown(bool shown) {
    if (shown == m_hintsShown)
        return;
    m_hintsShown = shown;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (shown)
        app->removeEventFilter(this);
    else
        app->installEventFilter(this);
}

bool ResultWindowGuard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    if (!m_hintsShown && event->type() == QEvent::ToolTip) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && (w == m_window || m_window->isAncestorOf(w)))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vantrel
