#pragma once

#include "browse/Strings.h"

#include <QByteArray>
#include <QDialog>

#include <atomic>
#include <memory>
#include <thread>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QPrinter;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTemporaryFile;
class QWidget;

namespace vantrel {

class FileViewer;
class TWinPlace;

// "View File": shows any file as text or as a hexadecimal dump, searches it,
// goes to a line, copies and prints all or the selection, changes the font and
// tab handling, opens another file or one dropped on the window, and peeks at
// the printable strings inside the file.
//
// Use:
//     TfrmView view(this);
//     view.setFileName(path);       // exact bytes of the path
//     dialogs().exec(view);
//
// The file is opened when the window is shown (or at once when setFileName is
// called on a visible window). A file that cannot be opened shows the error
// box "Could not open file " + path and the window stays, empty. The window
// never holds a copy of the file: it maps it read-only and counts its lines
// on a worker thread; the total shows "?" until the count is done.
//
// Find uses the program's one find dialog (TFindDlg::instance()).
// The window's placement is kept under "frmView" in vantrel.ini; with none
// stored the window is centred when created.
class TfrmView : public QDialog {
    Q_OBJECT
public:
    explicit TfrmView(QWidget* parent = nullptr);
    ~TfrmView() override;

    // The file to show. Before the window is shown this only records the
    // path; on a shown window it opens the file straight away.
    void setFileName(const QByteArray& path);
    QByteArray fileName() const { return m_fileName; }

    // Hides "Pee&k at strings", "&ASCII", "&Hex" and "&Hex Mode" (the window
    // that shows a file's strings uses this).
    void hideModeControls();

    // The control and the status sections, for the other windows' tests.
    FileViewer* viewer() const { return Viewer1; }
    QString statusSection(int index) const;

    // Handlers, named after control and event.
    void FormShow();
    void FormResize();
    void Viewer1ShowStatus();
    void File1Click();
    void Clipboard1Click();
    void Search1Click();
    void Open1Click();
    void Print1Click();
    void PrintSetup1Click();
    void Exit1Click();
    void Copy1Click();
    void SelectAll1Click();
    void Find1Click();
    void FindNext1Click();
    void GotoLine1Click();
    void HexMode1Click();
    void rbAsciiClick();
    void rbHexClick();
    void TabExpansion1Click();
    void TabSize1Click();
    void Font1Click();
    void btStringsClick();
    void btCloseClick();
    // Opens the first of the dropped files (the caption stays as it is).
    void filesDropped(const QList<QByteArray>& paths);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void buildPanel();
    void updateMenus();
    bool openInViewer(const QByteArray& path);
    void searchDone(bool found, const QString& text);
    void stringsDone(StringsResult result);
    void stopStrings();
    void setCaption(const QByteArray& path);
    QPrinter& printer();

    QByteArray m_fileName;
    bool m_shown = false;
    std::unique_ptr<QPrinter> m_printer;
    TWinPlace* m_winPlace = nullptr;

    // Peek at strings: extracted on a worker into a temporary file.
    std::thread m_stringsThread;
    std::atomic<bool> m_stringsCancel{false};
    std::unique_ptr<QTemporaryFile> m_stringsFile;
    QByteArray m_stringsSource;

    QMenuBar* m_menuBar = nullptr;
    QMenu* File1 = nullptr;
    QMenu* Clipboard1 = nullptr;
    QMenu* Search1 = nullptr;
    QMenu* Options1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrintSetup1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* SelectAll1 = nullptr;
    QAction* Find1 = nullptr;
    QAction* FindNext1 = nullptr;
    QAction* GotoLine1 = nullptr;
    QAction* HexMode1 = nullptr;
    QAction* TabExpansion1 = nullptr;
    QAction* TabSize1 = nullptr;
    QAction* Font1 = nullptr;

    QWidget* Panel1 = nullptr;
    QRadioButton* rbAscii = nullptr;
    QRadioButton* rbHex = nullptr;
    QPushButton* btFont = nullptr;
    QPushButton* btPrint = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* btStrings = nullptr;
    QPushButton* btClose = nullptr;

    FileViewer* Viewer1 = nullptr;
    QStatusBar* Header1 = nullptr;
    QLabel* m_sections[4] = {};
};

}  // namespace vantrel
