#include "clean/ui/TfrmTempFiles.h"

#include "clean/TempFileList.h"
#include "scan/TypeLists.h"
#include "scan/ui/TypeListBox.h"

#include <QLabel>
#include <QPushButton>

namespace vantrel {

namespace {

QLabel* note(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

TfrmTempFiles::TfrmTempFiles(QWidget* parent)
    : PatternListEditor(QStringLiteral("Temporary file extensions"), parent) {
    setObjectName(QStringLiteral("frmTempFiles"));
    setWindowTitle(QStringLiteral("Temporary file extensions"));

    btDefaults = new QPushButton(QStringLiteral("D&efaults"), this);
    btDefaults->setObjectName(QStringLiteral("btDefaults"));
    btDefaults->setToolTip(QStringLiteral("Inserts some default temporary file extensions"));
    addButton(btDefaults);

    lblSkipped = note(QString(), "lblSkipped", this);
    lblSkipped->hide();
    addUnderList(lblSkipped);

    lblNote1 = note(QStringLiteral("Some common temporary file extensions are .TMP, .TEMP, .$$$, "
                                   ".OLD and .BAK.  It is your responsibility to ensure that you "
                                   "have selected the proper extensions for file deletion."),
                    "lblNote1", this);
    lblNote2 = note(QStringLiteral(".FTS files may deleted if you're really short of space.  They "
                                   "are Windows help file searching add-ons.  They can be "
                                   "re-generated as needed."),
                    "lblNote2", this);
    addNote(lblNote1);
    addNote(lblNote2);

    connect(btDefaults, &QPushButton::clicked, this, &TfrmTempFiles::btDefaultsClick);
}

QStringList TfrmTempFiles::readList() const {
    return ReadInFromDisk(settingsFile());
}

bool TfrmTempFiles::writeList(const QStringList& lines) {
    return WriteOutToDisk(lines, settings());
}

void TfrmTempFiles::btDefaultsClick() {
    for (const QString& pattern : tempFileButtonDefaults())
        PickList1->addLine(typeLine(pattern));
    listChanged();
}

void TfrmTempFiles::listChanged() {
    const QStringList skipped = patternsThatCannotMatch(PickList1->lines());
    if (skipped.isEmpty()) {
        lblSkipped->hide();
        lblSkipped->clear();
        return;
    }
    QStringList quoted;
    for (const QString& pattern : skipped)
        quoted.append(QLatin1Char('"') + pattern + QLatin1Char('"'));
    lblSkipped->setText(QStringLiteral("The search leaves out ") +
                        quoted.join(QStringLiteral(", ")) +
                        QStringLiteral(": a pattern must be * followed by one extension, such as "
                                       "*.tmp."));
    lblSkipped->show();
}

}  // namespace vantrel
