#include "dup/ui/TfrmDupCompare.h"

#include "browse/FileDetails.h"
#include "browse/ui/FileIcon.h"
#include "browse/ui/TfrmView.h"
#include "platform/FileRecord.h"
#include "platform/ui/Shell.h"
#include "results/ResultGridModel.h"
#include "results/ui/ResultGrid.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QGroupBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>

#include <algorithm>
#include <thread>

namespace vantrel {

namespace {

constexpr int kIconSize = 32;
// At 96 pixels per inch: folders of about 50 characters show whole on each
// side; the window stays inside the screen's free area.
constexpr int kDesignWidth = 1100;
constexpr int kScreenMargin = 40;

// A file name as a group box title: "&" is a mnemonic there.
QString titleText(const QString& name) {
    QString out = name;
    out.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return out;
}

// The value labels shorten a long text in the middle and show it whole in
// their tool tip (ElidedLabel).
void setValue(QLabel* label, const QString& text) {
    label->setText(text);
}

}  // namespace

TfrmDupCompare::TfrmDupCompare(QWidget* parent)
    : QDialog(parent),
      m_home(parent),
      m_launcher(&openWithAssociatedApplication),
      m_crcMailbox(std::make_shared<CrcMailbox>()) {
    m_crcMailbox->window = this;
    setObjectName(QStringLiteral("frmDupCompare"));
    setWindowTitle(QStringLiteral("Compare file pairs"));
    setModal(false);
    buildForm();
    wireControls();
    changeBackgroundColor(normalBackground());
    int width = qRound(kDesignWidth * logicalDpiX() / 96.0);
    if (const QScreen* s = screen())
        width = std::min(width, s->availableGeometry().width() - kScreenMargin);
    resize(std::max(width, minimumSizeHint().width()), height());
    HighlightDifferences();
    updateButtons();
}

TfrmDupCompare::~TfrmDupCompare() {
    // A checksum still running is left to end on its own; it posts nothing
    // to a window that has gone.
    {
        const std::lock_guard<std::mutex> lock(m_crcMailbox->lock);
        m_crcMailbox->window = nullptr;
    }
    if (m_sourceWindow)
        m_sourceWindow->removeEventFilter(this);
}

QByteArray TfrmDupCompare::shownPath(int side) const {
    return side == 0 || side == 1 ? m_sides[side].shownPath : QByteArray();
}

QColor TfrmDupCompare::normalBackground() const {
    return QApplication::palette(this).color(QPalette::Window);
}

// ---- Source ---------------------------------------------------------------------

void TfrmDupCompare::showFor(DupCompareSource& source) {
    QWidget* owner = source.sourceWindow();
    if (m_source && m_source != &source)
        forgetSource();
    m_source = &source;
    if (owner != m_sourceWindow) {
        if (m_sourceWindow)
            m_sourceWindow->removeEventFilter(this);
        m_sourceWindow = owner;
        if (owner)
            owner->installEventFilter(this);
    }
    // A child window of the (modal) source takes input while the source
    // runs; a window of its own would be blocked.
    QWidget* wanted = owner ? owner : m_home.data();
    if (parentWidget() != wanted) {
        const QPoint at = pos();
        const bool placed = testAttribute(Qt::WA_Moved);
        setParent(wanted, windowFlags());
        if (placed)
            move(at);
    }
    show();
    raise();
    activateWindow();
}

void TfrmDupCompare::sourceClosing(DupCompareSource& source) {
    if (&source == m_source)
        forgetSource();
}

void TfrmDupCompare::forgetSource() {
    hide();
    if (m_sourceWindow)
        m_sourceWindow->removeEventFilter(this);
    m_sourceWindow = nullptr;
    m_source = nullptr;
    if (parentWidget() != m_home.data()) {
        const QPoint at = pos();
        setParent(m_home.data(), windowFlags());
        move(at);
    }
    updateButtons();
}

bool TfrmDupCompare::eventFilter(QObject* watched, QEvent* event) {
    // The source window closing (a modal window is hidden when it ends)
    // sends this window home even before the source says so, so that it is
    // never destroyed with the source.
    if (watched == m_sourceWindow && event->type() == QEvent::Hide && !event->spontaneous() &&
        m_source)
        forgetSource();
    return QDialog::eventFilter(watched, event);
}

int TfrmDupCompare::sourceRowOf(int row) const {
    if (!m_source)
        return -1;
    const QByteArray path = m_rows.path(row);
    if (path.isEmpty())
        return -1;
    const ResultGridModel* model = m_source->dupGrid().gridModel();
    if (model->pathAt(row) == path)
        return row;
    // The grid has changed since the copy (a new scan): find the file.
    for (int r = 1; r <= model->rowCounter(); ++r) {
        if (model->pathAt(r) == path)
            return r;
    }
    return -1;
}

// ---- Showing --------------------------------------------------------------------

void TfrmDupCompare::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmDupCompare::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    abandonCrc();
}

void TfrmDupCompare::abandonCrc() {
    ++m_generation;
    if (!m_crcRunning)
        return;
    m_crcRunning = false;
    unsetCursor();
    updateButtons();
}

void TfrmDupCompare::FormShow() {
    abandonCrc();
    m_rows.clear();
    m_modified.clear();
    m_mode = -1;
    int current = 1;
    if (m_source) {
        const ResultGrid& grid = m_source->dupGrid();
        const ResultGridModel* model = grid.gridModel();
        const int rows = model->gridRowCount();
        m_rows.reserve(rows);
        m_rows.append(model->gridLayout().titles, QByteArray());
        for (int r = 1; r < rows; ++r)
            m_rows.append(model->rowTexts(r), model->pathAt(r));
        m_mode = m_source->matchMode();
        current = grid.currentGridRow();
    }
    m_left = openingPairRow(current, gridRowCount());
    for (Side& side : m_sides)
        side.shownPath.clear();
    GetLeftValues(m_left);
    GetRightValues(m_left + 1);
    HighlightDifferences();
    updateButtons();
    if (btCompute->isEnabled())
        btCompute->setFocus();
    else
        btClose->setFocus();
}

void TfrmDupCompare::GetLeftValues(int row) {
    fillSide(m_sides[0], row);
}

void TfrmDupCompare::GetRightValues(int row) {
    fillSide(m_sides[1], row);
}

void TfrmDupCompare::fillSide(Side& side, int row) {
    side.crc->clear();
    const QByteArray path = m_rows.path(row);
    FileRecord record;
    if (path.isEmpty() || !statPath(path, record))
        return;  // gone: the side keeps what it showed
    side.shownPath = path;

    side.image->setPixmap(fileIcon(path).pixmap(kIconSize, kIconSize));
    QStringList lines = versionLines(path, false);
    if (lines.isEmpty())
        lines.append(QStringLiteral("Extended profile absent"));
    side.versions->clear();
    side.versions->addItems(lines);

    const QString name = m_rows.cell(row, pcName);
    setValue(side.folder, m_rows.cell(row, pcFolder));
    side.group->setTitle(titleText(name));
    side.group->setToolTip(name);
    setValue(side.type, fileTypeDescription(extensionOf(name)));
    setValue(side.size, numberText(record.size) + QStringLiteral(" bytes"));
    const QDateTime now = QDateTime::currentDateTime();
    setValue(side.create, detailsDateText(record.packedCreationTime(), now, true));
    setValue(side.modify, detailsDateText(record.packedWriteTime(), now, true));
    setValue(side.access, detailsDateText(record.packedAccessTime(), now, false));
    setValue(side.attributes, attributeWords(record.attr));
}

// ---- Walking the pairs ------------------------------------------------------------

bool TfrmDupCompare::qPairMatches(int row) const {
    return pairMatches(pairRow(row), pairRow(row + 1), m_mode);
}

PairRow TfrmDupCompare::pairRow(int row) const {
    PairRow r{m_rows.cells(row), m_rows.path(row), std::nullopt};
    if (pairModeComparesTimes(m_mode) && row >= 0 && row < gridRowCount()) {
        // Read once per copy, when a pair first needs it.
        if (m_modified.size() != std::size_t(gridRowCount()))
            m_modified.assign(std::size_t(gridRowCount()), kTimeNotRead);
        qint64& seconds = m_modified[std::size_t(row)];
        if (seconds == kTimeNotRead) {
            FileRecord record;
            seconds = !r.path.isEmpty() && statPath(r.path, record) && record.writeTime.recorded
                          ? record.writeTime.sec
                          : kTimeUnknown;
        }
        if (seconds != kTimeUnknown)
            r.modified = seconds;
    }
    return r;
}

int TfrmDupCompare::GetNextDupRow() const {
    return nextPairRow(m_left, gridRowCount(), [this](int r) { return qPairMatches(r); });
}

int TfrmDupCompare::GetPrevDupRow() const {
    return prevPairRow(m_left, [this](int r) { return qPairMatches(r); });
}

void TfrmDupCompare::sbR1Click() {
    if (!m_crcRunning)
        moveTo(GetNextDupRow());
}

void TfrmDupCompare::sbL1Click() {
    if (!m_crcRunning)
        moveTo(GetPrevDupRow());
}

void TfrmDupCompare::moveTo(int row) {
    if (row == m_left)
        return;
    m_left = row;
    GetLeftValues(m_left);
    GetRightValues(m_left + 1);
    HighlightDifferences();
    updateButtons();
    // The pair's first file is selected in the duplicates grid too.
    const int sourceRow = sourceRowOf(m_left);
    if (sourceRow >= 1)
        m_source->dupGrid().setCurrentGridRow(sourceRow);
}

void TfrmDupCompare::FormKeyUp(int key) {
    if (key == Qt::Key_PageDown)
        sbR1Click();
    else if (key == Qt::Key_PageUp)
        sbL1Click();
}

void TfrmDupCompare::keyReleaseEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp) &&
        event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            FormKeyUp(event->key());
        event->accept();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

// ---- Painting and layout ------------------------------------------------------------

void TfrmDupCompare::HighlightDifferences() {
    resizeIt();
    const std::pair<QLabel*, QLabel*> pairs[] = {{lblFolder1, lblFolder2},
                                                 {lblSizeBytes1, lblSizebytes2},
                                                 {lblType1, lblTYpe2},
                                                 {lblCreate1, lblCreate2},
                                                 {lblModify1, lblModify2},
                                                 {lblAccess1, lblAccess2},
                                                 {lblAttributes1, lblAttributes2},
                                                 {lblCRC1, lblCRC2}};
    for (const auto& [left, right] : pairs) {
        const QColor colour = left->text() == right->text() ? m_background : highlightColor();
        setLabelBackground(left, colour);
        setLabelBackground(right, colour);
    }
    m_lineHighlight = true;
    tlBox1->viewport()->update();
    tlBox2->viewport()->update();
}

bool TfrmDupCompare::versionLineDiffers(int index) const {
    if (!m_lineHighlight || tlBox1->count() < 2 || tlBox2->count() < 2)
        return false;
    const QListWidgetItem* left = tlBox1->item(index);
    const QListWidgetItem* right = tlBox2->item(index);
    return (left ? left->text() : QString()) != (right ? right->text() : QString());
}

void TfrmDupCompare::setLabelBackground(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    label->setPalette(p);
    // On the normal background the label lets its group box show through
    // (the style may shade a group box's inside).
    label->setAutoFillBackground(colour != m_background);
}

void TfrmDupCompare::changeBackgroundColor(const QColor& colour) {
    m_background = colour;
    m_lineHighlight = false;  // until HighlightDifferences paints again
    QPalette own = palette();
    own.setColor(QPalette::Window, colour);
    setPalette(own);
    for (const Side& side : m_sides) {
        QPalette group = side.group->palette();
        group.setColor(QPalette::Window, colour);
        side.group->setPalette(group);
        for (QLabel* label : {side.folder, side.type, side.size, side.create, side.modify,
                              side.access, side.attributes, side.crc})
            setLabelBackground(label, colour);
        QPalette list = side.versions->palette();
        list.setColor(QPalette::Base, colour);
        side.versions->setPalette(list);
        side.versions->viewport()->update();
    }
}

void TfrmDupCompare::resizeIt() {
    const bool lists = tlBox1->count() > 1 || tlBox2->count() > 1;
    tlBox1->setVisible(lists);
    tlBox2->setVisible(lists);
    layout()->activate();
    // Panel1 closes up under whatever is shown above it; the window ends 3
    // pixels below it (the layout's margin).
    setFixedHeight(layout()->sizeHint().height());
    if (!isVisible())
        return;
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        const QRect frame = frameGeometry();
        if (frame.bottom() > area.bottom())
            move(x(), std::max(area.top(), area.bottom() + 1 - frame.height() - 20));
    }
}

void TfrmDupCompare::updateButtons() {
    const bool idle = !m_crcRunning;
    for (int i = 0; i < 2; ++i) {
        Side& side = m_sides[i];
        const int row = m_left + i;
        side.mark->setEnabled(idle && m_source && row < gridRowCount() &&
                              !m_rows.path(row).isEmpty());
        side.launch->setEnabled(idle && !side.shownPath.isEmpty());
        side.view->setEnabled(idle && !side.shownPath.isEmpty());
    }
    btCompute->setEnabled(idle && !m_sides[0].shownPath.isEmpty() &&
                          !m_sides[1].shownPath.isEmpty());
    sbL1->setEnabled(idle);
    sbR1->setEnabled(idle);
    btPrint->setEnabled(idle);
}

// ---- Buttons ------------------------------------------------------------------------

void TfrmDupCompare::btMark1Click() {
    markRow(m_left);
}

void TfrmDupCompare::btMark2Click() {
    markRow(m_left + 1);
}

void TfrmDupCompare::markRow(int row) {
    if (m_crcRunning)
        return;
    // Marks the file the row showed when the copy was taken, wherever it is
    // in the grid now; a file that is no longer listed is not marked.
    const int sourceRow = sourceRowOf(row);
    if (sourceRow >= 1)
        m_source->MarkThisFile(sourceRow);
}

void TfrmDupCompare::btLaunch1Click() {
    launch(m_sides[0]);
}

void TfrmDupCompare::btLaunch2Click() {
    launch(m_sides[1]);
}

void TfrmDupCompare::launch(const Side& side) {
    if (m_crcRunning || side.shownPath.isEmpty())
        return;
    if (!m_launcher || !m_launcher(side.shownPath))
        alertBox(QStringLiteral("Couldn't run ") + displayText(side.shownPath), this);
}

void TfrmDupCompare::btView1Click() {
    view(m_sides[0]);
}

void TfrmDupCompare::btView2Click() {
    view(m_sides[1]);
}

void TfrmDupCompare::view(const Side& side) {
    if (m_crcRunning || side.shownPath.isEmpty())
        return;
    TfrmView viewer(this);
    viewer.setFileName(side.shownPath);
    dialogs().exec(viewer);
}

void TfrmDupCompare::btCloseClick() {
    reject();
}

// ---- CRC values ------------------------------------------------------------------------

void TfrmDupCompare::btComputeClick() {
    const QByteArray left = m_sides[0].shownPath;
    const QByteArray right = m_sides[1].shownPath;
    if (m_crcRunning || left.isEmpty() || right.isEmpty())
        return;
    m_crcRunning = true;
    m_focusBeforeCrc = focusWidget();
    setCursor(Qt::WaitCursor);
    updateButtons();
    const quint64 generation = m_generation;
    // The thread is never waited for: closing or destroying the window must
    // not hang on a file that does not answer. It reaches the window only
    // through the mailbox, which the window empties when it goes.
    std::thread([mailbox = m_crcMailbox, left, right, generation] {
        const PairCrc result = pairCrc(left, right);
        const std::lock_guard<std::mutex> lock(mailbox->lock);
        if (TfrmDupCompare* window = mailbox->window)
            QMetaObject::invokeMethod(
                window, [window, generation, result] { window->crcDone(generation, result); },
                Qt::QueuedConnection);
    }).detach();
}

void TfrmDupCompare::crcDone(quint64 generation, const PairCrc& result) {
    if (generation == m_generation) {
        m_crcRunning = false;
        unsetCursor();
        updateButtons();
        if (m_focusBeforeCrc && m_focusBeforeCrc->isEnabled() && isVisible())
            m_focusBeforeCrc->setFocus();
        if (!result.ok) {
            alertBox(result.error, this);
        } else {
            setValue(lblCRC1, result.leftText());
            setValue(lblCRC2, result.rightText());
            HighlightDifferences();
        }
    }
    Q_EMIT crcFinished();
}

// ---- Printing ---------------------------------------------------------------------------

QPrinter& TfrmDupCompare::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(
                QDir::home().filePath(QStringLiteral("vantrel-pairs.pdf")));
        }
    }
    return *m_printer;
}

void TfrmDupCompare::renderForPrint(QPainter& painter) {
    changeBackgroundColor(Qt::white);
    render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    changeBackgroundColor(normalBackground());
    HighlightDifferences();
}

void TfrmDupCompare::btPrintClick() {
    if (m_crcRunning)
        return;
    QPrinter& p = printer();
    if (!dialogs().printDialog(p, this))
        return;
    QPainter painter;
    if (!painter.begin(&p)) {
        alertBox(QStringLiteral("Error printing report ... quitting"), this);
        return;
    }
    // The window at the size it has on the screen, as far as the page
    // allows.
    const QRect page = painter.viewport();
    const double scale = std::min({double(p.resolution()) / logicalDpiX(),
                                   double(page.width()) / std::max(1, width()),
                                   double(page.height()) / std::max(1, height())});
    painter.scale(scale, scale);
    renderForPrint(painter);
    if (!painter.end() || p.printerState() == QPrinter::Error)
        alertBox(QStringLiteral("Error printing report ... quitting"), this);
}

}  // namespace vantrel
