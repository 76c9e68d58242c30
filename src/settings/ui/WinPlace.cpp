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

bool TWinPlace::applyPlacement(QWidget& window, const Placement& p) {
    QList<QRect> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens.append(screen->availableGeometry());
    }
    const auto rect =
        restoredNormalRect(p, screens, kMinimumRestoredSize.expandedTo(window.minimumSize()));
    if (!rect)
        return false;
    window.setGeometry(*rect);
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
