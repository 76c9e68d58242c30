#pragma once

#include "scan/DriveList.h"
#include "settings/IniFile.h"

#include <QList>
#include <QListWidget>

class QAction;
class QMenu;

namespace vantrel {

// The drive check list (pckDrive) of the scanning tools: one line per root
// ("/home  [ext4]"), with a check box each; ticked lines are the roots to
// walk, in list order. Each item carries its root's exact bytes (Qt::UserRole),
// so nothing ever re-parses the text.
//
// Its context menu adds a folder of the user's choice to the list ("Add
// folder...", stored in the settings file's Folders section for every tool)
// and removes such a folder again ("Remove folder"); with
// setSelectAllOffered(true) it also ticks or unticks every line.
//
// tickedChanged(anyTicked) is sent after every change of the ticks: a click,
// the keyboard, the menu, and fillDriveList() itself, so a tool can wire it
// straight to its start button's setEnabled.
//
// The list never scrolls sideways: an entry wider than the list is shown
// shortened in the middle with "…", and its tool tip is the whole text. It
// asks for the width of its longest entry (up to kWidestChars characters)
// and the height of all its entries (up to kShownRows; at least
// kMinimumRows, or all when fewer), so that a window that gives it its size
// hint shows every entry whole.
class DriveCheckList : public QListWidget {
    Q_OBJECT
public:
    // Uses the program's settings file for the stored folders.
    explicit DriveCheckList(QWidget* parent = nullptr);

    static constexpr int kShownRows = 6;
    static constexpr int kMinimumRows = 5;
    static constexpr int kWidestChars = 48;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The height that shows `rows` entries whole.
    int heightForRows(int rows) const;
    // For tests and tools that keep their settings elsewhere.
    void setSettingsFile(const IniFile& settings) { m_settings = settings; }
    const IniFile& settingsFile() const { return m_settings; }

    void setSelectAllOffered(bool offered);

    // Lists the system's drives and the stored folders, and ticks only the
    // entry that holds the current folder most closely (none when no entry
    // holds it). Sends tickedChanged.
    void fillDriveList();

    QList<DriveListEntry> entries() const { return m_entries; }
    DriveEntry entryAt(int row) const { return m_entries.value(row).drive; }
    bool isUserAdded(int row) const { return m_entries.value(row).userAdded; }

    // The ticked entries, in list order.
    QList<DriveEntry> tickedDrives() const;
    bool hasTicked() const;
    int tickedCount() const;
    bool isTicked(int row) const;
    void setTicked(int row, bool ticked);
    // Ticks exactly the entries whose roots are given; sends tickedChanged once.
    void setTickedRoots(const QList<QByteArray>& roots);
    void setAllTicked(bool ticked);

    // The context menu's commands. addFolderClick asks for a folder through
    // the dialogs seam, stores it, lists it and ticks it; removeFolderClick
    // drops the user-added folder at `row` from the settings and the list.
    void addFolderClick();
    void removeFolderClick(int row);

    // The context menu, prepared for the line at `row` (-1: none). The menu
    // belongs to the list.
    QMenu* prepareContextMenu(int row);

Q_SIGNALS:
    void tickedChanged(bool anyTicked);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void refill(const QList<QByteArray>& tickedRoots);
    void onItemChanged(QListWidgetItem* item);

    IniFile m_settings;
    QList<DriveListEntry> m_entries;
    QMenu* m_menu = nullptr;
    QAction* m_selectAll = nullptr;
    QAction* m_deselectAll = nullptr;
    QAction* m_selectSeparator = nullptr;
    QAction* m_addFolder = nullptr;
    QAction* m_removeFolder = nullptr;
    int m_menuRow = -1;
    bool m_bulkChange = false;
};

}  // namespace vantrel
