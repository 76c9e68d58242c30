#include "results/ui/ResultGrid.h"

#include "platform/ui/Shell.h"
#include "results/Report.h"
#include "results/ui/ReportPrinter.h"
#include "results/ui/ResultGridDelegate.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>

namespace vantrel {

namespace {

const char* const kGridHint = "Double click to mark for deletion, right click for options";

// The hour-glass for the lifetime of the object.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

ResultGrid::ResultGrid(const GridLayout& layout, QWidget* parent)
    : QTableView(parent),
      m_model(new ResultGridModel(layout, this)),
      m_delegate(new ResultGridDelegate(this)),
      m_opener(&openWithAssociatedApplication) {
    setModel(m_model);
    setItemDelegate(m_delegate);
    m_delegate->setMargins(layout.leftMargin, layout.rightMargin);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // Every row has the same height (18 pixels, more only when the font
    // needs it), so a million rows cost no measuring.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    const int rowHeight = std::max(qRound(18 * dpiScale()), fontMetrics().height() + 4);
    rows->setMinimumSectionSize(rowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowHeight);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStretchLastSection(false);
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->viewport()->installEventFilter(this);
    titles->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(titles, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showMenuAt(horizontalHeader()->mapToGlobal(pos)); });

    setToolTip(QString::fromLatin1(kGridHint));
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { setCurrentGridRow(1); });
    // New or changed texts may need other column widths.
    connect(m_model, &QAbstractItemModel::modelReset, this, &ResultGrid::scheduleFit);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &ResultGrid::scheduleFit);
    // (Marks change data too, but no texts: only a new row counts.)
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        if (m_model->rowCounter() != m_measuredRows)
            scheduleFit();
    });

    buildMenu();
    checkSortKey(layout.sortKeys.isEmpty() ? -1 : layout.defaultSortKey);
    setCurrentGridRow(1);
}

ResultGrid::~ResultGrid() = default;

void ResultGrid::setGridLayout(const GridLayout& layout) {
    m_model->setGridLayout(layout);
    m_delegate->setMargins(layout.leftMargin, layout.rightMargin);
    delete m_menu;
    m_menu = nullptr;
    m_sortActions.clear();
    buildMenu();
    ClearGrid();
}

void ResultGrid::buildMenu() {
    const GridLayout& layout = gridLayout();
    m_menu = new QMenu(this);

    m_details = m_menu->addAction(QStringLiteral("Details"));
    m_details->setVisible(layout.detailsOffered);
    connect(m_details, &QAction::triggered, this, &ResultGrid::Details1Click);

    QMenu* sort = m_menu->addMenu(QStringLiteral("Sort"));
    m_sortMenu = sort->menuAction();
    for (int key = 0; key < layout.sortKeys.size(); ++key) {
        QAction* entry = sort->addAction(layout.sortKeys[key].menuText);
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, key] { Sortbysize1Click(key); });
        m_sortActions.append(entry);
    }
    m_sortMenu->setVisible(layout.sortingOffered && !layout.sortKeys.isEmpty());

    QMenu* mark = m_menu->addMenu(QStringLiteral("Mark"));
    m_markMenu = mark->menuAction();
    m_markAll = mark->addAction(layout.markAllText);
    m_unmarkAll = mark->addAction(layout.unmarkAllText);
    connect(m_markAll, &QAction::triggered, this, &ResultGrid::Markall1Click);
    connect(m_unmarkAll, &QAction::triggered, this, &ResultGrid::Unmarkall1Click);
    m_markAllButOne = mark->addAction(QStringLiteral("Mark all but one per group"));
    m_markAllButOne->setVisible(!m_rowGroups.empty());
    connect(m_markAllButOne, &QAction::triggered, this, &ResultGrid::MarkAllButOne1Click);
    m_markMenu->setVisible(layout.marksOffered && layout.markColumn >= 0);

    QMenu* resize = m_menu->addMenu(QStringLiteral("Resize"));
    m_resizeMenu = resize->menuAction();
    m_shrink = resize->addAction(QStringLiteral("Shrink top panel"));
    m_grow = resize->addAction(QStringLiteral("Restore top panel"));
    m_grow->setEnabled(false);
    connect(m_shrink, &QAction::triggered, this, &ResultGrid::Shrink1Click);
    connect(m_grow, &QAction::triggered, this, &ResultGrid::Grow1Click);
    m_resizeMenu->setVisible(layout.resizeOffered);

    m_menu->addSeparator()->setVisible(layout.runViewOffered);
    m_run = m_menu->addAction(QStringLiteral("Run"));
    m_view = m_menu->addAction(QStringLiteral("View"));
    m_run->setVisible(layout.runViewOffered);
    m_view->setVisible(layout.runViewOffered);
    connect(m_run, &QAction::triggered, this, &ResultGrid::Run1Click);
    connect(m_view, &QAction::triggered, this, &ResultGrid::View1Click);
}

void ResultGrid::rememberTopPanelHeight() {
    if (m_topPanel)
        m_savedTopHeight = m_topPanel->height();
}

void ResultGrid::setOpener(std::function<bool(const QByteArray&)> opener) {
    m_opener = opener ? std::move(opener) : &openWithAssociatedApplication;
}

int ResultGrid::currentGridRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

void ResultGrid::setCurrentGridRow(int row) {
    if (!selectionModel())
        return;
    row = std::clamp(row, 1, gridRowCount() - 1);
    const QModelIndex target = m_model->index(row - 1, std::max(currentIndex().column(), 0));
    selectionModel()->setCurrentIndex(
        target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}

void ResultGrid::setDeleteEnabled(bool enabled) {
    if (m_deleteEnabled == enabled)
        return;
    m_deleteEnabled = enabled;
    Q_EMIT deleteEnabledChanged(enabled);
}

void ResultGrid::showStatus() {
    const QString text = m_model->statusText();
    if (m_statusLabel)
        m_statusLabel->setText(text);
    Q_EMIT statusTextChanged(text);
}

void ResultGrid::checkSortKey(int key) {
    for (int k = 0; k < m_sortActions.size(); ++k)
        m_sortActions[k]->setChecked(k == key);
    m_checkedKey = key;
}

// ---- The grid family --------------------------------------------------------

void ResultGrid::ClearGrid() {
    m_model->ClearGrid();
    setRowGroups({});
    const GridLayout& layout = gridLayout();
    checkSortKey(layout.sortKeys.isEmpty() ? -1 : layout.defaultSortKey);
    setDeleteEnabled(false);
    setCurrentGridRow(1);
    viewport()->update();
}

bool ResultGrid::deleteOneFile(int row) {
    if (!m_model->deleteOneFile(row))
        return false;
    showStatus();
    return true;
}

void ResultGrid::DeleteAllFiles() {
    const int row = currentGridRow();
    deleteOneFile(row);
    if (row < gridRowCount() - 1)
        setCurrentGridRow(row + 1);
    setDeleteEnabled(m_model->markedCount() > 0);
}

void ResultGrid::MarkThisFile(int row) {
    if (row < 1)
        return;
    deleteOneFile(row);
    setDeleteEnabled(m_model->markedCount() > 0);
}

void ResultGrid::gridDblClick() {
    deleteOneFile(currentGridRow());
    setDeleteEnabled(m_model->markedCount() > 0);
}

void ResultGrid::Markall1Click() {
    int toggled = 0;
    {
        WaitCursor wait;
        toggled = m_model->markAll();
    }
    if (toggled > 0)
        showStatus();
    // Delete is offered even when none of the files was found to count.
    setDeleteEnabled(true);
}

void ResultGrid::setRowGroups(const std::vector<int>& sizes) {
    m_rowGroups = sizes;
    if (m_markAllButOne)
        m_markAllButOne->setVisible(!m_rowGroups.empty());
}

QList<QList<QByteArray>> ResultGrid::rowGroupPaths() const {
    QList<QList<QByteArray>> groups;
    int row = 1;
    for (const int size : m_rowGroups) {
        QList<QByteArray> paths;
        for (int k = 0; k < size && row <= m_model->rowCounter(); ++k, ++row)
            paths.append(m_model->pathAt(row));
        groups.append(paths);
    }
    return groups;
}

void ResultGrid::MarkAllButOne1Click() {
    {
        WaitCursor wait;
        m_model->clearAllMarks();
        int row = 1;
        for (const int size : m_rowGroups) {
            for (int k = 0; k < size && row <= m_model->rowCounter(); ++k, ++row) {
                if (k > 0)
                    m_model->deleteOneFile(row);
            }
        }
    }
    showStatus();
    setDeleteEnabled(m_model->markedPathCount() > 0);
}

void ResultGrid::Unmarkall1Click() {
    clearAllMarks();
    setDeleteEnabled(false);
    showStatus();
}

void ResultGrid::clearAllMarks() {
    m_model->clearAllMarks();
}

void ResultGrid::Sortbysize1Click(int key) {
    const GridLayout& layout = gridLayout();
    if (m_sorting || !layout.sortingOffered || key < 0 || key >= layout.sortKeys.size() ||
        gridRowCount() < 2) {
        // A menu entry checks itself when triggered; nothing was sorted, so
        // the check stays where it was.
        checkSortKey(m_checkedKey);
        return;
    }
    m_sorting = true;
    checkSortKey(-1);
    {
        WaitCursor wait;
        m_model->sortByKey(key);
    }
    checkSortKey(key);
    m_sorting = false;
    Q_EMIT sorted(key);
}

bool ResultGrid::btPrintClick(const QString& title) {
    return printGridReport(GridReport{title, QDateTime::currentDateTime(), m_model->reportRows()},
                           this);
}

void ResultGrid::btClipClick() {
    QGuiApplication::clipboard()->setText(m_model->clipboardText());
}

void ResultGrid::Run1Click() {
    const int row = currentGridRow();
    if (!m_model->fileExists(row))
        return;
    const QByteArray path = m_model->pathAt(row);
    if (!m_opener(path))
        alertBox(QStringLiteral("Couldn't run ") + displayText(path), this);
}

void ResultGrid::View1Click() {
    const int row = currentGridRow();
    if (m_model->fileExists(row))
        Q_EMIT viewRequested(m_model->pathAt(row));
}

void ResultGrid::Details1Click() {
    const int row = currentGridRow();
    if (m_model->fileExists(row))
        Q_EMIT detailsRequested(m_model->pathAt(row));
}

void ResultGrid::BrowseDirectory1Click() {
    const QByteArray path = currentPath();
    if (!path.isEmpty())
        Q_EMIT browseRequested(path);
}

double ResultGrid::dpiScale() const {
    return logicalDpiX() / 96.0;
}

double ResultGrid::widthScale() const {
    // The base widths fit texts of about 6 pixels a digit; a wider font
    // widens the columns in proportion, so that sizes, dates and times are
    // not clipped.
    const double digit = fontMetrics().horizontalAdvance(QLatin1Char('0')) / dpiScale();
    return dpiScale() * std::max(1.0, digit / 6.0);
}

QList<ColumnClaim> ResultGrid::columnClaims() const {
    if (!m_claims.isEmpty() && m_claims.size() == m_model->columnCount())
        return m_claims;
    // The longest texts by bytes are nearly always the widest; a few of them
    // per column are measured, whatever the number of rows.
    constexpr int kMeasured = 16;
    const GridLayout& layout = gridLayout();
    const double scale = widthScale();
    const QFontMetrics cells = fontMetrics();
    const QHeaderView* titles = horizontalHeader();
    const QFontMetrics titleFont = titles->fontMetrics();
    const int titlePadding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles) + 4;
    QList<ColumnClaim> claims;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        ColumnClaim claim;
        claim.minimum = qRound(layout.minimumWidth(c) * scale);
        claim.stretches = layout.stretches(c);
        // The cell's insets, its grid line, and room for the mark picture.
        const int inset =
            (c == layout.markColumn ? 18 : layout.leftMargin) + layout.rightMargin + 1;
        int wanted = titleFont.horizontalAdvance(layout.titles.value(c)) + titlePadding;
        for (const QString& text : m_model->longestCells(c, kMeasured))
            wanted = std::max(wanted, cells.horizontalAdvance(text) + inset);
        claim.wanted = wanted;
        claims.append(claim);
    }
    m_claims = claims;
    m_measuredRows = m_model->rowCounter();
    return claims;
}

void ResultGrid::FormResize(int clientWidth) {
    const QList<int> widths = fitColumnWidths(columnClaims(), clientWidth);
    for (int c = 0; c < widths.size(); ++c) {
        if (columnWidth(c) != widths[c])
            setColumnWidth(c, widths[c]);
    }
}

void ResultGrid::FormResize() {
    FormResize(viewport()->width());
}

void ResultGrid::scheduleFit() {
    m_claims.clear();
    if (m_fitScheduled)
        return;
    m_fitScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_fitScheduled = false;
            FormResize();
        },
        Qt::QueuedConnection);
}

void ResultGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_claims.clear();
}

void ResultGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    // The viewport has its new size here.
    FormResize();
}

void ResultGrid::Shrink1Click() {
    if (m_topPanel) {
        if (m_savedTopHeight < 0)
            rememberTopPanelHeight();
        m_topPanel->setFixedHeight(0);
    }
    m_shrink->setEnabled(false);
    m_grow->setEnabled(true);
}

void ResultGrid::Grow1Click() {
    if (m_topPanel)
        m_topPanel->setFixedHeight(std::max(m_savedTopHeight, 0));
    m_grow->setEnabled(false);
    m_shrink->setEnabled(true);
}

QSize ResultGrid::minimumWindowSize(const QWidget* window) const {
    if (!m_topPanel || !window)
        return QSize();
    const QPoint corner =
        m_topPanel->mapTo(window, QPoint(m_topPanel->width(), m_topPanel->height()));
    int width = corner.x() + 3;
    if (const QScreen* screen = window->screen())
        width = std::min(width, screen->geometry().width() - 10);
    return QSize(width, 2 * corner.y());
}

void ResultGrid::applyMinimumSize(QWidget* window) const {
    const QSize size = minimumWindowSize(window);
    if (size.isValid())
        window->setMinimumSize(size);
}

// ---- Events -----------------------------------------------------------------

bool ResultGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != horizontalHeader()->viewport())
        return QTableView::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* e = static_cast<QMouseEvent*>(event);
            m_pressPoint = e->position().toPoint();
            m_lastPressOnTitle = true;
            break;
        }
        case QEvent::MouseButtonRelease: {
            const auto* e = static_cast<QMouseEvent*>(event);
            // Only a click that did not move (no column resize, no drag) sorts.
            if (e->button() == Qt::LeftButton && e->position().toPoint() == m_pressPoint) {
                const int key =
                    gridLayout().titleClickKey(horizontalHeader()->logicalIndexAt(m_pressPoint));
                if (key >= 0)
                    Sortbysize1Click(key);
            }
            break;
        }
        case QEvent::MouseButtonDblClick: {
            const auto* e = static_cast<QMouseEvent*>(event);
            m_pressPoint = e->position().toPoint();
            m_lastPressOnTitle = true;
            if (e->button() == Qt::LeftButton && !gridLayout().ignoreTitleDoubleClick)
                gridDblClick();
            break;
        }
        default:
            break;
    }
    return QTableView::eventFilter(watched, event);
}

void ResultGrid::keyPressEvent(QKeyEvent* event) {
    // The Delete key acts when it is released (below).
    if (event->key() == Qt::Key_Delete) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultGrid::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && !event->isAutoRepeat()) {
        DeleteAllFiles();
        event->accept();
        return;
    }
    QTableView::keyReleaseEvent(event);
}

void ResultGrid::mousePressEvent(QMouseEvent* event) {
    m_pressPoint = event->position().toPoint();
    m_lastPressOnTitle = false;
    QTableView::mousePressEvent(event);
}

void ResultGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    m_lastPressOnTitle = false;
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        gridDblClick();
}

void ResultGrid::contextMenuEvent(QContextMenuEvent* event) {
    showMenuAt(event->globalPos());
    event->accept();
}

void ResultGrid::showMenuAt(const QPoint& globalPos) {
    m_menu->popup(globalPos);
}

}  // namespace vantrel
