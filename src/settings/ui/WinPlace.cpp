#include "settings/ui/WinPlace.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

namespace vantrel {

TWinPlace::TWinPlace(QWidget* owner)
    : QObject(owner),
      IniFileName(QStringLiteral("WinPlace.INI")),
      Section(QCoreApplication::applicationFilePath()),
      Identifier(owner ? owner->objectName() : QString()),
      m_owner(owner) {}

IniFile TWinPlace::file() const {
    if (QDir::isAbsolutePath(IniFileName))
        return IniFile(IniFileName);
    return IniFile(settingsFolder() + QLatin1Char('/') + IniFileName);
}

Placement TWinPlace::placementOf(const QWidget& window) {
    Placement p;
    const QRect g = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    p.left = g.left();
    p.top = g.top();
    p.right = g.left() + g.width();
    p.bottom = g.top() + g.height();
    if (window.isMinimized())
        p.showCmd = 2;
    else if (window.isMaximized())
        p.showCmd = 3;
    else
        p.showCmd = 1;
    return p;
}

namespace {

// A place that no screen shows any part of (a monitor since removed) is moved
// onto the primary screen, as the platform's own placement call does.
QRect keptOnScreen(const QRect& r) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(r))
            return r;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return r;
    QRect moved = r;
    moved.moveCenter(primary->availableGeometry().center());
    return moved;
}

}  // namespace

bool TWinPlace::applyPlacement(QWidget& window, const Placement& p) {
    if (!p.applicable())
        return false;
    const int height = p.bottom - p.top;
    if (height <= 0)
        return false;
    window.setGeometry(keptOnScreen(QRect(p.left, p.top, p.right - p.left, height)));
    // A stored minimised state comes back as the normal window: a modal tool
    // window that opened minimised would leave nothing on screen to answer.
    if (p.showCmd == 3)
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    return true;
}

void TWinPlace::SavePlacement() {
    if (!m_owner)
        return;
    // A window minimised (on its own or with the application) is stored
    // with show state 2 by placementOf.
    const Placement p = placementOf(*m_owner);
    IniFile f = file();
    f.writeString(Section, Identifier, formatPlacement(p, Delimiter));
}

void TWinPlace::RestorePlacement() {
    if (!m_owner)
        return;
    const QString text = file().readString(Section, Identifier);
    applyPlacement(*m_owner, parsePlacement(text, Delimiter));
}

bool TWinPlace::hasStoredPlacement() const {
    return !file().readString(Section, Identifier).isEmpty();
}

void centreOnScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

}  // namespace vantrel
