#include "results/ui/TfrmReallyDelete.h"

#include "results/LastCopyGuard.h"
#include "results/ResultGridModel.h"
#include "results/Savings.h"
#include "text/Formats.h"
#include "text/ui/Controls.h"
#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// Shows the hour-glass until it goes out of scope; lifted while a box is up.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

class CursorLifted {
public:
    CursorLifted() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~CursorLifted() { QApplication::restoreOverrideCursor(); }
    CursorLifted(const CursorLifted&) = delete;
    CursorLifted& operator=(const CursorLifted&) = delete;
};

}  // namespace

TfrmReallyDelete::TfrmReallyDelete(const QList<QByteArray>& paths, qint64 total, QWidget* parent)
    : QDialog(parent), m_paths(sortedForDeletion(paths)), m_total(total) {
    setObjectName(QStringLiteral("frmReallyDelete"));
    setWindowTitle(QStringLiteral("Delete/rename the following files:"));
    setModal(true);
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('x'));

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::StyledPanel);

    lblDelete = new QLabel(Panel2);
    lblDelete->setObjectName(QStringLiteral("lblDelete"));
    QFont bold = lblDelete->font();
    bold.setBold(true);
    lblDelete->setFont(bold);

    lb1 = new QListWidget(Panel2);
    lb1->setObjectName(QStringLiteral("lb1"));
    lb1->setMinimumSize(em * 100, fontMetrics().height() * 12);
    lb1->setSelectionMode(QAbstractItemView::SingleSelection);
    lblDelete->setBuddy(lb1);

    Label3 = new QLabel(QStringLiteral("Potential savings of "), Panel2);
    Label3->setObjectName(QStringLiteral("Label3"));
    lblSavings = new QLabel(Panel2);
    lblSavings->setObjectName(QStringLiteral("lblSavings"));
    lblSavings->setFont(bold);

    Label2 = new QLabel(
        QStringLiteral("WARNING: The file(s) that you selected to delete may belong to working "
                       "applications.  Vantrel cannot determine if they are needed for proper "
                       "operation of other applications.  If in doubt do not delete these "
                       "files. "),
        Panel2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);

    btDelete = pushButton(QStringLiteral("&Delete all files"), "btDelete",
                          QStringLiteral("Delete the files shown above permanently.  Cannot be "
                                         "undeleted."),
                          Panel2);
    btRecycle = pushButton(
        QStringLiteral("&Send to recycle bin"), "btRecycle",
        QStringLiteral("Send to recycle bin.  Recycle bin can be emptied later."), Panel2);
    btClose = pushButton(QStringLiteral("Cancel"), "btClose",
                         QStringLiteral("Cancel and close.  Do not rename or delete "), this);
    // Enter closes without deleting; the destructive buttons need a click
    // or their mnemonic.
    btClose->setDefault(true);

    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("bar"));
    bar->setToolTip(QStringLiteral("Progress bar"));
    bar->setTextVisible(false);
    bar->hide();

    {
        auto* savings = new QHBoxLayout;
        savings->setSpacing(0);  // Label3 ends in a blank of its own
        savings->addWidget(Label3);
        savings->addWidget(lblSavings);
        savings->addStretch(1);
        auto* actions = new QHBoxLayout;
        actions->addWidget(btDelete);
        actions->addWidget(btRecycle);
        actions->addStretch(1);
        auto* panel = new QVBoxLayout(Panel2);
        panel->addWidget(lblDelete);
        panel->addWidget(lb1, 1);
        panel->addLayout(savings);
        panel->addWidget(Label2);
        panel->addLayout(actions);

        auto* bottom = new QHBoxLayout;
        bottom->addWidget(bar, 1);
        bottom->addStretch(0);
        bottom->addWidget(btClose);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(Panel2, 1);
        layout->addLayout(bottom);
    }
    setTabOrder(lb1, btDelete);
    setTabOrder(btDelete, btRecycle);
    setTabOrder(btRecycle, btClose);

    connect(btDelete, &QPushButton::clicked, this, &TfrmReallyDelete::btDeleteAllClick);
    connect(btRecycle, &QPushButton::clicked, this, &TfrmReallyDelete::btRecycleClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmReallyDelete::reject);

    fillList();
    FormShow();
}

void TfrmReallyDelete::fillList() {
    lb1->clear();
    for (const QByteArray& path : std::as_const(m_paths)) {
        auto* item = new QListWidgetItem(displayText(path), lb1);
        item->setData(Qt::UserRole, path);
    }
}

void TfrmReallyDelete::FormShow() {
    lblSavings->setText(numberText(m_total) + QStringLiteral(" bytes"));
    lblDelete->setText(QStringLiteral("The following ") + QString::number(lb1->count()) +
                       QStringLiteral(" files will be deleted."));
}

void TfrmReallyDelete::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfrmReallyDelete::btDeleteAllClick() {
    if (m_running)
        return;
    if (m_paths.isEmpty()) {
        stopBox(QStringLiteral("There are no files to delete"), this);
        return;
    }
    if (!lastCopiesConfirmed()) {
        infoBox(QStringLiteral("Files not deleted"), this);
        return;
    }
    if (dialogs().question(QStringLiteral("Really delete?"), QuestionButtons::YesNo, this) !=
        Answer::Yes) {
        infoBox(QStringLiteral("Files not deleted"), this);
        return;
    }
    runDeletion(DeleteMode::ForGood);
}

void TfrmReallyDelete::btRecycleClick() {
    if (m_running)
        return;
    if (!lastCopiesConfirmed()) {
        infoBox(QStringLiteral("Files not deleted"), this);
        return;
    }
    if (dialogs().question(recycleBinNote(), QuestionButtons::YesNo, this) != Answer::Yes) {
        infoBox(QStringLiteral("Files not deleted"), this);
        return;
    }
    runDeletion(DeleteMode::ToTrash);
}

bool TfrmReallyDelete::lastCopiesConfirmed() {
    const QString warning = lastCopyWarning(m_groups, m_paths);
    return warning.isEmpty() ||
           dialogs().question(warning, QuestionButtons::YesNo, this) == Answer::Yes;
}

void TfrmReallyDelete::runDeletion(DeleteMode mode) {
    m_running = true;
    Panel2->setEnabled(false);
    btClose->setEnabled(false);
    {
        WaitCursor wait;
        bar->setRange(0, int(qMax<qsizetype>(m_paths.size() - 1, 0)));
        bar->setValue(0);
        bar->show();
        DeleteProgress progress;
        progress.starting = [this](qsizetype i) {
            bar->setValue(int(i));
            // Let the window paint; no click or key reaches it meanwhile.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
        progress.finished = [this, mode](const DeleteOutcome& outcome) {
            if (outcome.removed)
                return;
            CursorLifted lifted;
            // Each message says why, e.g. "(Permission denied)".
            const QString why = outcome.error.isEmpty()
                                    ? QString()
                                    : QStringLiteral(" (") + outcome.error + QLatin1Char(')');
            if (outcome.changed)
                alertBox(QStringLiteral("Not deleted, because ") + changedSinceListedText() +
                             QStringLiteral(" - ") + displayText(outcome.path),
                         this);
            else if (mode == DeleteMode::ForGood)
                alertBox(
                    QStringLiteral("Couldn't delete file - ") + displayText(outcome.path) + why,
                    this);
            else
                alertBox(QStringLiteral("An error occurred sending files to the recycle bin.  "
                                        "The bin may be full.\n\n") +
                             displayText(outcome.path) + why,
                         this);
        };
        m_run = deleteFiles(m_paths, mode, progress, m_listed);
        m_ran = true;
        bar->hide();
        if (mode == DeleteMode::ForGood)
            addSavings(m_run.removedCount, m_run.removedBytes, 0, 0);
        else
            addSavings(0, 0, m_run.removedCount, m_run.removedBytes);
    }
    m_paths.clear();
    fillList();
    FormShow();
    m_running = false;
    Panel2->setEnabled(true);
    btClose->setEnabled(true);
    accept();
}

void TfrmReallyDelete::reject() {
    if (m_running)
        return;
    QDialog::reject();
}

void TfrmReallyDelete::closeEvent(QCloseEvent* event) {
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

MarkedDeletion deleteMarkedFiles(const QList<QByteArray>& markedPaths, qint64 markedBytes,
                                 QWidget* parent) {
    MarkedDeletion result;
    if (markedPaths.isEmpty())
        return result;
    TfrmReallyDelete dialog(markedPaths, markedBytes, parent);
    result.shown = true;
    result.accepted = dialogs().exec(dialog) == QDialog::Accepted;
    result.recycled = dialog.recycled();
    result.removed = dialog.removedPaths();
    result.removedBytes = dialog.run().removedBytes;
    return result;
}

MarkedDeletion deleteMarkedFiles(const ResultGridModel& model, QWidget* parent,
                                 const QList<QList<QByteArray>>& groups) {
    MarkedDeletion result;
    const QList<QByteArray> paths = model.markedPaths();
    if (paths.isEmpty())
        return result;
    TfrmReallyDelete dialog(paths, model.markedBytes(), parent);
    dialog.setGroups(groups);
    dialog.setListedStates(model.markedStates());
    result.shown = true;
    result.accepted = dialogs().exec(dialog) == QDialog::Accepted;
    result.recycled = dialog.recycled();
    result.removed = dialog.removedPaths();
    result.removedBytes = dialog.run().removedBytes;
    return result;
}

}  // namespace vantrel
