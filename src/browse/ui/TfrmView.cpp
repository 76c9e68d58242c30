#include "browse/ui/TfrmView.h"

#include "browse/ui/FileViewer.h"
#include "browse/ui/TFindDlg.h"
#include "settings/ui/WinPlace.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryFile>
#include <QUrl>
#include <QVBoxLayout>

namespace vantrel {

namespace {

const QString kCaption = QStringLiteral("View File : ");

QList<QByteArray> localFiles(const QMimeData* data) {
    QList<QByteArray> out;
    if (!data || !data->hasUrls())
        return out;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            out.append(QFile::encodeName(url.toLocalFile()));
    }
    return out;
}

}  // namespace

TfrmView::TfrmView(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(kCaption);
    setSizeGripEnabled(true);
    resize(760, 520);

    Viewer1 = new FileViewer(this);
    Viewer1->setObjectName(QStringLiteral("Viewer1"));

    buildMenu();
    buildPanel();

    Header1 = new QStatusBar(this);
    Header1->setObjectName(QStringLiteral("Header1"));
    Header1->setSizeGripEnabled(false);
    const int minimum[4] = {90, 150, 110, 0};
    for (int i = 0; i < 4; ++i) {
        auto* section = new QLabel(Header1);
        section->setObjectName(QStringLiteral("Header1Section%1").arg(i));
        section->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        section->setMinimumWidth(minimum[i]);
        section->setTextFormat(Qt::PlainText);
        Header1->addPermanentWidget(section, i == 3 ? 1 : 0);
        m_sections[i] = section;
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(Panel1);
    layout->addWidget(Viewer1, 1);
    layout->addWidget(Header1);

    connect(Viewer1, &FileViewer::statusChanged, this, &TfrmView::Viewer1ShowStatus);
    connect(Viewer1, &FileViewer::searchFinished, this, &TfrmView::searchDone);

    // "Tab expansion" follows the control.
    TabExpansion1->setChecked(Viewer1->expandTabs());
    setAcceptDrops(true);

    m_winPlace = new TWinPlace(this);
    m_winPlace->IniFileName = QStringLiteral("vantrel.ini");
    m_winPlace->Identifier = QStringLiteral("frmView");
    if (!m_winPlace->hasStoredPlacement())
        centreOnScreen(*this);

    setTabOrder(Viewer1, rbAscii);
    setTabOrder(rbAscii, btFont);
    setTabOrder(btFont, btPrint);
    setTabOrder(btPrint, BitBtn1);
    setTabOrder(BitBtn1, btStrings);
    setTabOrder(btStrings, btClose);
    Viewer1->setFocus();
    Viewer1ShowStatus();
}

TfrmView::~TfrmView() {
    stopStrings();
    Viewer1->cancelSearch();
    if (m_shown)
        m_winPlace->SavePlacement();
}

void TfrmView::buildMenu() {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [this](QMenu* menu, const char* name, const QString& text,
                         void (TfrmView::*handler)()) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    File1 = m_menuBar->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    Open1 = action(File1, "Open1", QStringLiteral("&Open..."), &TfrmView::Open1Click);
    Print1 = action(File1, "Print1", QStringLiteral("&Print..."), &TfrmView::Print1Click);
    Print1->setEnabled(false);
    PrintSetup1 = action(File1, "PrintSetup1", QStringLiteral("P&rint setup..."),
                         &TfrmView::PrintSetup1Click);
    File1->addSeparator();
    Exit1 = action(File1, "Exit1", QStringLiteral("E&xit"), &TfrmView::Exit1Click);
    Exit1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));

    Clipboard1 = m_menuBar->addMenu(QStringLiteral("&Clipboard"));
    Clipboard1->setObjectName(QStringLiteral("Clipboard1"));
    Copy1 = action(Clipboard1, "Copy1", QStringLiteral("&Copy"), &TfrmView::Copy1Click);
    Copy1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Insert), QKeySequence::Copy});
    Copy1->setEnabled(false);
    SelectAll1 =
        action(Clipboard1, "SelectAll1", QStringLiteral("&Select all"), &TfrmView::SelectAll1Click);
    SelectAll1->setEnabled(false);

    Search1 = m_menuBar->addMenu(QStringLiteral("&Search"));
    Search1->setObjectName(QStringLiteral("Search1"));
    Find1 = action(Search1, "Find1", QStringLiteral("&Find..."), &TfrmView::Find1Click);
    Find1->setEnabled(false);
    FindNext1 =
        action(Search1, "FindNext1", QStringLiteral("Find &next"), &TfrmView::FindNext1Click);
    FindNext1->setShortcut(QKeySequence(Qt::Key_F3));
    FindNext1->setEnabled(false);
    GotoLine1 =
        action(Search1, "GotoLine1", QStringLiteral("&Go to line..."), &TfrmView::GotoLine1Click);
    GotoLine1->setShortcut(QKeySequence(Qt::Key_F4));
    GotoLine1->setEnabled(false);

    Options1 = m_menuBar->addMenu(QStringLiteral("&Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    HexMode1 = action(Options1, "HexMode1", QStringLiteral("&Hex Mode"), &TfrmView::HexMode1Click);
    HexMode1->setCheckable(true);
    HexMode1->setShortcut(QKeySequence(Qt::Key_F8));
    TabExpansion1 = action(Options1, "TabExpansion1", QStringLiteral("&Tab expansion"),
                           &TfrmView::TabExpansion1Click);
    TabExpansion1->setCheckable(true);
    TabSize1 =
        action(Options1, "TabSize1", QStringLiteral("Tab si&ze..."), &TfrmView::TabSize1Click);
    Font1 = action(Options1, "Font1", QStringLiteral("&Font..."), &TfrmView::Font1Click);

    connect(File1, &QMenu::aboutToShow, this, &TfrmView::File1Click);
    connect(Clipboard1, &QMenu::aboutToShow, this, &TfrmView::Clipboard1Click);
    connect(Search1, &QMenu::aboutToShow, this, &TfrmView::Search1Click);
}

void TfrmView::buildPanel() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto button = [this](const char* name, const QString& text, void (TfrmView::*handler)()) {
        auto* b = new QPushButton(text, Panel1);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    rbAscii = new QRadioButton(QStringLiteral("&ASCII"), Panel1);
    rbAscii->setObjectName(QStringLiteral("rbAscii"));
    rbAscii->setChecked(true);
    connect(rbAscii, &QRadioButton::clicked, this, &TfrmView::rbAsciiClick);
    rbHex = new QRadioButton(QStringLiteral("&Hex"), Panel1);
    rbHex->setObjectName(QStringLiteral("rbHex"));
    connect(rbHex, &QRadioButton::clicked, this, &TfrmView::rbHexClick);

    btFont = button("btFont", QStringLiteral("Fo&nt"), &TfrmView::Font1Click);
    btPrint = button("btPrint", QStringLiteral("P&rint setup"), &TfrmView::PrintSetup1Click);
    BitBtn1 = button("BitBtn1", QStringLiteral("&Print"), &TfrmView::Print1Click);
    btStrings = button("btStrings", QStringLiteral("Pee&k at strings"), &TfrmView::btStringsClick);
    btStrings->setToolTip(QStringLiteral("Peek inside file for ASCII strings"));
    btClose = button("btClose", QStringLiteral("Close"), &TfrmView::btCloseClick);

    int height = 0;
    for (QWidget* w : {static_cast<QWidget*>(btFont), static_cast<QWidget*>(btClose)})
        height = std::max(height, w->sizeHint().height());
    Panel1->setFixedHeight(height + 12);
    Panel1->setMinimumWidth(rbAscii->sizeHint().width() + rbHex->sizeHint().width() + 30 +
                            btFont->sizeHint().width() + btPrint->sizeHint().width() +
                            BitBtn1->sizeHint().width() + btStrings->sizeHint().width() +
                            btClose->sizeHint().width() + 35);
    Panel1->installEventFilter(this);
}

bool TfrmView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel1 && event->type() == QEvent::Resize)
        FormResize();
    return QDialog::eventFilter(watched, event);
}

// ---- showing -------------------------------------------------------------------------

void TfrmView::setFileName(const QByteArray& path) {
    m_fileName = path;
    if (m_shown && isVisible()) {
        openInViewer(path);
        setCaption(path);
        updateMenus();
    }
}

void TfrmView::setCaption(const QByteArray& path) {
    setWindowTitle(kCaption + displayText(path));
}

void TfrmView::hideModeControls() {
    btStrings->hide();
    rbAscii->hide();
    rbHex->hide();
    HexMode1->setVisible(false);
    FormResize();
}

void TfrmView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmView::FormShow() {
    bool opened = true;
    if (!m_fileName.isEmpty()) {
        QString why;
        opened = Viewer1->openFile(m_fileName, &why);
    }
    setCaption(m_fileName);
    updateMenus();
    m_winPlace->RestorePlacement();
    Viewer1->setFocus();
    if (!opened) {
        // Told once the window is up, not from inside its showing.
        const QByteArray path = m_fileName;
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                alertBox(QStringLiteral("Could not open file ") + displayText(path), this);
            },
            Qt::QueuedConnection);
    }
}

bool TfrmView::openInViewer(const QByteArray& path) {
    QString why;
    if (Viewer1->openFile(path, &why))
        return true;
    alertBox(QStringLiteral("Could not open file ") + displayText(path), this);
    return false;
}

void TfrmView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TfrmView::FormResize() {
    // Close 15 pixels in from the right, the other buttons 5 pixels apart to
    // its left; the mode buttons on the left.
    const int height = Panel1->height();
    int right = Panel1->width() - 15;
    for (QPushButton* b : {btClose, btStrings, BitBtn1, btPrint, btFont}) {
        if (b->isHidden())
            continue;
        const QSize size = b->sizeHint();
        b->setGeometry(right - size.width(), (height - size.height()) / 2, size.width(),
                       size.height());
        right -= size.width() + 5;
    }
    int left = 10;
    for (QRadioButton* r : {rbAscii, rbHex}) {
        const QSize size = r->sizeHint();
        r->setGeometry(left, (height - size.height()) / 2, size.width(), size.height());
        left += size.width() + 10;
    }
}

// ---- status and menus ---------------------------------------------------------------

QString TfrmView::statusSection(int index) const {
    return index >= 0 && index < 4 ? m_sections[index]->text() : QString();
}

void TfrmView::Viewer1ShowStatus() {
    const FileViewer::Position caret = Viewer1->caret();
    m_sections[0]->setText(
        QStringLiteral("%1:%2").arg(caret.line + 1).arg(caret.column + 1).rightJustified(8));
    const std::optional<qint64> count = Viewer1->lineCount();
    m_sections[1]->setText(QStringLiteral("Total: ") +
                           (count ? numberText(*count) : QStringLiteral("?")));
    m_sections[2]->setText(QStringLiteral("Top: ") +
                           QString::number(Viewer1->topLine() + 1).rightJustified(5));
    m_sections[3]->setText(QStringLiteral("Bytes: ") + numberText(Viewer1->fileSize()));
    updateMenus();
}

void TfrmView::updateMenus() {
    const bool hasLine = Viewer1->isOpen() && Viewer1->hasLines();
    Print1->setEnabled(hasLine);
    SelectAll1->setEnabled(hasLine);
    Find1->setEnabled(hasLine);
    GotoLine1->setEnabled(hasLine);
    Copy1->setEnabled(Viewer1->hasSelection());
    FindNext1->setEnabled(hasLine && !TFindDlg::instance().text().isEmpty());
}

void TfrmView::File1Click() {
    updateMenus();
}
void TfrmView::Clipboard1Click() {
    updateMenus();
}
void TfrmView::Search1Click() {
    updateMenus();
}

// ---- file menu -----------------------------------------------------------------------

void TfrmView::Open1Click() {
    const QString name = dialogs().openFileName(this, QStringLiteral("Open"), QString(),
                                                QStringLiteral("All Files (*)"));
    if (name.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(name);
    if (!openInViewer(path))
        return;
    m_fileName = path;
    setCaption(path);
    updateMenus();
}

QPrinter& TfrmView::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(QDir::home().filePath(QStringLiteral("vantrel-view.pdf")));
        }
    }
    return *m_printer;
}

void TfrmView::Print1Click() {
    bool selection = Viewer1->hasSelection();
    QPrinter& p = printer();
    if (!dialogs().printDialog(p, this, &selection))
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const bool ok = Viewer1->print(p, selection);
    QGuiApplication::restoreOverrideCursor();
    if (!ok)
        alertBox(QStringLiteral("Error printing report ... quitting"), this);
}

void TfrmView::PrintSetup1Click() {
    dialogs().printSetupDialog(printer(), this);
}

void TfrmView::Exit1Click() {
    reject();
}

void TfrmView::btCloseClick() {
    reject();
}

// ---- clipboard -----------------------------------------------------------------------

void TfrmView::Copy1Click() {
    if (!Viewer1->copyToClipboard())
        infoBox(QStringLiteral("Only the first %1 bytes of the selection were copied")
                    .arg(numberText(FileViewer::kMaxCopyBytes)),
                this);
}

void TfrmView::SelectAll1Click() {
    Viewer1->selectAll();
}

// ---- search --------------------------------------------------------------------------

void TfrmView::Find1Click() {
    TFindDlg& find = TFindDlg::instance();
    if (dialogs().exec(find) != QDialog::Accepted)
        return;
    ViewerDocument::FindOptions options;
    options.backward = find.backward();
    options.matchCase = find.matchCase();
    options.wholeFile = find.globalSearch();
    if (!Viewer1->startSearch(find.text(), options))
        searchDone(false, find.text());
    updateMenus();
}

void TfrmView::FindNext1Click() {
    const TFindDlg& find = TFindDlg::instance();
    if (find.text().isEmpty())
        return;
    ViewerDocument::FindOptions options;
    options.backward = find.backward();
    options.matchCase = find.matchCase();
    if (!Viewer1->startSearch(find.text(), options))
        searchDone(false, find.text());
}

void TfrmView::searchDone(bool found, const QString& text) {
    if (!found)
        infoBox(QStringLiteral("Search string '") + text + QStringLiteral("' not found"), this);
    updateMenus();
}

void TfrmView::GotoLine1Click() {
    const std::optional<qint64> count = Viewer1->lineCount();
    const QString prompt = QStringLiteral("Enter line number (1 to ") +
                           (count ? QString::number(*count) : QStringLiteral("?")) +
                           QLatin1Char(')');
    const std::optional<QString> answer =
        dialogs().textInput(this, QStringLiteral("Go to line number"), prompt, QString());
    if (!answer)
        return;
    bool ok = false;
    const qint64 n = answer->trimmed().toLongLong(&ok);
    if (ok)
        Viewer1->moveCaretTo(std::max<qint64>(n - 1, 0), 0);
}

// ---- options -------------------------------------------------------------------------

void TfrmView::HexMode1Click() {
    const bool hex = HexMode1->isChecked();
    Viewer1->setInHexMode(hex);
    rbHex->setChecked(hex);
    rbAscii->setChecked(!hex);
}

void TfrmView::rbAsciiClick() {
    rbAscii->setChecked(true);
    Viewer1->setInHexMode(false);
    HexMode1->setChecked(false);
}

void TfrmView::rbHexClick() {
    rbHex->setChecked(true);
    Viewer1->setInHexMode(true);
    HexMode1->setChecked(true);
}

void TfrmView::TabExpansion1Click() {
    Viewer1->setExpandTabs(TabExpansion1->isChecked());
}

void TfrmView::TabSize1Click() {
    const std::optional<QString> answer =
        dialogs().textInput(this, QStringLiteral("Tab Size"), QStringLiteral("Enter tab size"),
                            QString::number(Viewer1->tabSize()));
    if (!answer)
        return;
    bool ok = false;
    const int size = answer->trimmed().toInt(&ok);
    if (ok)
        Viewer1->setTabSize(size);
}

void TfrmView::Font1Click() {
    const std::optional<QFont> font = dialogs().fontDialog(Viewer1->fixedFont(), this, true);
    if (font)
        Viewer1->setFixedFont(*font);
}

// ---- dropped files -------------------------------------------------------------------

void TfrmView::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmView::dropEvent(QDropEvent* event) {
    const QList<QByteArray> files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    filesDropped(files);
}

void TfrmView::filesDropped(const QList<QByteArray>& paths) {
    if (paths.isEmpty())
        return;
    openInViewer(paths.first());
    updateMenus();
    if (isMinimized()) {
        showNormal();
    } else {
        raise();
        activateWindow();
    }
}

// ---- peek at strings -----------------------------------------------------------------

void TfrmView::btStringsClick() {
    if (m_stringsThread.joinable())
        return;
    m_stringsSource = Viewer1->isOpen() ? Viewer1->fileName() : m_fileName;
    m_stringsFile =
        std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/strXXXXXX"));
    if (!m_stringsFile->open()) {
        alertBox(QStringLiteral("Could not open file ") + m_stringsFile->fileTemplate(), this);
        m_stringsFile.reset();
        return;
    }
    m_stringsFile->close();
    const QByteArray target = QFile::encodeName(m_stringsFile->fileName());
    const QByteArray source = m_stringsSource;
    btStrings->setEnabled(false);
    setCursor(Qt::WaitCursor);
    m_stringsCancel.store(false);
    m_stringsThread = std::thread([this, source, target] {
        const StringsResult result = extractStrings(source, target, 5, 100, &m_stringsCancel);
        QMetaObject::invokeMethod(
            this, [this, result] { stringsDone(result); }, Qt::QueuedConnection);
    });
}

void TfrmView::stopStrings() {
    if (!m_stringsThread.joinable())
        return;
    m_stringsCancel.store(true);
    m_stringsThread.join();
    m_stringsFile.reset();
}

void TfrmView::stringsDone(StringsResult result) {
    if (m_stringsThread.joinable())
        m_stringsThread.join();
    btStrings->setEnabled(true);
    unsetCursor();
    if (result == StringsResult::Cancelled || !m_stringsFile || !isVisible()) {
        m_stringsFile.reset();
        return;
    }
    const QByteArray target = QFile::encodeName(m_stringsFile->fileName());
    if (result == StringsResult::SourceFailed)
        alertBox(QStringLiteral("Could not open file ") + displayText(m_stringsSource), this);
    else if (result == StringsResult::TargetFailed)
        alertBox(QStringLiteral("Could not open file ") + displayText(target), this);
    {
        TfrmView strings(this);
        strings.hideModeControls();
        strings.setFileName(target);
        dialogs().exec(strings);
    }
    m_stringsFile.reset();  // removes the temporary file
}

}  // namespace vantrel
