#pragma once

#include "settings/IniFile.h"
#include "settings/Placement.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vantrel {

// Stores and restores a window's size, position and state in a settings file
// under (Section, Identifier). Windows use it in one pattern: when created,
// centre themselves unless hasStoredPlacement(); when shown, RestorePlacement;
// when destroyed, SavePlacement.
class TWinPlace : public QObject {
    Q_OBJECT
public:
    // Defaults: IniFileName "WinPlace.INI" in the settings folder, Section the
    // program's full path, Identifier the owner's object name, Delimiter " ".
    explicit TWinPlace(QWidget* owner);

    QString IniFileName;  // a bare name is taken inside settingsFolder()
    QString Section;
    QString Identifier;
    QString Delimiter = QStringLiteral(" ");

    void SavePlacement();
    void RestorePlacement();
    bool hasStoredPlacement() const;

    // The placement of a widget as it is now (its normal geometry and state).
    static Placement placementOf(const QWidget& window);
    // Applies a placement when it is applicable (left < right and top <
    // bottom, no edge beyond kPlacementLimit); returns whether it did. The
    // normal place is made sane first (restoredNormalRect): at least a
    // small minimum size (or the window's own minimum), at most its screen,
    // and a place on no screen moved onto the primary screen. Show state 3
    // maximises; a minimised state restores the normal place only.
    static bool applyPlacement(QWidget& window, const Placement& p);

private:
    IniFile file() const;
    QPointer<QWidget> m_owner;
};

// Moves a window to the middle of the screen it is on (or the primary screen).
void centreOnScreen(QWidget& window);

}  // namespace vantrel
