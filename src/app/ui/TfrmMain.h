#pragma once

#include "app/ui/AppWindows.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;

namespace vantrel {

// The launcher: a column of seven tool buttons, each in a sunken panel with
// a line of bold text beside it, and About, Help and Exit at the bottom, on
// a gradient. Fixed size (client area 546 x 413), centred on the screen; the
// program's main window, so closing it ends the program (closed() is
// emitted). A tool button is enabled exactly when its window exists in
// `windows`. Modal tool windows are made for each click with the launcher as
// owner, run through dialogs().exec and destroyed when they close (also when
// an error escapes them).
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 546;
    static constexpr int kClientHeight = 413;

    explicit TfrmMain(AppWindows& windows, QWidget* parent = nullptr);

    // true: the duplicates window opens for duplicate files; false: for file
    // hogs. Set by the two buttons just before the window is made; false
    // until the first of them is clicked.
    bool duplicateMode() const { return m_duplicateMode; }

    // Enables each tool button whose window exists (after long-lived windows
    // or tool factories were added).
    void updateToolButtons();

    void btDuplicateClick();
    void btFileHogClick();
    void btFilesClick();
    void btDirHogsClick();
    void btCleanClick();
    void btStatisticClick();
    void btBrowseClick();
    void btReachClick();
    void btHelpClick();
    void btCloseClick();

Q_SIGNALS:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormShow();
    // A sunken panel at row `index` holding the button and its text.
    QPushButton* addToolRow(int index, const QString& name, const QString& caption,
                            const QString& text);
    QPushButton* addBottomButton(int index, const QString& name, const QString& caption);
    void fitToolTexts();
    void openTool(ToolWindow tool);

    AppWindows& m_windows;
    bool m_duplicateMode = false;
    bool m_shown = false;

    QPushButton* btDuplicate = nullptr;
    QPushButton* btFileHog = nullptr;
    QPushButton* btFiles = nullptr;
    QPushButton* btDirHogs = nullptr;
    QPushButton* btClean = nullptr;
    QPushButton* btStatistic = nullptr;
    QPushButton* btBrowse = nullptr;
    QPushButton* btReach = nullptr;
    QPushButton* btHelp = nullptr;
    QPushButton* btClose = nullptr;
    QList<QLabel*> m_texts;
};

}  // namespace vantrel
