#include "scan/ui/TfrmStatList.h"

#include "scan/TypeLists.h"
#include "scan/ui/TypeListBox.h"

#include <QLabel>

namespace vantrel {

TfrmStatList::TfrmStatList(QWidget* parent)
    : PatternListEditor(QStringLiteral("File Types"), parent), m_section(kIncludeSection) {
    setObjectName(QStringLiteral("frmStatList"));
    setWindowTitle(QStringLiteral("File types"));

    lblCount = new QLabel(QStringLiteral("25 available"), this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    addUnderList(lblCount);

    auto* note = new QLabel(
        QStringLiteral("Hint: Drag mouse or use ctrl-click to select multiple file types."), this);
    note->setWordWrap(true);
    addNote(note);
}

QStringList TfrmStatList::readList() const {
    return ReadStatFilesFromDisk(settingsFile(), m_section);
}

bool TfrmStatList::writeList(const QStringList& lines) {
    return WriteStatFilesToDisk(lines, settings(), m_section);
}

void TfrmStatList::refreshCount() {
    lblCount->setText(QString::number(PickList1->count()) + QStringLiteral(" available"));
}

}  // namespace vantrel
