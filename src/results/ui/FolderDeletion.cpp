#include "results/ui/FolderDeletion.h"

#include "results/Savings.h"
#include "results/ui/TfrmDelDirectory.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QCoreApplication>

namespace vantrel {

QString folderDeletionSummary(bool recycled, qint64 files, qint64 bytes, bool finished) {
    const QString note =
        finished ? QString()
                 : QStringLiteral(" (Note: Deletion operation canceled ... not all files deleted)");
    return (recycled ? QStringLiteral("Recycled ") : QStringLiteral("Deleted ")) +
           numberText(files) + QStringLiteral(" files for a savings of ") + numberText(bytes) +
           QStringLiteral(" bytes.") + note;
}

QString failureListText(const QList<DeletionFailure>& failures, int limit) {
    QStringList lines;
    for (const DeletionFailure& f : failures) {
        if (lines.size() == limit)
            break;
        lines.append((f.folder ? QStringLiteral("Couldn't delete folder - ")
                               : QStringLiteral("Couldn't delete file - ")) +
                     displayText(f.path) + QStringLiteral(" (") + f.error + QLatin1Char(')'));
    }
    if (failures.size() > limit)
        lines.append(QStringLiteral("... and ") + numberText(failures.size() - limit) +
                     QStringLiteral(" more"));
    return lines.join(QLatin1Char('\n'));
}

FolderDeletionOutcome deleteFolderInteractively(const QByteArray& folder, FolderDeleteCaller caller,
                                                QWidget* parent) {
    FolderDeletionOutcome outcome;
    if (const auto refusal = folderProtectionMessage(folder, caller)) {
        alertBox(*refusal, parent);
        outcome.status = FolderDeletionStatus::Refused;
        return outcome;
    }

    TfrmDelDirectory confirm(folder, parent);
    if (dialogs().exec(confirm) != QDialog::Accepted) {
        outcome.status = FolderDeletionStatus::NotConfirmed;
        return outcome;
    }
    outcome.recycled = confirm.recycle();

    if (removeEmptyFolder(folder)) {
        outcome.status = FolderDeletionStatus::RemovedEmpty;
        return outcome;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    FolderDeletionCallbacks callbacks;
    callbacks.confirmAttribute = [parent](const QByteArray& path, quint32 attribute) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        const Answer answer = dialogs().question(attributeQuestionText(path, attribute),
                                                 QuestionButtons::YesNoCancel, parent);
        QApplication::restoreOverrideCursor();
        return answer == Answer::Yes;
    };
    int entries = 0;
    callbacks.progress = [&entries] {
        // Keep the windows painted on long runs; no input reaches them.
        if (++entries % 64 == 0)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    outcome.tree = deleteFolderTree(folder, outcome.recycled, callbacks);
    QApplication::restoreOverrideCursor();
    outcome.status =
        outcome.tree.finished ? FolderDeletionStatus::Finished : FolderDeletionStatus::Cancelled;

    const FolderDeletionResult& tree = outcome.tree;
    if (tree.files > 0) {
        if (outcome.recycled)
            addSavings(0, 0, tree.files, tree.bytes);
        else
            addSavings(tree.files, tree.bytes, 0, 0);
        infoBox(folderDeletionSummary(outcome.recycled, tree.files, tree.bytes, tree.finished),
                parent);
    }
    if (!tree.failures.isEmpty())
        alertBox(failureListText(tree.failures), parent);
    return outcome;
}

}  // namespace vantrel
