#include "app/ui/TfrmMain.h"

#include "app/AppPaths.h"
#include "app/ui/Decoration.h"
#include "app/ui/HintStyle.h"
#include "app/ui/TfrmAbout.h"
#include "settings/ui/WinPlace.h"
#include "text/ui/Dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

namespace vantrel {

namespace {

// Layout of the launcher, in pixels of its client area.
constexpr int kPanelWidth = 502;
constexpr int kPanelHeight = 40;
constexpr int kPanelLeft = (TfrmMain::kClientWidth - kPanelWidth) / 2;
constexpr int kPanelTop = 16;
constexpr int kPanelStep = kPanelHeight + 7;
constexpr int kButtonWidth = 185;
constexpr int kButtonHeight = 28;
constexpr int kButtonInset = (kPanelHeight - kButtonHeight) / 2;
constexpr int kTextLeft = kButtonInset + kButtonWidth + 14;
constexpr int kBottomButtonWidth = 110;
constexpr int kBottomTop = TfrmMain::kClientHeight - 16 - kButtonHeight;

}  // namespace

TfrmMain::TfrmMain(AppWindows& windows, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_windows(windows) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vantrel Version " VANTREL_VERSION " from Orlenda Corporation"));
    setFixedSize(kClientWidth, kClientHeight);

    btDuplicate = addToolRow(0, QStringLiteral("btDuplicate"), QStringLiteral("&Duplicate files"),
                             QStringLiteral("Locate and view duplicate files"));
    btFileHog = addToolRow(1, QStringLiteral("btFileHog"), QStringLiteral("&File hogs"),
                           QStringLiteral("Locate and view file hogs (large files)"));
    btFiles = addToolRow(2, QStringLiteral("btFiles"), QStringLiteral("Files &accessed"),
                         QStringLiteral("Files accessed within a range of dates"));
    btDirHogs = addToolRow(3, QStringLiteral("btDirHogs"), QStringLiteral("Folder &hogs"),
                           QStringLiteral("Displays large folders"));
    btClean = addToolRow(4, QStringLiteral("btClean"), QStringLiteral("&Quick clean"),
                         QStringLiteral("Cleans up temporary files"));
    btStatistic = addToolRow(5, QStringLiteral("btStatistic"), QStringLiteral("&Statistics"),
                             QStringLiteral("File/disk statistics"));
    btBrowse = addToolRow(6, QStringLiteral("btBrowse"), QStringLiteral("&Browse"),
                          QStringLiteral("Browse through files and folders"));

    fitToolTexts();

    btReach = addBottomButton(0, QStringLiteral("btReach"), QStringLiteral("Ab&out"));
    btHelp = addBottomButton(1, QStringLiteral("btHelp"), QStringLiteral("H&elp"));
    btClose = addBottomButton(2, QStringLiteral("btClose"), QStringLiteral("E&xit"));
    btClose->setToolTip(QStringLiteral("Quit and close "));

    connect(btDuplicate, &QPushButton::clicked, this, &TfrmMain::btDuplicateClick);
    connect(btFileHog, &QPushButton::clicked, this, &TfrmMain::btFileHogClick);
    connect(btFiles, &QPushButton::clicked, this, &TfrmMain::btFilesClick);
    connect(btDirHogs, &QPushButton::clicked, this, &TfrmMain::btDirHogsClick);
    connect(btClean, &QPushButton::clicked, this, &TfrmMain::btCleanClick);
    connect(btStatistic, &QPushButton::clicked, this, &TfrmMain::btStatisticClick);
    connect(btBrowse, &QPushButton::clicked, this, &TfrmMain::btBrowseClick);
    connect(btReach, &QPushButton::clicked, this, &TfrmMain::btReachClick);
    connect(btHelp, &QPushButton::clicked, this, &TfrmMain::btHelpClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmMain::btCloseClick);

    // F1 asks for the same topic as the Help button.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TfrmMain::btHelpClick);

    updateToolButtons();
}

QPushButton* TfrmMain::addToolRow(int index, const QString& name, const QString& caption,
                                  const QString& text) {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("pnl") + name.mid(2));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(236, 241, 248));
    palette.setColor(QPalette::WindowText, QColor(16, 36, 72));
    panel->setPalette(palette);
    panel->setGeometry(kPanelLeft, kPanelTop + index * kPanelStep, kPanelWidth, kPanelHeight);

    auto* button = new QPushButton(caption, panel);
    button->setObjectName(name);
    button->setGeometry(kButtonInset, kButtonInset, kButtonWidth, kButtonHeight);

    auto* label = new QLabel(text, panel);
    label->setObjectName(QStringLiteral("lbl") + name.mid(2));
    label->setGeometry(kTextLeft, 0, kPanelWidth - kTextLeft - 6, kPanelHeight);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    m_texts.append(label);
    return button;
}

void TfrmMain::fitToolTexts() {
    // Bold Arial (or the sans-serif face standing in for it), one size for
    // all seven texts: the largest up to 14 pixels at which every text fits.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    for (int pixels = 14; pixels >= 9; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (const QLabel* label : std::as_const(m_texts))
            fits = fits && metrics.horizontalAdvance(label->text()) <= label->width();
        if (fits)
            break;
    }
    for (QLabel* label : std::as_const(m_texts))
        label->setFont(font);
}

QPushButton* TfrmMain::addBottomButton(int index, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    // About at the left edge of the panels, Exit at their right edge, Help
    // in the middle.
    const int span = kPanelWidth - kBottomButtonWidth;
    button->setGeometry(kPanelLeft + span * index / 2, kBottomTop, kBottomButtonWidth,
                        kButtonHeight);
    return button;
}

void TfrmMain::updateToolButtons() {
    const bool duplicates = m_windows.hasTool(ToolWindow::Duplicates);
    btDuplicate->setEnabled(duplicates);
    btFileHog->setEnabled(duplicates);
    btFiles->setEnabled(m_windows.hasTool(ToolWindow::FilesByDate));
    btDirHogs->setEnabled(m_windows.hasTool(ToolWindow::FolderHogs));
    btClean->setEnabled(m_windows.hasTool(ToolWindow::QuickClean));
    btStatistic->setEnabled(m_windows.longLived(LongLivedWindow::Statistics) != nullptr);
    btBrowse->setEnabled(m_windows.hasTool(ToolWindow::Browse));
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmMain::FormShow() {
    applyHintSettings();
    m_windows.setHelpFile(findHelpFile(QCoreApplication::applicationDirPath()));
    updateToolButtons();
    if (!m_shown) {
        m_shown = true;
        centreOnScreen(*this);
    }
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void TfrmMain::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBackground(painter, rect());
}

void TfrmMain::openTool(ToolWindow tool) {
    // Owned here for the time it is open: destroyed when exec returns, and
    // also when an error escapes from it.
    const std::unique_ptr<QDialog> window =
        m_windows.createTool(tool, ToolRequest{this, m_duplicateMode, &m_windows, std::nullopt});
    if (window)
        dialogs().exec(*window);
}

void TfrmMain::btDuplicateClick() {
    m_duplicateMode = true;
    openTool(ToolWindow::Duplicates);
}

void TfrmMain::btFileHogClick() {
    m_duplicateMode = false;
    openTool(ToolWindow::Duplicates);
}

void TfrmMain::btFilesClick() {
    openTool(ToolWindow::FilesByDate);
}

void TfrmMain::btDirHogsClick() {
    openTool(ToolWindow::FolderHogs);
}

void TfrmMain::btCleanClick() {
    openTool(ToolWindow::QuickClean);
}

void TfrmMain::btStatisticClick() {
    QWidget* statistics = m_windows.longLived(LongLivedWindow::Statistics);
    if (!statistics)
        return;
    statistics->show();
    statistics->raise();
    statistics->activateWindow();
}

void TfrmMain::btBrowseClick() {
    openTool(ToolWindow::Browse);
}

void TfrmMain::btReachClick() {
    TfrmAbout about(this);
    dialogs().exec(about);
}

void TfrmMain::btHelpClick() {
    m_windows.setHelpFile(findHelpFile(QCoreApplication::applicationDirPath()));
    m_windows.showHelp(1, this);
}

void TfrmMain::btCloseClick() {
    close();
}

}  // namespace vantrel
